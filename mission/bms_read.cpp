// Reader and text dump of the binary mission. Every read is checked against the bytes at
// hand, and the counts the file declares are checked against what the file can hold before
// anything is reserved for them, so a short or hostile file is refused, never overrun.
#include "mission/export.h"
#include "core/bytes.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t offset() const { return pos_; }
    std::size_t left() const { return size_ - pos_; }

    // Claims count bytes for the record `what`; false (and the message) when the file ends.
    bool need(std::size_t count, const char* what, std::string& error) {
        if (count <= left()) return true;
        char buf[200];
        std::snprintf(buf, sizeof buf, "file ends at offset %zu inside %s (needs %zu bytes from offset %zu)", size_,
                      what, count, pos_);
        error = buf;
        return false;
    }
    std::int32_t i32() {
        const std::uint32_t v = le_Read32(data_ + pos_);
        pos_ += 4;
        return static_cast<std::int32_t>(v);
    }
    std::int16_t i16() {
        const std::uint16_t v = le_Read16(data_ + pos_);
        pos_ += 2;
        return static_cast<std::int16_t>(v);
    }
    std::uint8_t u8() { return data_[pos_++]; }
    // A text field: up to its first NUL, or the whole field when it is full.
    std::string text(std::size_t width) {
        const char* p = reinterpret_cast<const char*>(data_ + pos_);
        std::size_t n = 0;
        while (n < width && p[n] != 0) ++n;
        pos_ += width;
        return std::string(p, n);
    }
    void skip(std::size_t n) { pos_ += n; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

void readItem(ByteReader& r, BmsItem& it) {
    it.typeId = r.i32();
    it.nameIndex = r.i32();
    it.id = r.i32();
    it.bmsiAttributes = r.i32();
    it.x = r.i32();
    it.y = r.i32();
    it.z = r.i32();
    it.wpdistance = r.i32();
    it.waccuracy = r.i32();
    it.perception = r.i32();
    it.perfectionist = r.i32();
    it.edistances[0] = r.i32();
    it.edistances[1] = r.i32();
    it.heading = r.i16();
    it.pitch = r.i16();
    it.fov = r.i16();
    it.movetimer = r.i16();
    it.crouchtimer = r.i16();
    it.shoottimer = r.i16();
    it.attention = r.i16();
    it.alertState = r.u8();
    it.team = r.u8();
    it.nomorethan = r.u8();
    it.nolessthan = r.u8();
    it.weaponType = r.u8();
    it.sweaponType = r.u8();
    it.groupId = r.u8();
    it.waypointId = r.u8();
    it.wpnumber = r.u8();
    it.obliqueness = r.u8();
    it.mapSymbol = r.u8();
    r.skip(3);
    it.groupRel = r.i32();
    it.advancetimer = r.i32();
    it.ttoolindex = r.i32();
    r.skip(4);
}

const char* const kSectionNames[4] = {"items", "decor", "markers", "persons"};

}  // namespace

