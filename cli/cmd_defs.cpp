// sortie-cli defs SUBCOMMAND ...: reads a game definition file the way the editor does and
// prints what it holds. Each subcommand is one entry of kDefsCommands.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "gamedata/path.h"
#include "gamedata/terrain.h"
#include "mission/parser.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The memory pools and the file layer for one command, with the data folder's terrains.pff
// registered when there is one. Loose files on disk are found first.
struct DataSession {
    bool ok = false;
    explicit DataSession(const CliContext& ctx) {
        ok = mem_Startup() == 0;
        file_Reset();
        const std::string pff = ctx.dataDir + "/terrains.pff";
        struct stat st {};
        if (::stat(pff.c_str(), &st) == 0) pff_RegisterArchives(pff.c_str(), nullptr);
        file_SetDiskFirst(1);
    }
    ~DataSession() {
        file_Reset();
        mem_Shutdown();
    }
};

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
        {"color_map", d.color_map},         {"elev_map", d.elev_map},         {"detail_map", d.detail_map},
        {"detail_color", d.detail_color},   {"detail_elev", d.detail_elev},   {"detail_shade", d.detail_shade},
        {"char_data", d.char_data},         {"sky_map", d.sky_map},           {"sky_palette", d.sky_palette},
        {"water_map", d.water_map},         {"water_palette", d.water_palette},
        {"moon_sun_object", d.moon_sun_object}, {"star_field", d.star_field},
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

int defsTerrain(CliContext& ctx, const CliArgs& args) {
    if (args.size() != 1 || cli_WantsHelp(args)) {
        std::fputs("usage: sortie-cli defs terrain NAME\n"
                   "  Reads NAME.trn (from disk, else from the data folder's terrains.pff) and prints it.\n",
                   args.size() == 1 ? stdout : stderr);
        return args.size() == 1 ? kExitOk : kExitUsage;
    }
    // A name with a folder: read it (and the maps it names) from that folder.
    const std::string folder = path_Parts(args[0], kPathDrive | kPathDirectory);
    const std::string name = path_Parts(args[0], kPathName | kPathExtension);
    DataSession session(ctx);  // opens the data folder's archive before any change of folder
    if (!session.ok) return cli_Fail(kExitBadInput, "no memory for the pools");
    if (!folder.empty() && ::chdir(folder.c_str()) != 0) return cli_Fail(kExitBadInput, folder + ": no such folder");
    char trn[kTerrainNameSize];
    std::snprintf(trn, sizeof trn, "%s", name.c_str());
    set_Extension(trn, sizeof trn, "trn");
    if (!file_Exists(trn)) return cli_Fail(kExitBadInput, std::string(trn) + ": not found");
    TerrainDef def;
    if (!terrain_LoadDef(name.c_str(), def)) return cli_Fail(kExitBadInput, args[0] + ": bad terrain definition");
    printTerrainDef(def);
    return kExitOk;
}

struct DefsCommand {
    const char* name;
    int (*run)(CliContext& ctx, const CliArgs& args);
    const char* summary;
};

// Subcommands; a new definition kind is one more line here.
constexpr std::array kDefsCommands = {
    DefsCommand{"terrain", defsTerrain, "print a terrain definition (NAME.trn)"},
};

void defsUsage(std::FILE* f) {
    std::fprintf(f, "usage: sortie-cli defs SUBCOMMAND ARGS...\n\nsubcommands:\n");
    for (const auto& c : kDefsCommands) std::fprintf(f, "  %-10s %s\n", c.name, c.summary);
}

}  // namespace

int cmd_Defs(CliContext& ctx, const CliArgs& args) {
    if (args.empty()) {
        defsUsage(stderr);
        return kExitUsage;
    }
    if (args[0] == "-h" || args[0] == "--help") {
        defsUsage(stdout);
        return kExitOk;
    }
    for (const auto& c : kDefsCommands)
        if (args[0] == c.name) return c.run(ctx, CliArgs(args.begin() + 1, args.end()));
    defsUsage(stderr);
    return cli_Fail(kExitUsage, "defs: unknown subcommand " + args[0]);
}
