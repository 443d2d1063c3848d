// The metafile reader: a line callback with a small block state machine. Every line is a
// "begin" line that opens a numbered block, a keyword line inside a block, or an "end" line.
// Besides what the writer produces it takes the keywords of the older generation of the
// format; their values are kept in the page but never written again.
//
// Nothing is stored outside the page's tables: a block number, a count or a row beyond the
// capacities is refused as a bad line, and texts are cut to their fields.
#include "mission/metafile.h"

#include "core/nocase.h"
#include "core/number.h"

#include "gamedata/itemdef.h"
#include "gamedata/terrain.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "core/file.h"
#include "core/parser.h"
#include "core/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <vector>

namespace {

enum class Block {
    Outside,
    General,
    Item,
    Waypoint,
    Event,
    Triggers,
    Actions,
    Group,
    WavList,
    Layer,
    Wind,
    Area,
    Briefing,
};

constexpr std::size_t kBriefingMax = kBriefingSize - 1;

bool same(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
        if (x == 0) return true;
    }
}

// Decimal text to integer: leading blanks, a sign, then digits up to the first non-digit;
// text that is not a number gives 0. Values beyond the 32-bit range stop at its ends. The
// usual token (digits, perhaps after a minus) is read with from_chars; the rest, and values
// out of range, by the general rule.
std::int32_t toInt(const char* s) {
    if (!s) return 0;
    const char* digits = s + (s[0] == '-');
    if (*digits >= '0' && *digits <= '9') {
        std::int32_t v = 0;
        const auto r = std::from_chars(s, s + std::strlen(s), v);
        if (r.ec == std::errc()) return v;
    }
    return number_ClampedInt(std::string_view(s));
}

// Finds a keyword in a fixed list without building a string: the key's letters folded to
// lower case are hashed into a small open table, and the one candidate found there is
// compared in full.
class KeywordTable {
public:
    explicit KeywordTable(const std::vector<const char*>& words) : words_(words) {
        for (std::size_t i = 0; i < words.size(); ++i) {
            std::size_t slot = hash(words[i]);
            while (slot_[slot] != 0) slot = (slot + 1) & (kSlots - 1);
            slot_[slot] = std::uint8_t(i + 1);
        }
    }
    // The keyword's position in the list, or -1.
    int find(const char* key) const {
        for (std::size_t slot = hash(key); slot_[slot] != 0; slot = (slot + 1) & (kSlots - 1)) {
            const int i = slot_[slot] - 1;
            if (same(key, words_[std::size_t(i)])) return i;
        }
        return -1;
    }

private:
    static constexpr std::size_t kSlots = 256;  // well over the longest list, which stays sparse
    static std::size_t hash(const char* s) {
        std::uint32_t h = 2166136261u;
        for (; *s; ++s) {
            unsigned char c = static_cast<unsigned char>(*s);
            if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
            h = (h ^ c) * 16777619u;
        }
        return (h ^ (h >> 15)) & (kSlots - 1);
    }
    std::array<std::uint8_t, kSlots> slot_{};
    std::vector<const char*> words_;
};

