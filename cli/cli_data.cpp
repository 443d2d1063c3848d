// Bringing up the game data for a command, in the editor's start-up order: memory pools, the
// file layer with its archives, the string tables, the item definitions, the sunsets.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/sky.h"


#include <cstdio>
#include <filesystem>

namespace {

// A data file under the data root when it lies there on disk; else its bare name, which the
// file layer looks for in the registered archives (and the current folder).
std::string dataPath(const CliContext& ctx, const char* name) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::path(ctx.dataDir) / name;
    if (std::filesystem::is_regular_file(p, ec)) return p.string();
    return name;
}

void note(const CliContext& ctx, const std::string& text) {
    if (ctx.verbose) std::fprintf(stderr, "sortie-cli: %s\n", text.c_str());
}

}  // namespace

bool cli_LoadGameData(CliContext& ctx, unsigned what, CliGameData& out) {
    out = CliGameData{};
    mem_Shutdown();
    if (mem_Startup() != 0) {
        cli_Fail(kExitBadInput, "cannot set up the memory pools");
        return false;
    }
    file_Reset();
    const std::string kz7 = (std::filesystem::path(ctx.dataDir) / "kz7.pff").string();
    const std::string terrains = (std::filesystem::path(ctx.dataDir) / "terrains.pff").string();
    pff_RegisterArchives(kz7.c_str(), terrains.c_str());
    file_SetDiskFirst(1);

    TextTables& tables = text_Tables();
    if (what & (kCliDataTexts | kCliDataItems | kCliDataSunsets)) {
        tables.ui = text_LoadTable(dataPath(ctx, "text.bin").c_str());
        text_SetCurrent(tables.ui);
        tables.vocab = text_LoadTable(dataPath(ctx, "kz7wpn.bin").c_str());
        tables.names = text_LoadTable(dataPath(ctx, "kz7items.bin").c_str());
        out.texts = tables.ui != nullptr;
        if (!out.texts) note(ctx, "no text.bin under " + ctx.dataDir + ": messages read \"Bad Texttool String\"");
    }
    if (what & kCliDataItems) {
        itemdef_Reset();
        if (itemdef_Load(dataPath(ctx, "items.def").c_str()) == 1) itemdef_NamePass(tables.names);
        out.items = itemdef_Count() > 0;
        if (!out.items) note(ctx, "no item definitions under " + ctx.dataDir);
    }
    if (what & kCliDataSunsets) {
        sky_Reset();
        sky_NameSunsets(tables.names, dataPath(ctx, "sunsets.def").c_str());
        out.sunsets = sky_Count() > 0;
        if (!out.sunsets) note(ctx, "no sunsets under " + ctx.dataDir + ": the sky is left empty");
    }
    return true;
}
