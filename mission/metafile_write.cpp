// The metafile writer. The format is fixed line by line: blocks in a fixed order, lines that
// carry zero left out where the format says so, CR LF line ends. The text is built in memory
// and handed to the file layer in one piece, which writes it beside the target and renames it
// into place.
#include "mission/metafile.h"

#include "core/file.h"
#include "mission/index.h"
#include "mission/mission.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <memory>

namespace {

// The line reader takes at most 699 characters of a line at a time; a longer line would come
// back as two lines and stop the read. A quoted text is cut so that its line stays within that.
constexpr std::size_t kMaxWrittenText = 640;

constexpr std::size_t kBriefPiece = 100;

class Out {
public:
    explicit Out(std::string& s) : s_(s) {}

    Out& raw(std::string_view t) {
        s_.append(t);
        return *this;
    }
    Out& num(std::int64_t v) {
        char buf[24];
        auto r = std::to_chars(buf, buf + sizeof buf, v);
        s_.append(buf, r.ptr);
        return *this;
    }
    Out& sp(std::int64_t v) {
        s_ += ' ';
        return num(v);
    }
    void eol() { s_.append("\r\n"); }

    // keyword value
    void kv(std::string_view key, std::int64_t v) {
        raw(key).sp(v);
        eol();
    }
    // keyword value, only when the value is not zero
    void kvNz(std::string_view key, std::int64_t v) {
        if (v != 0) kv(key, v);
    }
    // keyword "text": a line break inside a one-line text would split the line, so it is
    // written as a blank.
    void quoted(std::string_view key, std::string_view text) {
        raw(key).raw(" \"");
        appendOneLine(text.substr(0, std::min(text.size(), kMaxWrittenText)));
        s_ += '"';
        eol();
    }
    // keyword text (unquoted)
    void plain(std::string_view key, std::string_view text) {
        raw(key).raw(" ");
        appendOneLine(text.substr(0, std::min(text.size(), kMaxWrittenText)));
        eol();
    }
    void appendOneLine(std::string_view text) {
        for (char c : text) s_ += (c == '\r' || c == '\n') ? ' ' : c;
    }

private:
    std::string& s_;
};

template <std::size_t N>
std::string_view text(const char (&field)[N]) {
    return mission_Text(field);
}

void writeHeader(Out& o, const std::tm& t) {
    // The minute is padded with a blank, not a zero ("%2i"): the format has always looked so.
    char buf[96];
    std::snprintf(buf, sizeof buf, "// mission metafile, saved on %i/%i/%i, %i:%2i", t.tm_mon + 1, t.tm_mday,
                  t.tm_year + 1900, t.tm_hour, t.tm_min);
    o.raw(buf);
    o.eol();
    o.eol();
    o.eol();
}

void writeGeneral(Out& o, const Mission& m) {
    const GeneralInfo& g = m.info;
    o.raw("begin general_information");
    o.eol();
    o.quoted("name", text(g.name));
    o.quoted("designer", text(g.designer));
    o.plain("terrain", text(g.terrain));
    o.plain("cnv_file", text(g.cnv_file));
    o.plain("tt_file", text(g.tt_file));
    o.kv("terrain_color", g.terrain_color);
    o.kv("attrib", g.attrib);
    o.kv("visible_if", g.visible_if);
    o.kv("notvisible_if", g.notvisible_if);
    o.kv("arty", g.arty);
    o.kv("water_level", g.water_level);
    o.kv("fog_level", g.fog_level);
    o.kv("fog_color", g.fog_color);
    o.kv("weather_type", g.weather_type);
    o.kv("lowest_elev", g.lowest_elev);
    o.kv("num_items", std::clamp(m.item_count, 0, kMaxItems));
    o.kv("num_events", std::clamp(m.event_count, 0, kMaxEvents));
    o.raw("subgoals_win");
    for (auto v : g.subgoals_win) o.sp(v);
    o.eol();
    o.raw("subgoals_lose");
    for (auto v : g.subgoals_lose) o.sp(v);
    o.eol();
    o.kv("sunset", g.sunset);
    // The first stored value (the sidearm) is written last.
    const auto& e = g.default_equipment;
    o.raw("default_equipment").sp(e[1]).sp(e[2]).sp(e[3]).sp(e[0]);
    o.eol();
    o.raw("wind").sp(g.wind[0]).sp(g.wind[1]);
    o.eol();
    o.raw("wp_names_blue");
    for (auto v : g.wp_names_blue) o.sp(v);
    o.eol();
    o.raw("wp_names_red");
    for (auto v : g.wp_names_red) o.sp(v);
    o.eol();
    o.raw("end general_information");
    o.eol();
    o.eol();
}

void writeBriefing(Out& o, const Mission& m) {
    const std::string_view b = text(m.info.briefing);
    if (b.empty()) return;
    o.raw("begin briefing");
    o.eol();
    o.eol();
    for (std::size_t at = 0; at < b.size(); at += kBriefPiece) {
        const std::string_view piece = b.substr(at, kBriefPiece);
        o.raw("brief \"");
        // Line breaks travel as "|"; the reader turns them back.
        std::string copy(piece);
        for (char& c : copy) {
            if (c == '\n')
                c = '|';
            else if (c == '\r')
                c = ' ';
        }
        o.raw(copy);
        o.raw("\"");
        o.eol();
    }
    o.raw("endbriefing");
    o.eol();
    o.eol();
}

void writeAreas(Out& o, const Mission& m, const MissionIndex& index) {
    for (int n = 1; n < kMaxAreaTriggers; ++n) {
        const AreaTrigger& a = m.area_triggers[n];
        if (index.areas[std::size_t(n)].in_use == 0 && a.description[0] == '\0') continue;
        o.kv("begin areatrig", n);
        o.quoted("description", text(a.description));
        o.kvNz("color", a.color);
        o.kvNz("attrib", a.attrib);
        o.raw("end areatrig");
        o.eol();
        o.eol();
    }
}

void writeWaypoints(Out& o, const Mission& m, const MissionIndex& index) {
    for (int n = 1; n < kMaxWaypoints; ++n) {
        const Waypoint& w = m.waypoints[n];
        if (index.paths[std::size_t(n)].point_count <= 0 && w.description[0] == '\0') continue;
        o.kv("begin waypoint", n);
        o.quoted("description", text(w.description));
        o.kvNz("color", w.color);
        o.kvNz("attrib", w.attrib);
        o.raw("end waypoint");
        o.eol();
        o.eol();
    }
}

void writeGroups(Out& o, const Mission& m, const MissionIndex& index) {
    for (int n = 1; n < kMaxGroups; ++n) {
        const Group& g = m.groups[n];
        if (index.group_members[std::size_t(n)] <= 0 && g.description[0] == '\0') continue;
        o.kv("begin group", n);
        o.quoted("description", text(g.description));
        o.kvNz("attrib", g.attrib);
        o.kvNz("color", g.color);
        o.kvNz("commander", g.commander);
        o.raw("end group");
        o.eol();
        o.eol();
    }
}

void writeWavLists(Out& o, const Mission& m) {
    for (int n = 1; n < kMaxWavLists; ++n) {
        const WavList& w = m.wav_lists[n];
        if (w.file_name[0] == '\0' && w.description[0] == '\0') continue;
        o.kv("begin wav_list", n);
        o.quoted("description", text(w.description));
        o.quoted("file_name", text(w.file_name));
        o.raw("end wav_list");
        o.eol();
        o.eol();
    }
}

void writeLayers(Out& o, const Mission& m) {
    for (int n = 0; n < kMaxLayers; ++n) {
        const Layer& l = m.layers[n];
        if (l.description[0] == '\0') continue;
        o.kv("begin layer", n);
        o.quoted("description", text(l.description));
        o.raw("end layer");
        o.eol();
        o.eol();
    }
}

void writeEvents(Out& o, const Mission& m) {
    const int count = std::clamp(m.event_count, 0, kMaxEvents);
    for (int n = 0; n < count; ++n) {
        const MissionEvent& e = m.events[n];
        o.kv("begin event", n);
        o.quoted("name", text(e.name));
        o.kvNz("attrib", e.attrib);
        o.kvNz("reset_value", e.reset_value);
        o.kvNz("delay_value", e.delay_value);
        const int triggers = std::clamp(e.trigger_count, 0, kEventMaxTriggers);
        if (triggers > 0) {
            o.kv("begin triggers", triggers);
            for (int r = 0; r < triggers; ++r) {
                const EventTrigger& t = e.triggers[r];
                o.num(t.flags).sp(t.type).sp(t.condition).sp(t.var1).sp(t.var2).sp(t.var3).sp(t.var4).sp(t.spare);
                o.eol();
            }
            o.raw("end triggers");
            o.eol();
        }
        const int actions = std::clamp(e.action_count, 0, kEventMaxActions);
        if (actions > 0) {
            o.kv("begin actions", actions);
            for (int r = 0; r < actions; ++r) {
                // The subtype, stored third, is the seventh column.
                const EventAction& a = e.actions[r];
                o.num(a.spare0).sp(a.type).sp(a.var1).sp(a.var2).sp(a.var3).sp(a.var4).sp(a.subtype).sp(a.spare7);
                o.eol();
            }
            o.raw("end actions");
            o.eol();
        }
        o.raw("end event");
        o.eol();
        o.eol();
    }
}

void writeItems(Out& o, const Mission& m) {
    const int count = std::clamp(m.item_count, 0, kMaxItems);
    for (int n = 0; n < count; ++n) {
        const MissionItem& it = m.items[n];
        o.kv("begin item", n);
        o.kv("id", it.id);
        o.kv("type_id", it.type_id);
        o.raw("position").sp(it.x).sp(it.y).sp(it.z);
        o.eol();
        if (it.heading != 0 || it.pitch != 0) {
            o.raw("facing").sp(it.heading).sp(it.pitch);
            o.eol();
        }
        o.kvNz("team", it.team);
        o.kvNz("map_symbol", it.map_symbol);
        o.kvNz("name_index", it.name_index);
        o.kvNz("bmsi_attributes", it.bmsi_attributes);
        o.kvNz("nolessthan", it.nolessthan);
        o.kvNz("nomorethan", it.nomorethan);
        o.kvNz("weapon_type", it.weapon_type);
        o.kvNz("sweapon_type", it.sweapon_type);
        o.kvNz("group_id", it.group_id);
        o.kvNz("group_rel", it.group_rel);
        // A stray waypoint marker is saved on no path, as the editor has always saved it.
        o.kvNz("waypoint_id", mission_IsStrayMarker(it) ? 0 : it.waypoint_id);
        o.kvNz("wpnumber", it.wpnumber);
        o.kvNz("wpdistance", it.wpdistance);
        o.kvNz("ttoolindex", it.ttoolindex);
        o.kvNz("fov", it.fov);
        o.kvNz("alert_state", it.alert_state);
        o.kvNz("obliqueness", it.obliqueness);
        o.kvNz("waccuracy2", it.waccuracy);
        o.kvNz("perception2", it.perception);
        o.kvNz("perfectionist2", it.perfectionist);
        o.kvNz("movetimer", it.movetimer);
        o.kvNz("crouchtimer", it.crouchtimer);
        o.kvNz("shoottimer", it.shoottimer);
        o.kvNz("attention", it.attention);
        o.kvNz("advancetimer", it.advancetimer);
        if (it.edistances[0] != 0 || it.edistances[1] != 0) {
            o.raw("edistances").sp(it.edistances[0]).sp(it.edistances[1]);
            o.eol();
        }
        o.kvNz("attributes", it.attributes);
        o.kvNz("layer", it.layer);
        o.raw("end item");
        o.eol();
        o.eol();
    }
}

}  // namespace

