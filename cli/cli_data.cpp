// Bringing up the game data for a command, in the editor's start-up order: memory pools, the
// file layer with its archives, the string tables, the item definitions, the sunsets.
#include "cli/cli.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/sky.h"
#include "mission/metafile.h"
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

bool cli_ReadMission(CliContext& ctx, Mission& m, const std::string& path, MetafileLines* lines,
                     std::vector<MetafileCut>* cuts) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        std::fprintf(stderr, "%s: cannot open the file\n", path.c_str());
        return false;
    }
    MetafileLines local;
    MetafileReadOptions o;
    o.loadTerrain = false;  // no command here draws the map
    o.lines = lines ? lines : &local;
    o.cuts = cuts;
    const int before = ctx.console ? ctx.console->errorCount() : 0;
    if (metafile_Read(m, path.c_str(), o) == 1) return true;
    const bool reported = ctx.console && ctx.console->errorCount() > before;
    if (!reported) {
        if (o.lines->unterminated > 0)
            std::fprintf(stderr, "%s:%d: this block is never closed (the file ends inside it)\n", path.c_str(),
                         o.lines->unterminated);
        else if (o.lines->noBlock)
            std::fprintf(stderr, "%s: holds no mission (the file is empty or has no block)\n", path.c_str());
        else
            std::fprintf(stderr, "%s: cannot be read as a mission metafile\n", path.c_str());
    }
    return false;
}
