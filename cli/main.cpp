// sortie-cli [--data DIR] [--verbose] COMMAND ...
#include "cli/cli.h"
#include "shell/build_defaults.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

constexpr std::array kCommands = {
    CliCommand{"strings", cmd_Strings, "build and dump string tables"},
    CliCommand{"pff", cmd_Pff, "pack, list and extract PFF archives"},
    CliCommand{"scr", cmd_Scr, "scramble and unscramble definition files"},
    CliCommand{"check", cmd_Check, "read a mission metafile and report what needs fixing"},
    CliCommand{"resave", cmd_Resave, "read a mission metafile and write it again"},
    CliCommand{"export", cmd_Export, "write a mission metafile as a binary mission"},
    CliCommand{"dump-bms", cmd_DumpBms, "print a binary mission as text"},
    CliCommand{"image", cmd_Image, "decode map images (JPEG, TGA, PCX, R16)"},
    CliCommand{"defs", cmd_Defs, "read definition files and print their tables"},
    CliCommand{"list", cmd_List, "print mission listings: events, groups, waypoints, areas"},
    CliCommand{"render", cmd_Render, "draw a mission's map into a PNG file"},
    CliCommand{"diff", cmd_Diff, "compare two missions by meaning (exit 0 same, 1 different)"},
    CliCommand{"dump", cmd_Dump, "print a mission as canonical text, for git diff"},
    CliCommand{"refs", cmd_Refs, "list what in a mission refers to a group, path, area, event or item"},
};

void usage(std::FILE* f) {
    std::fprintf(f,
                 "usage: sortie-cli [--data DIR] [--verbose] COMMAND [ARGS...]\n"
                 "       sortie-cli --help | --version\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(f, "  %-10s %s\n", c.name, c.summary);
    std::fprintf(f, "\n'sortie-cli COMMAND --help' describes a command.\n");
}

}  // namespace

int cli_Fail(int code, const std::string& message) {
    std::fprintf(stderr, "sortie-cli: %s\n", message.c_str());
    return code;
}

bool cli_WantsHelp(const CliArgs& args) {
    for (const auto& a : args) {
        if (a == "--") return false;  // what follows is a file name, whatever it looks like
        if (a == "-h" || a == "--help") return true;
    }
    return false;
}

int main(int argc, char** argv) {
    ConsolePlatform console;
    platform_Set(&console);
    CliContext ctx;
    ctx.console = &console;
    ctx.dataDir = startup_DefaultDataDir(argv[0], startup_BuildDefaults());

    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--data" && i + 1 < argc)
            ctx.dataDir = argv[++i];
        else if (a.rfind("--data=", 0) == 0)
            ctx.dataDir = a.substr(7);
        else if (a == "--verbose" || a == "-v")
            ctx.verbose = true;
        else if (a == "-h" || a == "--help") {
            usage(stdout);
            return kExitOk;
        } else if (a == "--version") {
            std::printf("sortie-cli %s\n", kSortieVersion);
            return kExitOk;
        } else if (!a.empty() && a[0] == '-') {
            usage(stderr);
            return cli_Fail(kExitUsage, "unknown option " + a);
        } else
            break;
    }
    if (i >= argc) {
        usage(stderr);
        return kExitUsage;
    }
    console.setVerbose(ctx.verbose);
    std::string name = argv[i++];
    CliArgs args(argv + i, argv + argc);
    for (const auto& c : kCommands)
        if (name == c.name) {
            int rc = c.run(ctx, args);
            platform_Set(nullptr);
            return rc;
        }
    usage(stderr);
    return cli_Fail(kExitUsage, "unknown command " + name);
}