// The older accuracy form: a decimal fraction, stored in hundredths, truncated toward zero.
// Parsed without the locale, so "0.5" means one half whatever the user's settings are.
std::int32_t toHundredths(const char* s) {
    while (*s == ' ' || *s == '\t') ++s;
    if (*s == '+') ++s;
    double d = 0;
    const char* end = s + std::strlen(s);
    auto r = std::from_chars(s, end, d, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(d)) return 0;
    d = std::trunc(d * 100.0);
    if (d >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (d <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(d);
}

struct IntField {
    const char* key;
    std::int32_t MissionItem::*field;
};

// Item keywords that set one integer field from the first argument.
constexpr IntField kItemInts[] = {
    {"type_id", &MissionItem::type_id},
    {"id", &MissionItem::id},
    {"team", &MissionItem::team},
    {"alignment", &MissionItem::team},
    {"map_symbol", &MissionItem::map_symbol},
    {"name_index", &MissionItem::name_index},
    {"bmsi_attributes", &MissionItem::bmsi_attributes},
    {"nolessthan", &MissionItem::nolessthan},
    {"nomorethan", &MissionItem::nomorethan},
    {"weapon_type", &MissionItem::weapon_type},
    {"sweapon_type", &MissionItem::sweapon_type},
    {"group_id", &MissionItem::group_id},
    {"group_rel", &MissionItem::group_rel},
    {"waypoint_id", &MissionItem::waypoint_id},
    {"wpnumber", &MissionItem::wpnumber},
    {"wpdistance", &MissionItem::wpdistance},
    {"ttoolindex", &MissionItem::ttoolindex},
    {"fov", &MissionItem::fov},
    {"alert_state", &MissionItem::alert_state},
    {"obliqueness", &MissionItem::obliqueness},
    {"movetimer", &MissionItem::movetimer},
    {"crouchtimer", &MissionItem::crouchtimer},
    {"shoottimer", &MissionItem::shoottimer},
    {"attention", &MissionItem::attention},
    {"advancetimer", &MissionItem::advancetimer},
    {"attributes", &MissionItem::attributes},
    {"layer", &MissionItem::layer},
    {"waccuracy2", &MissionItem::waccuracy},
    {"perception2", &MissionItem::perception},
    {"perfectionist2", &MissionItem::perfectionist},
    // Kept from older metafiles, never written again.
    {"camo_type", &MissionItem::camo_type},
    {"speed", &MissionItem::speed},
    {"ai", &MissionItem::ai},
    {"advance", &MissionItem::advance},
    {"formation", &MissionItem::formation},
    {"icon_value", &MissionItem::icon_value},
    {"ammo_50_cal", &MissionItem::ammo_50_cal},
    {"ammo_tow", &MissionItem::ammo_tow},
    {"ammo_stinger", &MissionItem::ammo_stinger},
    {"ammo_grenade", &MissionItem::ammo_grenade},
    {"delay", &MissionItem::delay},
    {"smoke_time", &MissionItem::smoke_time},
};

struct GeneralIntField {
    const char* key;
    std::int32_t GeneralInfo::*field;
};

constexpr GeneralIntField kGeneralInts[] = {
    {"terrain_color", &GeneralInfo::terrain_color},
    {"attrib", &GeneralInfo::attrib},
    {"visible_if", &GeneralInfo::visible_if},
    {"notvisible_if", &GeneralInfo::notvisible_if},
    {"arty", &GeneralInfo::arty},
    {"water_level", &GeneralInfo::water_level},
    {"fog_level", &GeneralInfo::fog_level},
    {"fog_color", &GeneralInfo::fog_color},
    {"weather_type", &GeneralInfo::weather_type},
    {"sunset", &GeneralInfo::sunset},
    {"lowest_elev", &GeneralInfo::lowest_elev},
};

// The other item keywords, after the integer ones in the item table.
enum class ItemKey {
    Position,
    Facing,
    Name,
    WAccuracy,
    Perception,
    Perfectionist,
    EDistances,
    Loadout,
    Bumper,
    NameOverride,
    AiName,
    Value
};
constexpr const char* kItemOtherKeys[] = {"position",   "facing",        "name",       "waccuracy",
                                          "perception", "perfectionist", "edistances", "loadout",
                                          "bumper",     "name_override", "ai_name",    "value"};

static_assert(std::size(kItemOtherKeys) == std::size_t(ItemKey::Value) + 1);

const KeywordTable& itemKeywords() {
    static const KeywordTable table = [] {
        std::vector<const char*> words;
        for (const IntField& f : kItemInts) words.push_back(f.key);
        for (const char* k : kItemOtherKeys) words.push_back(k);
        return KeywordTable(words);
    }();
    return table;
}

constexpr const char* kGeneralIgnored[] = {"mapkey_circle", "mapkey_fcircle", "mapkey_diamond", "mapkey_cross",
                                           "attribA",       "attribB",        "attribN"};

// The first n characters of text into a 4-byte tag field (bumper, name_override). The field
// is not a string in the model: all four bytes may be used.
void setTag(char (&field)[kItemTagSize], const char* text) {
    std::memset(field, 0, sizeof field);
    for (std::size_t i = 0; i < sizeof field && text[i]; ++i) field[i] = text[i];
}

std::vector<int>& lineSlot(std::vector<int>& v, std::size_t n) {
    if (v.size() <= n) v.resize(n + 1, 0);
    return v;
}

class Reader {
public:
    Reader(Mission& m, MetafileLines* lines) : m_(m), lines_(lines) {}

    std::int32_t line(const LineTokens* t, int lineNumber) {
        if (!t) {
            // Ending inside a block fails without a message; a tool can ask where it began.
            if (block_ == Block::Outside) return 0;
            if (lines_) lines_->unterminated = blockLine_;
            return 1;
        }
        line_ = lineNumber;
        const char* key = t->at(0);
        switch (block_) {
        case Block::Outside: return outside(*t);
        case Block::Briefing: return briefing(*t);
        case Block::Wind: return wind(*t);
        case Block::Triggers: return triggerRow(*t);
        case Block::Actions: return actionRow(*t);
        default: break;
        }
        if (same(key, "end")) {
            block_ = Block::Outside;
            return 0;
        }
        switch (block_) {
        case Block::General: return general(*t);
        case Block::Item: return item(*t);
        case Block::Waypoint: return waypoint(*t);
        case Block::Event: return event(*t);
        case Block::Group: return group(*t);
        case Block::WavList: return wavList(*t);
        case Block::Layer: return layer(*t);
        case Block::Area: return area(*t);
        default: return 1;
        }
    }

    // Whether any block began: a file without one is no mission, whatever else it holds.
    bool anyBlock() const { return anyBlock_; }
    // The text fields that were longer than their field and cut to fit, in file order.
    std::vector<MetafileCut>& cuts() { return cuts_; }

    // The counts follow the blocks read, so that no record is made up for a count larger than
    // the file's blocks: items without a block below num_items close up (items are known by
    // their ids), and events stop after the last event with a block (events are known by their
    // numbers, so an event missing between two others stays, empty). The counts as the file
    // gave them go into the lines record.
    void finish() {
        if (lines_) {
            lines_->itemsDeclared = m_.item_count;
            lines_->eventsDeclared = m_.event_count;
        }
        std::int32_t kept = 0;
        for (std::int32_t i = 0; i < m_.item_count; ++i) {
            if (!itemSeen_[std::size_t(i)]) continue;
            if (kept != i) {
                m_.items[std::size_t(kept)] = m_.items[std::size_t(i)];
                if (lines_) lines_->item[std::size_t(kept)] = lines_->item[std::size_t(i)];
            }
            ++kept;
        }
        for (std::int32_t i = kept; i < m_.item_count; ++i) {
            m_.items[std::size_t(i)] = MissionItem{};
            if (lines_ && std::size_t(i) < lines_->item.size()) lines_->item[std::size_t(i)] = 0;
        }
        m_.item_count = kept;
        while (m_.event_count > 0 && !eventSeen_[std::size_t(m_.event_count - 1)]) --m_.event_count;
        // Blocks beyond the counts were read into their records; they are lost, so nothing of
        // them stays in the tables either.
        for (std::size_t i = std::size_t(kept); i < itemSeen_.size(); ++i)
            if (itemSeen_[i]) m_.items[i] = MissionItem{};
        for (std::size_t i = std::size_t(m_.event_count); i < eventSeen_.size(); ++i)
            if (eventSeen_[i]) m_.events[i] = MissionEvent{};
    }

private:
    // Copies a text into its fixed field; a text longer than the field is cut, and noted.
    template <std::size_t N>
    void setText(char (&field)[N], const char* keyword, const char* text) {
        const std::size_t length = std::strlen(text);
        if (length > N - 1) noteCut(keyword, length, N - 1);
        mission_SetText(field, text);
    }
    void noteCut(const char* keyword, std::size_t length, std::size_t capacity) {
        cuts_.push_back({keyword, line_, length, capacity});
    }

    // Refuses the line; a limit key names the capacity it went beyond in the report.
    std::int32_t limit(const char* key, std::int32_t capacity) {
        if (key) parser_SetReason(text_Printf("Dialog Message", key, {capacity, capacity - 1}));
        return 1;
    }

    // A begin line's number, accepted only within [lo, hi].
    bool number(const LineTokens& t, int lo, int hi) {
        n_ = toInt(t.at(2));
        return n_ >= lo && n_ <= hi;
    }

    std::int32_t outside(const LineTokens& t) {
        if (!same(t.at(0), "begin")) return 1;
        blockLine_ = line_;
        anyBlock_ = true;
        const char* what = t.at(1);
        if (same(what, "general_information")) {
            block_ = Block::General;
            if (lines_) lines_->generalInfo = line_;
        } else if (same(what, "briefing")) {
            block_ = Block::Briefing;
            briefingLength_ = 0;
        } else if (same(what, "item")) {
            if (!number(t, 0, kMaxItems - 1)) return limit(n_ >= kMaxItems ? "ITEMS_LIMIT" : nullptr, kMaxItems);
            block_ = Block::Item;
            itemSeen_[std::size_t(n_)] = true;
            if (lines_) lineSlot(lines_->item, std::size_t(n_))[std::size_t(n_)] = line_;
        } else if (same(what, "waypoint")) {
            if (!number(t, 1, kMaxWaypoints - 1)) return 1;
            block_ = Block::Waypoint;
            if (lines_) lineSlot(lines_->waypoint, std::size_t(n_))[std::size_t(n_)] = line_;
        } else if (same(what, "event")) {
            if (!number(t, 0, kMaxEvents - 1)) return limit(n_ >= kMaxEvents ? "EVENTS_LIMIT" : nullptr, kMaxEvents);
            block_ = Block::Event;
            eventSeen_[std::size_t(n_)] = true;
            if (lines_) lineSlot(lines_->event, std::size_t(n_))[std::size_t(n_)] = line_;
        } else if (same(what, "group")) {
            if (!number(t, 1, kMaxGroups - 1)) return 1;
            block_ = Block::Group;
            if (lines_) lineSlot(lines_->group, std::size_t(n_))[std::size_t(n_)] = line_;
        } else if (same(what, "wav_list")) {
            if (!number(t, 1, kMaxWavLists - 1)) return 1;
            block_ = Block::WavList;
        } else if (same(what, "layer")) {
            if (!number(t, 0, kMaxLayers - 1)) return 1;
            block_ = Block::Layer;
        } else if (same(what, "areatrig")) {
            if (!number(t, 1, kMaxAreaTriggers - 1)) return 1;
            block_ = Block::Area;
            if (lines_) lineSlot(lines_->area, std::size_t(n_))[std::size_t(n_)] = line_;
        } else if (same(what, "wind")) {
            // Entry 1 starts a new list; every other number appends to it.
            n_ = toInt(t.at(2));
            if (n_ == 1) m_.wind_list.clear();
            m_.wind_list.push_back(WindEntry{});
            block_ = Block::Wind;
        } else {
            return 1;
        }
        return 0;
    }

    std::int32_t general(const LineTokens& t) {
        GeneralInfo& g = m_.info;
        const char* key = t.at(0);
        if (same(key, "name"))
            setText(g.name, t.at(0), t.at(1));
        else if (same(key, "designer"))
            setText(g.designer, t.at(0), t.at(1));
        else if (same(key, "terrain"))
            setText(g.terrain, t.at(0), t.at(1));
        else if (same(key, "cnv_file"))
            setText(g.cnv_file, t.at(0), t.at(1));
        else if (same(key, "tt_file"))
            setText(g.tt_file, t.at(0), t.at(1));
        else if (same(key, "num_items")) {
            const std::int32_t v = toInt(t.at(1));
            if (v < 0 || v > kMaxItems) return limit(v > kMaxItems ? "ITEMS_LIMIT" : nullptr, kMaxItems);
            m_.item_count = v;
            if (lines_) lines_->numItems = line_;
        } else if (same(key, "num_events")) {
            const std::int32_t v = toInt(t.at(1));
            if (v < 0 || v > kMaxEvents) return limit(v > kMaxEvents ? "EVENTS_LIMIT" : nullptr, kMaxEvents);
            m_.event_count = v;
            if (lines_) lines_->numEvents = line_;
        } else if (same(key, "subgoals_win")) {
            for (int i = 0; i < 4; ++i) g.subgoals_win[i] = static_cast<std::int8_t>(toInt(t.at(i + 1)) & 0xFF);
        } else if (same(key, "subgoals_lose")) {
            for (int i = 0; i < 4; ++i) g.subgoals_lose[i] = static_cast<std::int8_t>(toInt(t.at(i + 1)) & 0xFF);
        } else if (same(key, "default_equipment")) {
            // The file lists the sidearm last.
            g.default_equipment[1] = toInt(t.at(1));
            g.default_equipment[2] = toInt(t.at(2));
            g.default_equipment[3] = toInt(t.at(3));
            g.default_equipment[0] = toInt(t.at(4));
        } else if (same(key, "wind")) {
            g.wind[0] = toInt(t.at(1));
            g.wind[1] = toInt(t.at(2));
        } else if (same(key, "wp_names_blue") || same(key, "wp_names_red")) {
            if (t.count > 1) {
                auto& names = same(key, "wp_names_blue") ? g.wp_names_blue : g.wp_names_red;
                for (int i = 0; i < 8; ++i) names[i] = toInt(t.at(i + 1));
            }
        } else if (same(key, "loadout")) {
            for (int i = 0; i < 6; ++i) m_.loadout[i] = toInt(t.at(i + 1));
        } else if (same(key, "time_limit")) {
            m_.time_limit = toInt(t.at(1));
        } else if (same(key, "tank_loadout")) {
            m_.tank_loadout = toInt(t.at(1));
        } else {
            for (const auto& f : kGeneralInts)
                if (same(key, f.key)) {
                    g.*f.field = toInt(t.at(1));
                    return 0;
                }
            for (const char* k : kGeneralIgnored)
                if (same(key, k)) return 0;
            return 1;
        }
        return 0;
    }

    std::int32_t item(const LineTokens& t) {
        MissionItem& it = m_.items[std::size_t(n_)];
        const int k = itemKeywords().find(t.at(0));
        if (k < 0) return 1;
        constexpr int kInts = int(std::size(kItemInts));
        if (k < kInts) {
            it.*kItemInts[std::size_t(k)].field = toInt(t.at(1));
            return 0;
        }
        switch (ItemKey(k - kInts)) {
        case ItemKey::Position:
            it.x = toInt(t.at(1));
            it.y = toInt(t.at(2));
            it.z = toInt(t.at(3));
            break;
        case ItemKey::Facing:
            if (t.count >= 3) {
                it.heading = toInt(t.at(1));
                it.pitch = toInt(t.at(2));
            }
            break;
        case ItemKey::Name:
            // Older files name the definition; a type_id line, before or after, wins.
            if (it.type_id == 0) {
                if (const ItemDef* d = itemdef_At(itemdef_FindByName(t.at(1)))) it.type_id = d->typeNumber;
            }
            break;
        case ItemKey::WAccuracy: it.waccuracy = toHundredths(t.at(1)); break;
        case ItemKey::Perception: it.perception = toHundredths(t.at(1)); break;
        case ItemKey::Perfectionist: it.perfectionist = toHundredths(t.at(1)); break;
        case ItemKey::EDistances:
            it.edistances[0] = toInt(t.at(1));
            it.edistances[1] = toInt(t.at(2));
            break;
        case ItemKey::Loadout:
            for (int i = 0; i < 5; ++i) it.loadout[i] = toInt(t.at(i + 1));
            break;
        case ItemKey::Bumper: setTag(it.bumper, t.at(1)); break;
        case ItemKey::NameOverride: setTag(it.name_override, t.at(1)); break;
        case ItemKey::AiName:
        case ItemKey::Value: break;  // accepted, not kept
        }
        return 0;
    }

    std::int32_t waypoint(const LineTokens& t) {
        Waypoint& w = m_.waypoints[std::size_t(n_)];
        const char* key = t.at(0);
        if (same(key, "description"))
            setText(w.description, t.at(0), t.at(1));
        else if (same(key, "color"))
            w.color = toInt(t.at(1));
        else if (same(key, "attrib") || same(key, "noloop"))
            w.attrib = toInt(t.at(1));
        else if (same(key, "speed")) {
        } else
            return 1;
        return 0;
    }

    std::int32_t group(const LineTokens& t) {
        Group& g = m_.groups[std::size_t(n_)];
        const char* key = t.at(0);
        if (same(key, "description"))
            setText(g.description, t.at(0), t.at(1));
        else if (same(key, "attrib"))
            g.attrib = toInt(t.at(1));
        else if (same(key, "color"))
            g.color = toInt(t.at(1));
        else if (same(key, "commander"))
            g.commander = toInt(t.at(1));
        else
            return 1;
        return 0;
    }

    std::int32_t wavList(const LineTokens& t) {
        WavList& w = m_.wav_lists[std::size_t(n_)];
        const char* key = t.at(0);
        if (same(key, "description"))
            setText(w.description, t.at(0), t.at(1));
        else if (same(key, "file_name"))
            setText(w.file_name, t.at(0), t.at(1));
        else
            return 1;
        return 0;
    }

    std::int32_t layer(const LineTokens& t) {
        if (!same(t.at(0), "description")) return 1;
        setText(m_.layers[std::size_t(n_)].description, t.at(0), t.at(1));
        return 0;
    }

    std::int32_t area(const LineTokens& t) {
        AreaTrigger& a = m_.area_triggers[std::size_t(n_)];
        const char* key = t.at(0);
        if (same(key, "description"))
            setText(a.description, t.at(0), t.at(1));
        else if (same(key, "color"))
            a.color = toInt(t.at(1));
        else if (same(key, "attrib"))
            a.attrib = toInt(t.at(1));
        else
            return 1;
        return 0;
    }

    std::int32_t event(const LineTokens& t) {
        MissionEvent& e = m_.events[std::size_t(n_)];
        const char* key = t.at(0);
        if (same(key, "name"))
            setText(e.name, t.at(0), t.at(1));
        else if (same(key, "attrib"))
            e.attrib = toInt(t.at(1));
        else if (same(key, "reset_value"))
            e.reset_value = toInt(t.at(1));
        else if (same(key, "delay_value"))
            e.delay_value = toInt(t.at(1));
        else if (same(key, "begin")) {
            const bool triggers = same(t.at(1), "triggers");
            if (!triggers && !same(t.at(1), "actions")) return 1;
            const std::int32_t k = toInt(t.at(2));
            if (k < 0 || k > (triggers ? kEventMaxTriggers : kEventMaxActions)) return 1;
            (triggers ? e.trigger_count : e.action_count) = k;
            row_ = 0;
            block_ = triggers ? Block::Triggers : Block::Actions;
        } else
            return 1;
        return 0;
    }

    std::int32_t triggerRow(const LineTokens& t) {
        if (same(t.at(0), "end")) {
            block_ = Block::Event;
            return 0;
        }
        if (row_ >= kEventMaxTriggers) return 1;
        EventTrigger& r = m_.events[std::size_t(n_)].triggers[std::size_t(row_)];
        r.flags = toInt(t.at(0));
        r.type = toInt(t.at(1));
        r.condition = toInt(t.at(2));
        r.var1 = toInt(t.at(3));
        r.var2 = toInt(t.at(4));
        r.var3 = toInt(t.at(5));
        r.var4 = toInt(t.at(6));
        if (t.count > 7) r.spare = toInt(t.at(7));
        if (lines_) {
            auto& rows = lines_->trigger;
            if (rows.size() <= std::size_t(n_)) rows.resize(std::size_t(n_) + 1);
            lineSlot(rows[std::size_t(n_)], std::size_t(row_))[std::size_t(row_)] = line_;
        }
        ++row_;
        return 0;
    }

    std::int32_t actionRow(const LineTokens& t) {
        if (same(t.at(0), "end")) {
            block_ = Block::Event;
            return 0;
        }
        if (row_ >= kEventMaxActions) return 1;
        EventAction& r = m_.events[std::size_t(n_)].actions[std::size_t(row_)];
        r.spare0 = toInt(t.at(0));
        r.type = toInt(t.at(1));
        r.var1 = toInt(t.at(2));
        r.var2 = toInt(t.at(3));
        r.var3 = toInt(t.at(4));
        r.var4 = toInt(t.at(5));
        if (t.count > 6) {
            r.subtype = toInt(t.at(6));
            r.spare7 = toInt(t.at(7));
        }
        if (lines_) {
            auto& rows = lines_->action;
            if (rows.size() <= std::size_t(n_)) rows.resize(std::size_t(n_) + 1);
            lineSlot(rows[std::size_t(n_)], std::size_t(row_))[std::size_t(row_)] = line_;
        }
        ++row_;
        return 0;
    }

    std::int32_t wind(const LineTokens& t) {
        WindEntry& w = m_.wind_list.back();
        const char* key = t.at(0);
        if (same(key, "end"))
            block_ = Block::Outside;
        else if (same(key, "name"))
            setText(w.name, t.at(0), t.at(1));
        else if (same(key, "start"))
            w.start = toInt(t.at(1));
        else if (same(key, "stop"))
            w.stop = toInt(t.at(1));
        else if (same(key, "heading"))
            w.heading = static_cast<std::int16_t>(toInt(t.at(1)));
        else if (same(key, "speed"))
            w.speed = static_cast<std::int16_t>(toInt(t.at(1)));
        // Other keywords of a wind entry are ignored.
        return 0;
    }

    std::int32_t briefing(const LineTokens& t) {
        char* b = m_.info.briefing;
        if (same(t.at(0), "endbriefing")) {
            for (std::size_t i = 0; i < kBriefingSize && b[i]; ++i)
                if (b[i] == '|') b[i] = '\n';
            if (briefingLength_ > kBriefingMax) {
                const int endLine = line_;
                line_ = blockLine_;
                noteCut("briefing", briefingLength_, kBriefingMax);
                line_ = endLine;
            }
            block_ = Block::Outside;
            return 0;
        }
        // Every other line adds its first argument, whatever its keyword; the text stops at
        // the field's capacity.
        std::size_t len = strnlen(b, kBriefingMax);
        const char* piece = t.at(1);
        briefingLength_ += std::strlen(piece);
        while (*piece && len < kBriefingMax) b[len++] = *piece++;
        b[len] = '\0';
        return 0;
    }

    Mission& m_;
    MetafileLines* lines_;
    Block block_ = Block::Outside;
    std::int32_t n_ = 0;
    std::int32_t row_ = 0;
    int line_ = 0;
    int blockLine_ = 0;
    bool anyBlock_ = false;
    std::size_t briefingLength_ = 0;
    std::vector<MetafileCut> cuts_;
    std::vector<bool> itemSeen_ = std::vector<bool>(kMaxItems);
    std::vector<bool> eventSeen_ = std::vector<bool>(kMaxEvents);
};

}  // namespace

int metafile_Read(Mission& m, const char* path) { return metafile_Read(m, path, MetafileReadOptions{}); }

int metafile_Read(Mission& m, const char* path, const MetafileReadOptions& options) {
    mission_Clear(m);
    if (options.lines) *options.lines = MetafileLines{};
    if (options.cuts) options.cuts->clear();
    if (!path) return 0;
    // A folder or a device is no metafile; some systems would let it be opened and read as empty.
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return 0;
    Reader reader(m, options.lines);
    const std::int32_t rc = parser_ReadDiskFile(
        path, [&reader](const LineTokens* t, int lineNumber) { return reader.line(t, lineNumber); });
    if (options.cuts) *options.cuts = std::move(reader.cuts());
    if (rc != 0) return 0;
    // An empty or blank file, or one with no block at all, is not a mission.
    if (!reader.anyBlock()) {
        if (options.lines) options.lines->noBlock = true;
        return 0;
    }
    reader.finish();

    // A terrain whose definition has an error is reported by the loader; the mission itself
    // has been read, so the read still succeeds.
    if (options.loadTerrain) pageload_TerrainMaps(m);

    // Kinds and ids: items without an id get fresh ones in table order, after
    // every id of the file is known.
    std::int32_t highest = 0;
    for (std::int32_t i = 0; i < m.item_count; ++i) highest = std::max(highest, m.items[std::size_t(i)].id);
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        MissionItem& it = m.items[std::size_t(i)];
        const ItemDef* d = itemdef_At(itemdef_FindByType(it.type_id));
        it.kind = d ? d->type : 0;
        if (it.id == 0) {
            // The same id mission_NextItemId gives, without a scan per item.
            it.id = highest < std::numeric_limits<std::int32_t>::max() ? highest + 1 : mission_NextItemId(m);
            highest = std::max(highest, it.id);
        }
    }
    return 1;
}

MissionFileKind metafile_Sniff(const std::string& path) {
    std::string head;
    const SmallFile r = file_ReadSmall(path, 4096, head);
    if (r != SmallFile::Ok && r != SmallFile::TooLarge) return MissionFileKind::None;
    if (head.size() >= 3 && head.compare(0, 3, "BMS") == 0) return MissionFileKind::Binary;
    const std::string lower = nocase_ToLower(head);
    return lower.find("begin general_information") != std::string::npos ? MissionFileKind::Metafile
                                                                        : MissionFileKind::None;
}
