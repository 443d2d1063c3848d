// sortie-cli defs: reads the game's definition files the way the editor does and prints
// the tables they give. Each kind of definition file is one subcommand.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/path.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "core/parser.h"

#include <cstdio>
#include <string>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct DefsSubcommand {
    const char* name;
    int (*run)(CliContext& ctx, const CliArgs& args);
    const char* usage;
};

// The pools and the file layer the loaders read through, as start-up sets them up.
bool prepareLoaders() {
    if (!mem_State().mainPool.base && mem_Startup() != 0) return false;
    file_Reset();
    return true;
}

// The arguments of a definitions command: one file and an optional --names table. 0, or the
// exit code of the usage error (reported).
int fileAndNames(const CliArgs& args, const std::string& verb, std::string& path, std::string& names) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--names" && i + 1 < args.size())
            names = args[++i];
        else if (!args[i].empty() && args[i][0] == '-')
            return cli_Fail(kExitUsage, verb + ": unknown option " + args[i]);
        else if (path.empty())
            path = args[i];
        else
            return cli_Fail(kExitUsage, verb + ": one file only");
    }
    if (path.empty()) return cli_Fail(kExitUsage, verb + ": no file given");
    return 0;
}

int defsItems(CliContext& ctx, const CliArgs& args) {
    std::string path, names;
    if (const int bad = fileAndNames(args, "defs items", path, names)) return bad;
    if (!prepareLoaders()) return cli_Fail(kExitBadInput, "defs items: no memory for the pools");
    if (!file_Exists(path.c_str())) return cli_Fail(kExitBadInput, "defs items: cannot find " + path);
    if (!itemdef_Load(path.c_str())) return cli_Fail(kExitBadInput, "defs items: no memory for the definitions");
    if (!names.empty()) {
        TextTable* table = text_LoadTable(names.c_str());
        if (!table) return cli_Fail(kExitBadInput, "defs items: cannot load names table " + names);
        itemdef_NamePass(table);
    }
    for (std::int32_t i = 0; i < itemdef_Count(); ++i) {
        const ItemDef& d = *itemdef_At(i);
        const char* kind = itemdef_KindName(d.type);
        std::printf("%4d %7d %-10s \"%s\" %04X %s\n", static_cast<int>(i), static_cast<int>(d.typeNumber),
                    *kind ? kind : "-", d.name, static_cast<unsigned>(d.attributes), d.graphic[0] ? d.graphic : "-");
    }
    return (ctx.console && ctx.console->errorCount() > 0) ? kExitBadInput : kExitOk;
}

int defsSunsets(CliContext& ctx, const CliArgs& args) {
    std::string path, names;
    if (const int bad = fileAndNames(args, "defs sunsets", path, names)) return bad;
    if (!prepareLoaders()) return cli_Fail(kExitBadInput, "defs sunsets: no memory for the pools");
    if (!file_Exists(path.c_str())) return cli_Fail(kExitBadInput, "defs sunsets: cannot find " + path);
    TextTable* table = nullptr;
    if (!names.empty() && !(table = text_LoadTable(names.c_str())))
        return cli_Fail(kExitBadInput, "defs sunsets: cannot load names table " + names);
    sky_NameSunsets(table, path.c_str());
    for (std::int32_t i = 0; i < sky_Count(); ++i) {
        const Sunset& s = *sky_At(i);
        std::printf("%2d id=%u \"%s\" skygrad=%s clouds=%s skyheight=%d horizon=%.4f gamma=%u sat=%u rgb=%u,%u,%u\n",
                    static_cast<int>(i), s.number, s.name, s.skyGradient[0] ? s.skyGradient : "-",
                    s.clouds[0] ? s.clouds : "-", static_cast<int>(s.skyHeight), s.horizon / 65536.0, s.gamma,
                    s.saturation, s.red, s.green, s.blue);
    }
    return (ctx.console && ctx.console->errorCount() > 0) ? kExitBadInput : kExitOk;
}

const char* surfaceName(SurfaceKind k) {
    switch (k) {
    case SurfaceKind::Dirt: return "dirt";
    case SurfaceKind::Grass: return "grass";
    case SurfaceKind::Snow: return "snow";
    case SurfaceKind::Cement: return "cement";
    case SurfaceKind::Sand: return "sand";
    case SurfaceKind::PackedDirt: return "packed_dirt";
    default: return "other";
    }
}

