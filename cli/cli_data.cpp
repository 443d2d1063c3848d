// Bringing up the game data for a command, in the editor's start-up order: memory pools, the
// file layer with its archives, the string tables, the item definitions, the sunsets.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/sky.h"
#include "shell/data_start.h"


#include <cstdio>
#include <filesystem>

namespace {

void note(const CliContext& ctx, const std::string& text) {
    if (ctx.verbose) std::fprintf(stderr, "sortie-cli: %s\n", text.c_str());
}

}  // namespace

bool cli_LoadGameData(CliContext& ctx, unsigned what, CliGameData& out) {
    out = CliGameData{};
    mem_Shutdown();
    if (!startup_Foundation(ctx.dataDir)) {
        cli_Fail(kExitBadInput, "cannot set up the memory pools");
        return false;
    }

    TextTables& tables = text_Tables();
    if (what & (kCliDataTexts | kCliDataItems | kCliDataSunsets)) {
        tables.ui = startup_LoadTable(ctx.dataDir, "text.bin");
        text_SetCurrent(tables.ui);
        tables.vocab = startup_LoadTable(ctx.dataDir, "kz7wpn.bin");
        tables.names = startup_LoadTable(ctx.dataDir, "kz7items.bin");
        out.texts = tables.ui != nullptr;
        if (!out.texts) note(ctx, "no text.bin under " + ctx.dataDir + ": messages read \"Bad Texttool String\"");
    }
    if (what & kCliDataItems) {
        out.items = startup_LoadItemDefs(ctx.dataDir, tables.names);
        if (!out.items) note(ctx, "no item definitions under " + ctx.dataDir);
    }
    if (what & kCliDataSunsets) {
        out.sunsets = startup_LoadSunsets(ctx.dataDir, tables.names);
        if (!out.sunsets) note(ctx, "no sunsets under " + ctx.dataDir + ": the sky is left empty");
    }
    return true;
}
