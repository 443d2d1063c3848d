// sortie-cli defs: reads the game's definition files the way the editor does and prints
// the tables they give. Each kind of definition file is one subcommand.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/sky.h"

#include <cstdio>
#include <string>

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

int defsItems(CliContext& ctx, const CliArgs& args) {
    std::string path, names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--names" && i + 1 < args.size()) names = args[++i];
        else if (!args[i].empty() && args[i][0] == '-') return cli_Fail(kExitUsage, "defs items: unknown option " + args[i]);
        else if (path.empty()) path = args[i];
        else return cli_Fail(kExitUsage, "defs items: one file only");
    }
    if (path.empty()) return cli_Fail(kExitUsage, "defs items: no file given");
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
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--names" && i + 1 < args.size()) names = args[++i];
        else if (!args[i].empty() && args[i][0] == '-') return cli_Fail(kExitUsage, "defs sunsets: unknown option " + args[i]);
        else if (path.empty()) path = args[i];
        else return cli_Fail(kExitUsage, "defs sunsets: one file only");
    }
    if (path.empty()) return cli_Fail(kExitUsage, "defs sunsets: no file given");
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

constexpr DefsSubcommand kDefsSubcommands[] = {
    {"items", defsItems, "items FILE [--names TABLE]   item definitions (items.def)"},
    {"sunsets", defsSunsets, "sunsets FILE [--names TABLE] sky definitions (sunsets.def)"},
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
