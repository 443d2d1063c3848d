#include "logic/listings.h"

#include "core/file.h"
#include "core/format.h"
#include "core/text.h"
#include "logic/events.h"
#include "logic/vocab.h"
#include "mission/metafile.h"
#include "mission/index.h"
#include "mission/mission.h"
#include "platform/ui.h"

#include <cctype>
#include <filesystem>
#include <ostream>
#include <memory>
#include <sstream>

namespace {

constexpr const char* kWriteEvent = "Write Event";
constexpr const char* kFileIo = "File I/O";

// A header key formatted with the file name and the date; the one-event header puts the
// event index first.
std::string header(const char* section, const char* key, const ListingStamp& s) {
    return text_Printf(section, key, {s.fileName, s.month, s.day, s.year, s.hour, s.minute});
}

// The stamp's time fields from a broken-down time.
void setTime(ListingStamp& s, const std::tm& t) {
    s.month = t.tm_mon + 1;
    s.day = t.tm_mday;
    s.year = t.tm_year + 1900;
    s.hour = t.tm_hour;
    s.minute = t.tm_min;
}

// Writes a listing produced by write into a file the user picks; write dates the listing,
// so the time is the moment of writing, after the dialog.
template <typename Write>
int printToFile(Dialog* owner, Write write) {
    const std::optional<std::string> path = list_AskTextFile(owner);
    if (!path) return 0;
    std::ostringstream out;
    write(out);
    const std::string text = out.str();
    if (!file_WriteAtomic(*path, text.data(), text.size())) return 0;
    platform().statusMessage(text_Printf("Map Tools", "LISTING_WRITTEN", {ui_PathText(*path)}));
    return 1;
}

bool validEvent(const Mission& m, int index) { return index >= 0 && index < m.event_count && index < kMaxEvents; }

}  // namespace

ListingStamp list_Stamp(std::string fileName, const std::tm& when) {
    ListingStamp s;
    s.fileName = std::move(fileName);
    setTime(s, when);
    return s;
}

ListingStamp list_Stamp(const Mission& m) { return list_Stamp(m.file_path, metafile_HeaderTime()); }

void list_WriteEventBlock(std::ostream& out, const Mission& m, int index) {
    if (!validEvent(m, index)) return;
    const MissionEvent& ev = m.events[static_cast<std::size_t>(index)];
    out << text_Printf(kWriteEvent, "EVENT_NUMBER", {index, mission_Text(ev.name)});
    // The reset time means something only while the reset flag is on.
    if (ev.attrib & 1) out << text_Printf(kWriteEvent, "RESET_AFTER", {ev.reset_value});
    if (ev.delay_value != 0) out << text_Printf(kWriteEvent, "DELAY_EVENT", {ev.delay_value});
    if (ev.attrib & 2) out << text_Printf(kWriteEvent, "PRE_MISSION_EVENT", {});
    if (ev.attrib & 4) out << text_Printf(kWriteEvent, "POST_MISSION_EVENT", {});
    const int triggers = event_TriggerCount(ev);
    if (triggers > 0) {
        out << text_Printf(kWriteEvent, "TRIGGERS", {});
        for (int t = 0; t < triggers; ++t)
            out << "    " << event_TriggerText(ev.triggers[static_cast<std::size_t>(t)], t == triggers - 1) << '\n';
    }
    const int actions = event_ActionCount(ev);
    if (actions > 0) {
        out << text_Printf(kWriteEvent, "ACTIONS", {});
        for (int a = 0; a < actions; ++a)
            out << "    " << event_ActionText(ev.actions[static_cast<std::size_t>(a)]) << '\n';
    }
}

bool list_WriteEvent(std::ostream& out, const Mission& m, int index, const ListingStamp& s) {
    if (!validEvent(m, index)) return false;
    out << text_Printf(kWriteEvent, "EVENT_HEADER", {index, s.fileName, s.month, s.day, s.year, s.hour, s.minute});
    list_WriteEventBlock(out, m, index);
    return true;
}

void list_WriteAllEvents(std::ostream& out, const Mission& m, const ListingStamp& s) {
    out << header(kWriteEvent, "EVENT_LIST_HEADER", s);
    for (int e = 0; e < m.event_count && e < kMaxEvents; ++e) {
        list_WriteEventBlock(out, m, e);
        out << '\n';
    }
}

