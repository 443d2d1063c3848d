// sortie-cli: the shared pieces of every command.
#pragma once

#include "platform/console_platform.h"

#include <string>
#include <vector>

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

struct CliContext {
    std::string program = "sortie-cli";
    std::string dataDir;         // game data root (--data)
    bool verbose = false;        // --verbose: status lines on stderr
    ConsolePlatform* console = nullptr;
};

using CliArgs = std::vector<std::string>;

// A command: gets the arguments after its own name. Prints its errors on stderr.
using CliCommandFn = int (*)(CliContext& ctx, const CliArgs& args);

struct CliCommand {
    const char* name;
    CliCommandFn run;
    const char* summary;  // one line for the command list
};

// Prints "sortie-cli: message" on stderr; returns code so a command can `return cli_Fail(...)`.
int cli_Fail(int code, const std::string& message);
// True when args holds -h or --help.
bool cli_WantsHelp(const CliArgs& args);

// Commands (cli/cmd_*.cpp).
int cmd_Strings(CliContext& ctx, const CliArgs& args);
int cmd_Pff(CliContext& ctx, const CliArgs& args);
int cmd_Scr(CliContext& ctx, const CliArgs& args);
int cmd_Image(CliContext& ctx, const CliArgs& args);
int cmd_Defs(CliContext& ctx, const CliArgs& args);