void printTerrainDef(const TerrainDef& d) {
    std::printf("terrain_name \"%s\"\n", d.terrain_name);
    std::printf("terrain_creator \"%s\"\n", d.terrain_creator);
    const std::pair<const char*, const char*> files[] = {
        {"color_map", d.color_map},         {"elev_map", d.elev_map},
        {"detail_map", d.detail_map},       {"detail_color", d.detail_color},
        {"detail_elev", d.detail_elev},     {"detail_shade", d.detail_shade},
        {"char_data", d.char_data},         {"sky_map", d.sky_map},
        {"sky_palette", d.sky_palette},     {"water_map", d.water_map},
        {"water_palette", d.water_palette}, {"moon_sun_object", d.moon_sun_object},
        {"star_field", d.star_field},
    };
    for (const auto& [key, value] : files) std::printf("%s \"%s\"\n", key, value);
    std::printf("camouflage %d\n", d.camouflage);
    std::printf("sky_height %d\n", d.sky_height);
    std::printf("sun_slope %d\n", d.sun_slope);
    std::printf("water_height %d (level %d)\n", d.water_height, d.water_height >> 15);
    std::printf("water_opacity %d (%.4f)\n", d.water_opacity, d.water_opacity / 65536.0);
    std::printf("filter %d %d %d\n", d.filter[0], d.filter[1], d.filter[2]);
    std::printf("saturation %d\n", d.saturation);
    std::printf("gamma %d\n", d.gamma);
    std::printf("horizon %d (%.4f)\n", d.horizon, d.horizon / 65536.0);
    std::printf("turbidity %d %d %d\n", d.turbidity[0], d.turbidity[1], d.turbidity[2]);
    std::printf("scale_bits %d\n", d.scale_bits);
    std::printf("fog_color 0x%08X\n", d.fog_color);
    std::printf("fog_level %d\n", d.fog_level);
    std::printf("types %d\n", d.type_count);
    for (int i = 0; i < d.type_count; ++i) {
        const TerrainSurfaceType& t = d.types[static_cast<std::size_t>(i)];
        std::printf("type %d %d %d %s\n", t.red, t.green, t.blue, surfaceName(t.kind));
    }
}

// NAME.trn from disk (a NAME with a folder is read in that folder, where its maps lie too),
// else from the data folder's terrains.pff.
int defsTerrain(CliContext& ctx, const CliArgs& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-')
        return cli_Fail(kExitUsage, "defs terrain: give one terrain name");
    if (!prepareLoaders()) return cli_Fail(kExitBadInput, "defs terrain: no memory for the pools");
    const std::string pff = ctx.dataDir + "/terrains.pff";
    struct stat st {};
    if (::stat(pff.c_str(), &st) == 0) pff_RegisterArchives(pff.c_str(), nullptr);
    file_SetDiskFirst(1);
    const std::string folder = path_Parts(args[0], kPathDrive | kPathDirectory);
    const std::string name = path_Parts(args[0], kPathName | kPathExtension);
    if (!folder.empty() && ::chdir(folder.c_str()) != 0)
        return cli_Fail(kExitBadInput, "defs terrain: no folder " + folder);
    char trn[kTerrainNameSize];
    std::snprintf(trn, sizeof trn, "%s", name.c_str());
    set_Extension(trn, sizeof trn, "trn");
    if (!file_Exists(trn)) return cli_Fail(kExitBadInput, "defs terrain: cannot find " + std::string(trn));
    TerrainDef def;
    if (!terrain_LoadDef(name.c_str(), def))
        return cli_Fail(kExitBadInput, "defs terrain: bad definition " + std::string(trn));
    printTerrainDef(def);
    return kExitOk;
}

constexpr DefsSubcommand kDefsSubcommands[] = {
    {"items", defsItems, "items FILE [--names TABLE]   item definitions (items.def)"},
    {"sunsets", defsSunsets, "sunsets FILE [--names TABLE] sky definitions (sunsets.def)"},
    {"terrain", defsTerrain, "terrain NAME                 a terrain definition (NAME.trn)"},
};

void defsUsage(std::FILE* f) {
    std::fprintf(f, "usage: sortie-cli defs SUBCOMMAND ...\n\nsubcommands:\n");
    for (const auto& s : kDefsSubcommands) std::fprintf(f, "  %s\n", s.usage);
    std::fprintf(f, "\nA names TABLE is a string table (kz7items.bin) whose names replace the file's.\n");
}

}  // namespace

int cmd_Defs(CliContext& ctx, const CliArgs& args) {
    if (args.empty()) {
        defsUsage(stderr);
        return kExitUsage;
    }
    if (cli_WantsHelp(args)) {
        defsUsage(stdout);
        return kExitOk;
    }
    for (const auto& s : kDefsSubcommands)
        if (args[0] == s.name) return s.run(ctx, CliArgs(args.begin() + 1, args.end()));
    defsUsage(stderr);
    return cli_Fail(kExitUsage, "defs: unknown subcommand " + args[0]);
}