std::tm metafile_HeaderTime() {
    std::tm out{};
    if (const char* env = std::getenv("SOURCE_DATE_EPOCH")) {
        char* end = nullptr;
        errno = 0;
        const long long v = std::strtoll(env, &end, 10);
        if (end != env && *end == '\0' && errno == 0) {
            const std::time_t t = static_cast<std::time_t>(v);
            if (gmtime_r(&t, &out)) return out;
        }
    }
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &out);
    return out;
}

std::string metafile_Format(const Mission& m, const std::tm& when) {
    std::string s;
    s.reserve(4096 + std::size_t(std::clamp(m.item_count, 0, kMaxItems)) * 320 +
              std::size_t(std::clamp(m.event_count, 0, kMaxEvents)) * 900);
    Out o(s);
    writeHeader(o, when);
    writeGeneral(o, m);
    writeBriefing(o, m);
    const auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    writeAreas(o, m, *index);
    writeWaypoints(o, m, *index);
    writeGroups(o, m, *index);
    writeWavLists(o, m);
    writeLayers(o, m);
    writeEvents(o, m);
    writeItems(o, m);
    return s;
}

int metafile_Write(const Mission& m, const char* path) {
    if (!path || !*path) return 0;
    const std::string text = metafile_Format(m, metafile_HeaderTime());
    return file_WriteAtomic(path, text.data(), text.size()) ? 1 : 0;
}
