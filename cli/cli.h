// sortie-cli: the shared pieces of every command.
#pragma once

#include "platform/console_platform.h"

#include <cstdint>
#include <string>
#include <vector>

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

struct CliContext {
    std::string program = "sortie-cli";
    std::string dataDir;   // game data root (--data)
    bool verbose = false;  // --verbose: status lines on stderr
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
// True when args holds -h or --help before any "--".
bool cli_WantsHelp(const CliArgs& args);

// A binary mission holds at most 5,000 items and 256 events with their rows: well under this.
constexpr std::uintmax_t kCliMaxBmsFileSize = 64u << 20;

// "cannot write PATH", with the system's reason when the last safe write gave one.
std::string cli_CannotWrite(const std::string& path);
// True, after a message, when out names the input file itself (the same device and inode,
// links followed): a command that writes another format must not replace its input, and
// returns kExitUsage then.
bool cli_OutputIsInput(const char* command, const std::string& in, const std::string& out);
// True, after a message naming the command that prints it, when path holds a binary mission
// rather than a metafile.
bool cli_RefuseBinaryMission(const char* command, const std::string& path);

// Commands (cli/cmd_*.cpp).
int cmd_Strings(CliContext& ctx, const CliArgs& args);
int cmd_Pff(CliContext& ctx, const CliArgs& args);
int cmd_Scr(CliContext& ctx, const CliArgs& args);

// Game data a command needs; cli_LoadGameData brings it up in start-up's order.
enum CliData : unsigned {
    kCliDataTexts = 1,    // text.bin, kz7wpn.bin, kz7items.bin
    kCliDataItems = 2,    // items.def (and the item names)
    kCliDataSunsets = 4,  // sunsets.def
};

struct Mission;
struct MetafileLines;
struct MetafileCut;

struct CliGameData {
    bool texts = false;    // text.bin loaded
    bool items = false;    // at least one item definition loaded
    bool sunsets = false;  // at least one sunset loaded
};

// Memory pools, the file layer with kz7.pff and terrains.pff under ctx.dataDir registered and
// disk files first, then what `what` asks for. Missing files are not errors (the commands
// work without them and say what they could not check); only a failure of the memory pools
// is, reported on stderr as false.
bool cli_LoadGameData(CliContext& ctx, unsigned what, CliGameData& out);

// Reads a metafile through the reader File > Open uses, without its terrain. A bad line has
// been reported as FILE:LINE: by the parser; a file that cannot be opened, ends inside a block
// or holds no block is reported here. lines and cuts: where the blocks began and the texts cut
// to fit (optional).
bool cli_ReadMission(CliContext& ctx, Mission& m, const std::string& path, MetafileLines* lines = nullptr,
                     std::vector<MetafileCut>* cuts = nullptr);

int cmd_Check(CliContext& ctx, const CliArgs& args);
int cmd_Resave(CliContext& ctx, const CliArgs& args);
int cmd_Export(CliContext& ctx, const CliArgs& args);
int cmd_DumpBms(CliContext& ctx, const CliArgs& args);
// Where-used: every trigger, action and item of a mission that refers to a record.
int cmd_Refs(CliContext& ctx, const CliArgs& args);
int cmd_Image(CliContext& ctx, const CliArgs& args);
int cmd_Defs(CliContext& ctx, const CliArgs& args);
// The printed listings of a mission: events, one event, groups, waypoints, area triggers.
int cmd_List(CliContext& ctx, const CliArgs& args);
// Draws a mission metafile's map, as the editor shows it, into a PNG file.
int cmd_Render(CliContext& ctx, const CliArgs& args);
// Two missions compared by meaning (exit 0 same, 1 different, 2 trouble), and the canonical
// text of one mission for version control (cli/cmd_diff.cpp).
int cmd_Diff(CliContext& ctx, const CliArgs& args);
int cmd_Dump(CliContext& ctx, const CliArgs& args);

// 0x00RRGGBB pixels (stride pixels from one row to the next) as an 8-bit RGB PNG, in memory
// or into a file written through a temporary beside it. false when encoding or writing fails.
bool cli_EncodePng(const std::uint32_t* pixels, int width, int height, int stride, std::vector<std::uint8_t>& out);
bool cli_WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int stride);
