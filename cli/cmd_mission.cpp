// The mission file commands: check, resave, export and dump-bms.
#include "cli/cli.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/terrain.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

// A binary mission holds at most 5,000 items and 256 events with their rows: well under this.
constexpr std::uintmax_t kMaxBmsFileSize = 64u << 20;

struct InOut {
    std::string in;
    std::string out;
};

// Parses "FILE [-o OUT]"; false (after a usage message) when the arguments do not fit.
bool parseInOut(const char* command, const CliArgs& args, bool wantOut, InOut& io) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (wantOut && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size()) {
                cli_Fail(kExitUsage, std::string(command) + ": -o needs a file name");
                return false;
            }
            io.out = args[++i];
        } else if (wantOut && a.rfind("-o", 0) == 0 && a.size() > 2) {
            io.out = a.substr(2);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            cli_Fail(kExitUsage, std::string(command) + ": unknown option " + a);
            return false;
        } else if (io.in.empty()) {
            io.in = a;
        } else {
            cli_Fail(kExitUsage, std::string(command) + ": one input file only");
            return false;
        }
    }
    if (io.in.empty() || (wantOut && io.out.empty())) {
        cli_Fail(kExitUsage, std::string(command) + (wantOut ? ": usage: FILE -o OUT" : ": usage: FILE"));
        return false;
    }
    return true;
}

bool readable(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream f(path, std::ios::binary);
    return static_cast<bool>(f);
}

// Reads the metafile for a command. The parser has reported a bad line as FILE:LINE: on
// stderr; a file that ends inside a block is reported here the same way.
bool readMission(CliContext& ctx, Mission& m, const std::string& path, MetafileLines* lines) {
    MetafileLines local;
    MetafileReadOptions o;
    o.loadTerrain = false;  // no command here draws the map
    o.lines = lines ? lines : &local;
    const int before = ctx.console ? ctx.console->errorCount() : 0;
    if (metafile_Read(m, path.c_str(), o) == 1) return true;
    const bool reported = ctx.console && ctx.console->errorCount() > before;
    if (!reported) {
        if (o.lines->unterminated > 0)
            std::fprintf(stderr, "%s:%d: this block is never closed (the file ends inside it)\n", path.c_str(),
                         o.lines->unterminated);
        else
            std::fprintf(stderr, "%s: cannot be read as a mission metafile\n", path.c_str());
    }
    return false;
}

class Findings {
public:
    explicit Findings(std::string file) : file_(std::move(file)) {}
    void add(int line, const std::string& message) {
        ++count_;
        if (line > 0) std::fprintf(stderr, "%s:%d: %s\n", file_.c_str(), line, message.c_str());
        else std::fprintf(stderr, "%s: %s\n", file_.c_str(), message.c_str());
    }
    int count() const { return count_; }

private:
    std::string file_;
    int count_ = 0;
};

int lineOf(const std::vector<int>& v, std::size_t n, int fallback) {
    return n < v.size() && v[n] > 0 ? v[n] : fallback;
}

std::string itemName(std::int32_t index) { return "item " + std::to_string(index); }

void checkMission(const Mission& m, const MetafileLines& lines, bool haveDefs, Findings& f) {
    const std::int32_t count = m.item_count;
    std::map<std::int32_t, std::int32_t> firstWithId;
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& it = m.items[std::size_t(i)];
        const int line = lineOf(lines.item, std::size_t(i), lines.numItems);
        if (haveDefs) {
            const ItemDef* d = itemdef_At(itemdef_FindByType(it.type_id));
            if (!d || d->typeNumber != it.type_id)
                f.add(line, itemName(i) + ": no item definition has type " + std::to_string(it.type_id));
        }
        auto [at, fresh] = firstWithId.emplace(it.id, i);
        if (!fresh)
            f.add(line, itemName(i) + ": id " + std::to_string(it.id) + " is already the id of item " +
                            std::to_string(at->second));
        if (it.type_id == kWaypointMarkerType) {
            if (it.waypoint_id < 1 || it.waypoint_id >= kMaxWaypoints)
                f.add(line, itemName(i) + ": waypoint marker on path " + std::to_string(it.waypoint_id) +
                                ", outside 1..127");
            if (it.wpnumber > 31)
                f.add(line, itemName(i) + ": waypoint marker numbered " + std::to_string(it.wpnumber) +
                                "; the game takes the first 32 points of a path (0..31)");
        }
        if (it.type_id == kAreaMarkerType && (it.wpnumber < 1 || it.wpnumber >= kMaxAreaTriggers))
            f.add(line, itemName(i) + ": area marker for area " + std::to_string(it.wpnumber) + ", outside 1..99");
        if (!mission_OnTerrain(it.x, it.y))
            f.add(line, itemName(i) + ": at x " + std::to_string(it.x / 256) + " m, y " + std::to_string(it.y / 256) +
                            " m, outside the terrain (-" + std::to_string(kTerrainHalfSide / 256) + ".." +
                            std::to_string(kTerrainHalfSide / 256) + " m)");
        if (it.group_id != 0 && (it.group_id < 1 || it.group_id >= kMaxGroups))
            f.add(line, itemName(i) + ": group " + std::to_string(it.group_id) + ", outside 1..63");
    }
    // Blocks the counts leave out are read and then dropped.
    for (std::size_t n = std::size_t(std::max(count, 0)); n < lines.item.size(); ++n)
        if (lines.item[n] > 0)
            f.add(lines.item[n], "item " + std::to_string(n) + " lies beyond num_items " + std::to_string(count) +
                                     " and is lost");
    for (std::size_t n = std::size_t(std::max(m.event_count, 0)); n < lines.event.size(); ++n)
        if (lines.event[n] > 0)
            f.add(lines.event[n], "event " + std::to_string(n) + " lies beyond num_events " +
                                      std::to_string(m.event_count) + " and is lost");

    for (std::int32_t e = 0; e < m.event_count; ++e) {
        const MissionEvent& ev = m.events[std::size_t(e)];
        const int eventLine = lineOf(lines.event, std::size_t(e), lines.numEvents);
        if (ev.trigger_count > kEventMaxTriggers || ev.action_count > kEventMaxActions) {
            f.add(eventLine, "event " + std::to_string(e) + ": more triggers or actions than an event holds");
            continue;
        }
        for (std::int32_t r = 0; r < ev.trigger_count; ++r) {
            const EventTrigger& t = ev.triggers[std::size_t(r)];
            if (t.type != kTriggerTypeEvent) continue;
            if (t.var1 >= 0 && t.var1 < m.event_count) continue;
            const std::vector<int> none;
            const auto& rows = std::size_t(e) < lines.trigger.size() ? lines.trigger[std::size_t(e)] : none;
            f.add(lineOf(rows, std::size_t(r), eventLine),
                  "event " + std::to_string(e) + ", trigger " + std::to_string(r) + ": names event " +
                      std::to_string(t.var1) + ", which does not exist");
        }
    }
}

}  // namespace

