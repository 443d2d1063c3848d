#include "shell/prefetch.h"

#include "core/text.h"
#include "gamedata/image.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "platform/console_platform.h"
#include "shell/data_start.h"
#include "shell/shell.h"

#include <thread>

namespace {

// The read-ahead's platform: what it would say is only noted.
class QuietPlatform : public ConsolePlatform {
public:
    bool spoke = false;

    MsgAnswer messageBox(std::string_view, std::string_view, MsgIcon, MsgButtons) override {
        spoke = true;
        return MsgAnswer::Cancel;
    }
    void lineError(std::string_view, int, std::string_view, std::string_view) override { spoke = true; }
    std::optional<std::string> fileDialog(const FileDialogRequest&) override {
        spoke = true;
        return std::nullopt;
    }
    int runDialog(std::string_view, DialogProc&) override {
        spoke = true;
        return -1;
    }
    void debugOutput(std::string_view) override { spoke = true; }
    void statusOpen(std::string_view) override {}
    void statusLine(std::string_view) override {}
};

struct ReadAhead {
    std::jthread worker;
    ShellArgs args;
    bool ready = false;  // everything up to the mission read, nothing said
    std::string missionPath;
    std::unique_ptr<Mission> page;
    MetafileLines lines;
    std::vector<MetafileCut> cuts;
};

ReadAhead& readAhead() {
    static ReadAhead r;
    return r;
}

// Start-up's reading in start-up's order; false as soon as anything fails or speaks.
bool readData(ReadAhead& r, const QuietPlatform& quiet) {
    const std::string& data = r.args.dataDir;
    img_Settings().r16ColourBands = r.args.sixteen;
    if (!startup_Foundation(data) || quiet.spoke) return false;
    TextTables& tables = text_Tables();
    tables.ui = startup_LoadTable(data, "text.bin");
    text_SetCurrent(tables.ui);
    if (!tables.ui || !(tables.vocab = startup_LoadTable(data, "kz7wpn.bin"))) return false;
    tables.names = startup_LoadTable(data, "kz7items.bin");
    if (!startup_LoadItemDefs(data, tables.names)) return false;
    startup_LoadSunsets(data, tables.names);
    if (quiet.spoke) return false;
    if (!r.args.mission.empty()) {
        auto page = std::make_unique<Mission>();
        MetafileReadOptions options;
        options.lines = &r.lines;
        options.cuts = &r.cuts;
        if (metafile_Read(*page, r.args.mission.c_str(), options) != 1 || quiet.spoke) return false;
        pageload_Models(*page);
        if (quiet.spoke) return false;
        r.missionPath = r.args.mission;
        r.page = std::move(page);
    }
    return true;
}

}  // namespace

void prefetch_Start(const ShellArgs& args) {
    ReadAhead& r = readAhead();
    r.worker = std::jthread();  // an earlier read-ahead ends first
    r.args = args;
    r.ready = false;
    r.worker = std::jthread([&r] {
        QuietPlatform quiet;
        platform_SetForThread(&quiet);
        r.ready = readData(r, quiet);
        platform_SetForThread(nullptr);
    });
}

bool prefetch_Finish(const std::string& dataDir) {
    ReadAhead& r = readAhead();
    if (!r.worker.joinable()) return false;
    r.worker.join();
    const bool ready = r.ready && r.args.dataDir == dataDir;
    r.ready = false;
    if (!ready) r.page.reset();
    return ready;
}

bool prefetch_TakeMission(const std::string& path, std::unique_ptr<Mission>& page, MetafileLines& lines,
                          std::vector<MetafileCut>& cuts) {
    ReadAhead& r = readAhead();
    const bool match = r.page && r.missionPath == path;
    if (match) {
        page = std::move(r.page);
        lines = std::move(r.lines);
        cuts = std::move(r.cuts);
    }
    r.page.reset();
    r.missionPath.clear();
    return match;
}

void prefetch_Reset() {
    ReadAhead& r = readAhead();
    if (r.worker.joinable()) r.worker.join();
    r.ready = false;
    r.page.reset();
    r.missionPath.clear();
}