bool bms_Parse(const std::uint8_t* data, std::size_t size, BmsFile& out, std::string& error) {
    out = BmsFile{};
    if (!data) size = 0;
    ByteReader r(data, size);
    if (!r.need(kBmsHeaderSize, "the header", error)) return false;
    BmsHeader& h = out.header;
    for (auto& b : h.magic) b = r.u8();
    if (h.magic[0] != 'B' || h.magic[1] != 'M' || h.magic[2] != 'S') {
        error = "not a binary mission (the file does not start with BMS)";
        return false;
    }
    h.name = r.text(32);
    h.designer = r.text(32);
    h.terrain = r.text(16);
    h.cnvFile = r.text(16);
    h.ttFile = r.text(16);
    h.terrainColor = r.i32();
    h.attrib = r.i32();
    h.visibleIf = r.i32();
    h.notvisibleIf = r.i32();
    h.arty = r.i32();
    h.waterLevel = r.i32();
    h.fogLevel = r.i32();
    h.fogColor = r.i32();
    for (auto& e : h.defaultEquipment) e = static_cast<std::int8_t>(r.u8());
    h.itemCount = r.i32();
    h.decorCount = r.i32();
    h.markerCount = r.i32();
    h.personCount = r.i32();
    h.eventCount = r.i32();
    h.weatherType = r.i32();
    for (auto& s : h.subgoalsWin) s = static_cast<std::int8_t>(r.u8());
    for (auto& s : h.subgoalsLose) s = static_cast<std::int8_t>(r.u8());
    h.clouds = r.text(16);
    h.skygrad = r.text(16);
    h.skyheight = r.i32();
    h.horizon = r.i32();
    h.gamma = r.u8();
    h.sat = r.u8();
    h.r = r.u8();
    h.g = r.u8();
    h.b = r.u8();
    r.skip(3);
    h.windSpeed = r.i32();
    h.windDirection = r.i32();
    r.skip(24);
    h.briefing = r.text(256);

    const std::int32_t counts[4] = {h.itemCount, h.decorCount, h.markerCount, h.personCount};
    for (int s = 0; s < 4; ++s) {
        if (counts[s] < 0) {
            error = std::string("negative ") + kSectionNames[s] + " count in the header";
            return false;
        }
        std::string what =
            std::string("the ") + kSectionNames[s] + " section (" + std::to_string(counts[s]) + " records)";
        if (!r.need(std::size_t(counts[s]) * kBmsItemSize, what.c_str(), error)) return false;
        out.sections[s].resize(std::size_t(counts[s]));
        for (auto& it : out.sections[s]) readItem(r, it);
    }
    if (!r.need(kBmsWaypoints * kBmsWaypointSize, "the waypoint table", error)) return false;
    for (auto& w : out.waypoints) {
        w.attrib = r.i32();
        w.count = r.i32();
        for (auto& m : w.markers) m = r.i32();
    }
    if (!r.need(kBmsGroups * kBmsGroupSize, "the group table", error)) return false;
    for (auto& g : out.groups) {
        g.flags = r.i32();
        r.skip(4);
        g.commander = r.i32();
        g.fourth = r.i32();
        r.skip(16);
    }
    if (!r.need(kBmsWavs * kBmsWavSize, "the wav table", error)) return false;
    for (auto& w : out.wavNames) {
        r.skip(4);
        w = r.text(16);
    }
    if (!r.need(12, "the event totals", error)) return false;
    out.eventTotal = r.i32();
    out.triggerTotal = r.i32();
    out.actionTotal = r.i32();
    if (out.eventTotal < 0 || out.triggerTotal < 0 || out.actionTotal < 0) {
        error = "negative event, trigger or action total";
        return false;
    }
    if (out.eventTotal != h.eventCount) {
        error = "event total " + std::to_string(out.eventTotal) + " differs from the header's event count " +
                std::to_string(h.eventCount);
        return false;
    }
    if (!r.need(std::size_t(out.eventTotal) * kBmsEventSize, "the event table", error)) return false;
    out.events.resize(std::size_t(out.eventTotal));
    for (auto& e : out.events) {
        e.attrib = r.i32();
        e.firstTrigger = r.i32();
        e.firstAction = r.i32();
        r.skip(2);
        e.reset50 = r.i16();
        r.skip(2);
        e.delay50 = r.i16();
        r.skip(1);
        e.triggerCount = r.u8();
        e.actionCount = r.u8();
        r.skip(1);
    }
    if (!r.need(std::size_t(out.triggerTotal) * kBmsRowSize, "the trigger rows", error)) return false;
    out.triggers.resize(std::size_t(out.triggerTotal));
    for (auto& row : out.triggers)
        for (auto& w : row) w = r.i32();
    if (!r.need(std::size_t(out.actionTotal) * kBmsRowSize, "the action rows", error)) return false;
    out.actions.resize(std::size_t(out.actionTotal));
    for (auto& row : out.actions)
        for (auto& w : row) w = r.i32();
    if (r.left() != 0) {
        error = std::to_string(r.left()) + " bytes after the last action row at offset " + std::to_string(r.offset());
        return false;
    }
    // Each event's rows must lie inside the row tables.
    for (std::size_t i = 0; i < out.events.size(); ++i) {
        const BmsEvent& e = out.events[i];
        if (e.firstTrigger < 0 || e.firstAction < 0 ||
            std::int64_t(e.firstTrigger) + e.triggerCount > out.triggerTotal ||
            std::int64_t(e.firstAction) + e.actionCount > out.actionTotal) {
            error = "event " + std::to_string(i) + " names rows outside the trigger or action table";
            return false;
        }
    }
    return true;
}

namespace {

void add(std::string& s, const char* fmt, ...) __attribute__((format(printf, 2, 3)));
void add(std::string& s, const char* fmt, ...) {
    char buf[1024];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n > 0) s.append(buf, std::min<std::size_t>(std::size_t(n), sizeof buf - 1));
}

// Texts may hold anything; quote them and show control bytes as escapes so a line stays one line.
std::string quoted(const std::string& t) {
    std::string q = "\"";
    for (unsigned char c : t) {
        if (c == '\n')
            q += "\\n";
        else if (c == '\\' || c == '"') {
            q += '\\';
            q += char(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\x%02X", c);
            q += b;
        } else
            q += char(c);
    }
    return q + "\"";
}

}  // namespace