void list_WriteGroups(std::ostream& out, const Mission& m, const ListingStamp& s) {
    out << header(kFileIo, "GROUP_LIST_HEADER", s);
    for (int g = 1; g < kMaxGroups; ++g) {
        const std::string_view desc = mission_Text(m.groups[static_cast<std::size_t>(g)].description);
        if (!desc.empty()) out << text_Format("%2i - %s\n", {g, desc});
    }
}

void list_WriteWaypoints(std::ostream& out, const Mission& m, const ListingStamp& s) {
    out << header(kFileIo, "WAYPOINT_LIST_HEADER", s);
    const auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    for (int w = 1; w < kMaxWaypoints; ++w) {
        const Waypoint& wp = m.waypoints[static_cast<std::size_t>(w)];
        const std::string_view desc = mission_Text(wp.description);
        const std::int32_t points = index->paths[static_cast<std::size_t>(w)].point_count;
        if (points != 0 || !desc.empty()) out << text_Format("%3i - %s (%i)\n", {w, desc, points});
    }
}

void list_WriteAreaTriggers(std::ostream& out, const Mission& m, const ListingStamp& s) {
    out << header(kFileIo, "AREATRIGGER_LIST_HEADER", s);
    const auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    for (int a = 1; a < kMaxAreaTriggers; ++a) {
        const AreaTrigger& area = m.area_triggers[static_cast<std::size_t>(a)];
        const std::string_view desc = mission_Text(area.description);
        if (index->areas[static_cast<std::size_t>(a)].in_use != 0 || !desc.empty())
            out << text_Format("%3i - %s\n", {a, desc});
    }
}

std::optional<std::string> list_AskTextFile(Dialog* owner) {
    (void)owner;
    FileDialogRequest req;
    req.save = true;
    req.filters.push_back({text_Get(kFileIo, "TEXT_FILE_FILTER_DES"), text_Get(kFileIo, "TEXT_FILE_FILTER_EXT")});
    std::error_code ec;
    req.startFolder = std::filesystem::current_path(ec).string();
    // A listing's own extension, so a name typed without one never lands on a mission.
    req.defaultExtension = ui_FilterExtension(req.filters.front());
    req.promptOverwrite = true;
    for (;;) {
        std::optional<std::string> path = platform().fileDialog(req);
        if (!path) return path;
        // A listing never replaces a mission, whatever name it was given.
        std::string ext = std::filesystem::path(*path).extension().string();
        for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".mis" && ext != ".bms" && metafile_Sniff(*path) == MissionFileKind::None) return path;
        ui_MessageBox(text_Printf(kFileIo, "LISTING_NOT_OVER_MISSION", {ui_PathText(*path)}),
                      text_Get(kFileIo, "TEXT_FILE_FILTER_DES"), MsgIcon::Warning, MsgButtons::Ok);
        const std::filesystem::path chosen(*path);
        req.startFolder = chosen.parent_path().string();
        req.initialName = chosen.stem().string() + (req.defaultExtension.empty() ? "" : "." + req.defaultExtension);
    }
}

int list_PrintEvent(Dialog* owner, const Mission& m, int index) {
    // Nothing to list: do not ask for a file that would stay unwritten.
    if (!validEvent(m, index)) return 0;
    return printToFile(owner, [&](std::ostream& out) { list_WriteEvent(out, m, index, list_Stamp(m)); });
}

int list_PrintAllEvents(Dialog* owner, const Mission& m) {
    return printToFile(owner, [&](std::ostream& out) { list_WriteAllEvents(out, m, list_Stamp(m)); });
}

int list_PrintGroups(Dialog* owner, const Mission& m) {
    return printToFile(owner, [&](std::ostream& out) { list_WriteGroups(out, m, list_Stamp(m)); });
}

int list_PrintWaypoints(Dialog* owner, const Mission& m) {
    return printToFile(owner, [&](std::ostream& out) { list_WriteWaypoints(out, m, list_Stamp(m)); });
}

int list_PrintAreaTriggers(Dialog* owner, const Mission& m) {
    return printToFile(owner, [&](std::ostream& out) { list_WriteAreaTriggers(out, m, list_Stamp(m)); });
}