int cmd_Check(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] check MISSION.mis\n\n"
            "Reads the metafile and reports on stderr, one per line as FILE:LINE: message, the bad line\n"
            "that stops the read, then what a designer must fix though the file reads: item types no\n"
            "definition knows, ids used twice, waypoint markers outside paths 1..127 or numbered above 31,\n"
            "area markers outside 1..99, groups outside 1..63, items outside the terrain, EVENT triggers\n"
            "naming a missing event, blocks beyond num_items or num_events, and a terrain the game data\n"
            "does not hold. Exit 0 clean, 1 with findings, 2 when the file cannot be opened.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("check", args, false, io)) return kExitUsage;
    if (!readable(io.in)) {
        std::fprintf(stderr, "%s: cannot open the file\n", io.in.c_str());
        return 2;
    }
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return 2;
    auto m = std::make_unique<Mission>();
    MetafileLines lines;
    if (!readMission(ctx, *m, io.in, &lines)) return kExitBadInput;
    Findings f(io.in);
    checkMission(*m, lines, data.items, f);
    // The editor would open such a mission on a blank map.
    const std::string terrain(mission_Text(m->info.terrain));
    if (data.items && !terrain_Exists(terrain.c_str()))
        f.add(lines.generalInfo, "terrain " + terrain + " cannot be found in the game data (no " + terrain + ".trn)");
    if (!data.items)
        std::fprintf(stderr,
                     "sortie-cli: check: no item definitions under %s; item types and the terrain were not checked\n",
                     ctx.dataDir.c_str());
    return f.count() ? kExitBadInput : kExitOk;
}

int cmd_Resave(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] resave MISSION.mis -o OUT.mis\n\n"
            "Reads the metafile and writes it again in the current format. The header date is\n"
            "SOURCE_DATE_EPOCH when set, so the output can be reproduced byte for byte.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("resave", args, true, io)) return kExitUsage;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "resave: cannot open " + io.in);
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kExitBadInput;
    auto m = std::make_unique<Mission>();
    if (!readMission(ctx, *m, io.in, nullptr)) return kExitBadInput;
    if (metafile_Write(*m, io.out.c_str()) != 1) return cli_Fail(kExitBadInput, "resave: cannot write " + io.out);
    return kExitOk;
}

int cmd_Export(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] export MISSION.mis -o OUT.bms\n\n"
            "Reads the metafile and writes the binary mission. Sections beyond what the game accepts\n"
            "are cut, with a warning on stderr.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("export", args, true, io)) return kExitUsage;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "export: cannot open " + io.in);
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems | kCliDataSunsets, data)) return kExitBadInput;
    auto m = std::make_unique<Mission>();
    if (!readMission(ctx, *m, io.in, nullptr)) return kExitBadInput;
    if (mission_ExportBinary(*m, io.out.c_str()) != 1) return cli_Fail(kExitBadInput, "export: cannot write " + io.out);
    return kExitOk;
}

int cmd_DumpBms(CliContext&, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli dump-bms FILE.bms\n\n"
            "Prints the binary mission as text, one record per line with every field named. A file\n"
            "that is short or whose counts do not fit its size is refused with where it ends.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("dump-bms", args, false, io)) return kExitUsage;
    std::error_code ec;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "dump-bms: cannot open " + io.in);
    const std::uintmax_t size = std::filesystem::file_size(io.in, ec);
    if (ec || size > kMaxBmsFileSize)
        return cli_Fail(kExitBadInput, "dump-bms: " + io.in + " is too large for a binary mission");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream f(io.in, std::ios::binary);
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(f.gcount()) != bytes.size()) return cli_Fail(kExitBadInput, "dump-bms: cannot read " + io.in);
    BmsFile bms;
    std::string error;
    if (!bms_Parse(bytes.data(), bytes.size(), bms, error)) {
        std::fprintf(stderr, "%s: %s\n", io.in.c_str(), error.c_str());
        return kExitBadInput;
    }
    const std::string text = bms_Dump(bms);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}