std::string bms_Dump(const BmsFile& f) {
    std::string s;
    const BmsHeader& h = f.header;
    add(s, "header format=%u name=%s designer=%s terrain=%s cnv_file=%s tt_file=%s\n", h.magic[3],
        quoted(h.name).c_str(), quoted(h.designer).c_str(), quoted(h.terrain).c_str(), quoted(h.cnvFile).c_str(),
        quoted(h.ttFile).c_str());
    add(s,
        "general terrain_color=%d attrib=%d visible_if=%d notvisible_if=%d arty=%d water_level=%d fog_level=%d "
        "fog_color=0x%06X weather_type=%d default_equipment=%d,%d,%d,%d\n",
        h.terrainColor, h.attrib, h.visibleIf, h.notvisibleIf, h.arty, h.waterLevel, h.fogLevel, unsigned(h.fogColor),
        h.weatherType, h.defaultEquipment[0], h.defaultEquipment[1], h.defaultEquipment[2], h.defaultEquipment[3]);
    add(s, "counts items=%d decor=%d markers=%d persons=%d events=%d\n", h.itemCount, h.decorCount, h.markerCount,
        h.personCount, h.eventCount);
    add(s, "subgoals win=%d,%d,%d,%d lose=%d,%d,%d,%d\n", h.subgoalsWin[0], h.subgoalsWin[1], h.subgoalsWin[2],
        h.subgoalsWin[3], h.subgoalsLose[0], h.subgoalsLose[1], h.subgoalsLose[2], h.subgoalsLose[3]);
    add(s, "sky clouds=%s skygrad=%s skyheight=%d horizon=%d gamma=%u sat=%u r=%u g=%u b=%u\n",
        quoted(h.clouds).c_str(), quoted(h.skygrad).c_str(), h.skyheight, h.horizon, h.gamma, h.sat, h.r, h.g, h.b);
    add(s, "wind speed=%d direction=%d\n", h.windSpeed, h.windDirection);
    s += "briefing text=" + quoted(h.briefing) + "\n";
    for (int sec = 0; sec < 4; ++sec) {
        int n = 0;
        for (const BmsItem& it : f.sections[sec]) {
            add(s,
                "%s[%d] type_id=%d name_index=%d id=%d bmsi_attributes=%d x=%d y=%d z=%d wpdistance=%d "
                "waccuracy=%d perception=%d perfectionist=%d edistances=%d,%d heading=%d pitch=%d fov=%d "
                "movetimer=%d crouchtimer=%d shoottimer=%d attention=%d alert_state=%u team=%u nomorethan=%u "
                "nolessthan=%u weapon_type=%u sweapon_type=%u group_id=%u waypoint_id=%u wpnumber=%u "
                "obliqueness=%u map_symbol=%u group_rel=%d advancetimer=%d ttoolindex=%d\n",
                kSectionNames[sec], n++, it.typeId, it.nameIndex, it.id, it.bmsiAttributes, it.x, it.y, it.z,
                it.wpdistance, it.waccuracy, it.perception, it.perfectionist, it.edistances[0], it.edistances[1],
                it.heading, it.pitch, it.fov, it.movetimer, it.crouchtimer, it.shoottimer, it.attention, it.alertState,
                it.team, it.nomorethan, it.nolessthan, it.weaponType, it.sweaponType, it.groupId, it.waypointId,
                it.wpnumber, it.obliqueness, it.mapSymbol, it.groupRel, it.advancetimer, it.ttoolindex);
        }
    }
    for (int i = 0; i < kBmsWaypoints; ++i) {
        const BmsWaypoint& w = f.waypoints[i];
        add(s, "waypoint[%d] attrib=%d count=%d markers=", i, w.attrib, w.count);
        int shown = w.count < kBmsWaypointPoints ? (w.count < 0 ? 0 : w.count) : kBmsWaypointPoints;
        for (int k = 0; k < shown; ++k) add(s, k ? ",%d" : "%d", w.markers[k]);
        s += "\n";
    }
    for (int i = 0; i < kBmsGroups; ++i) {
        const BmsGroup& g = f.groups[i];
        add(s, "group[%d] flags=%d commander=%d fourth=%d\n", i, g.flags, g.commander, g.fourth);
    }
    for (int i = 0; i < kBmsWavs; ++i) s += "wav[" + std::to_string(i) + "] file_name=" + quoted(f.wavNames[i]) + "\n";
    add(s, "totals events=%d triggers=%d actions=%d\n", f.eventTotal, f.triggerTotal, f.actionTotal);
    for (std::size_t i = 0; i < f.events.size(); ++i) {
        const BmsEvent& e = f.events[i];
        add(s,
            "event[%zu] attrib=%d first_trigger=%d first_action=%d reset_value50=%d delay_value50=%d triggers=%u "
            "actions=%u\n",
            i, e.attrib, e.firstTrigger, e.firstAction, e.reset50, e.delay50, e.triggerCount, e.actionCount);
    }
    for (std::size_t i = 0; i < f.triggers.size(); ++i) {
        const auto& t = f.triggers[i];
        add(s, "trigger[%zu] flags=%d type=%d condition=%d var1=%d var2=%d var3=%d var4=%d spare=%d\n", i, t[0], t[1],
            t[2], t[3], t[4], t[5], t[6], t[7]);
    }
    for (std::size_t i = 0; i < f.actions.size(); ++i) {
        const auto& a = f.actions[i];
        add(s, "action[%zu] spare0=%d type=%d subtype=%d var1=%d var2=%d var3=%d var4=%d spare7=%d\n", i, a[0], a[1],
            a[2], a[3], a[4], a[5], a[6], a[7]);
    }
    return s;
}
