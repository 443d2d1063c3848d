#include "logic/diff.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "logic/events.h"
#include "logic/vocab.h"
#include "mission/mission.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <tuple>
#include <unordered_map>

namespace {

void appendNumber(std::string& s, std::int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, r.ptr);
}

std::string numbers(std::initializer_list<std::int64_t> values) {
    std::string s;
    for (std::int64_t v : values) {
        if (!s.empty()) s += ' ';
        appendNumber(s, v);
    }
    return s;
}

template <class Array>
std::string numberList(const Array& values) {
    std::string s;
    for (auto v : values) {
        if (!s.empty()) s += ' ';
        appendNumber(s, v);
    }
    return s;
}

// Zero in every number, or an empty text: what the metafile leaves out of an optional field.
bool isZero(const DiffField& f) {
    if (f.isText) return f.value.empty();
    return std::all_of(f.value.begin(), f.value.end(), [](char c) { return c == '0' || c == ' '; });
}

class Fields {
public:
    explicit Fields(DiffRecord& r) : r_(r) {}

    Fields& num(const char* name, std::int64_t v, std::string words = {}) {
        return add(name, numbers({v}), std::move(words), false, false);
    }
    Fields& opt(const char* name, std::int64_t v) { return add(name, numbers({v}), {}, false, true); }
    Fields& nums(const char* name, std::string values, bool optional = false, std::string words = {}) {
        return add(name, std::move(values), std::move(words), false, optional);
    }
    Fields& text(const char* name, std::string_view v, bool optional = false) {
        return add(name, std::string(v), {}, true, optional);
    }
    Fields& row(std::string name, std::string values, std::string words) {
        r_.fields.push_back(DiffField{std::move(name), std::move(values), std::move(words), false, false});
        return *this;
    }

private:
    Fields& add(const char* name, std::string value, std::string words, bool isText, bool optional) {
        r_.fields.push_back(DiffField{name, std::move(value), std::move(words), isText, optional});
        return *this;
    }
    DiffRecord& r_;
};

DiffRecord& newRecord(std::vector<DiffRecord>& out, DiffSection section, std::int64_t number,
                      std::string_view name = {}) {
    DiffRecord& r = out.emplace_back();
    r.section = section;
    r.number = number;
    r.name = std::string(name);
    return r;
}

// Names of item types and people, looked up once per value: a large mission repeats them.
class Names {
public:
    const std::string& type(std::int32_t typeId, std::int32_t& kind) {
        auto [at, fresh] = types_.try_emplace(typeId);
        if (fresh) {
            const ItemDef* d = itemdef_At(itemdef_FindByType(typeId));
            if (d && d->typeNumber == typeId) {
                at->second.name.assign(d->name, strnlen(d->name, sizeof d->name));
                at->second.kind = d->type;
            } else {
                at->second.name = "type " + std::to_string(typeId);
                at->second.kind = -1;
            }
        }
        if (at->second.kind >= 0) kind = at->second.kind;
        return at->second.name;
    }
    const std::string& person(std::int32_t index) {
        auto [at, fresh] = people_.try_emplace(index);
        if (fresh && index >= 0 && index < 1000) {
            char key[16];
            std::snprintf(key, sizeof key, "STRNAME%03d", static_cast<int>(index));
            const TextTable* vocab = text_Tables().vocab;
            if (const char* t = vocab ? text_EntryText(vocab, text_Find(vocab, "PeopleNames", key)) : nullptr)
                at->second = t;
        }
        return at->second;
    }

private:
    struct Type {
        std::string name;
        std::int32_t kind = -1;
    };
    std::unordered_map<std::int32_t, Type> types_;
    std::unordered_map<std::int32_t, std::string> people_;
};

std::string goalWords(const std::array<std::int8_t, 4>& codes, bool win) {
    std::string s;
    for (auto c : codes) {
        if (!s.empty()) s += ", ";
        s += win ? event_WinConditionName(c) : event_LoseConditionName(c);
    }
    return s;
}

void generalRecords(const Mission& m, std::vector<DiffRecord>& out) {
    const GeneralInfo& g = m.info;
    DiffRecord& r = newRecord(out, DiffSection::General, 0, mission_Text(g.name));
    const auto& e = g.default_equipment;
    Fields(r)
        .text("name", mission_Text(g.name))
        .text("designer", mission_Text(g.designer))
        .text("terrain", mission_Text(g.terrain))
        .text("cnv_file", mission_Text(g.cnv_file))
        .text("tt_file", mission_Text(g.tt_file))
        .num("terrain_color", g.terrain_color)
        .num("attrib", g.attrib)
        .num("visible_if", g.visible_if)
        .num("notvisible_if", g.notvisible_if)
        .num("arty", g.arty)
        .num("water_level", g.water_level)
        .num("fog_level", g.fog_level)
        .num("fog_color", g.fog_color)
        .num("weather_type", g.weather_type)
        .num("lowest_elev", g.lowest_elev)
        .nums("subgoals_win", numberList(g.subgoals_win), false, goalWords(g.subgoals_win, true))
        .nums("subgoals_lose", numberList(g.subgoals_lose), false, goalWords(g.subgoals_lose, false))
        .num("sunset", g.sunset)
        // In the file's order: the sidearm, stored first, is written last.
        .nums("default_equipment", numbers({e[1], e[2], e[3], e[0]}))
        .nums("wind", numberList(g.wind))
        .nums("wp_names_blue", numberList(g.wp_names_blue))
        .nums("wp_names_red", numberList(g.wp_names_red));

    Fields(newRecord(out, DiffSection::Briefing, 0)).text("text", mission_Text(g.briefing), true);
}

// Areas, paths and groups are kept by number; a record whose fields are all zero is unused.
void numberedRecords(const Mission& m, std::vector<DiffRecord>& out) {
    for (int n = 1; n < kMaxAreaTriggers; ++n) {
        const AreaTrigger& a = m.area_triggers[std::size_t(n)];
        if (!a.description[0] && !a.color && !a.attrib) continue;
        DiffRecord& r = newRecord(out, DiffSection::Area, n, mission_Text(a.description));
        Fields(r).text("description", mission_Text(a.description)).opt("color", a.color).opt("attrib", a.attrib);
    }
    for (int n = 1; n < kMaxWaypoints; ++n) {
        const Waypoint& w = m.waypoints[std::size_t(n)];
        if (!w.description[0] && !w.color && !w.attrib) continue;
        DiffRecord& r = newRecord(out, DiffSection::Waypoint, n, mission_Text(w.description));
        Fields(r).text("description", mission_Text(w.description)).opt("color", w.color).opt("attrib", w.attrib);
    }
    for (int n = 1; n < kMaxGroups; ++n) {
        const Group& g = m.groups[std::size_t(n)];
        if (!g.description[0] && !g.attrib && !g.color && !g.commander) continue;
        DiffRecord& r = newRecord(out, DiffSection::Group, n, mission_Text(g.description));
        Fields(r)
            .text("description", mission_Text(g.description))
            .opt("attrib", g.attrib)
            .opt("color", g.color)
            .opt("commander", g.commander);
    }
    for (int n = 1; n < kMaxWavLists; ++n) {
        const WavList& w = m.wav_lists[std::size_t(n)];
        if (!w.description[0] && !w.file_name[0]) continue;
        DiffRecord& r = newRecord(out, DiffSection::WavList, n, mission_Text(w.description));
        Fields(r).text("description", mission_Text(w.description)).text("file_name", mission_Text(w.file_name));
    }
    for (int n = 0; n < kMaxLayers; ++n) {
        const Layer& l = m.layers[std::size_t(n)];
        if (!l.description[0]) continue;
        Fields(newRecord(out, DiffSection::Layer, n, mission_Text(l.description)))
            .text("description", mission_Text(l.description));
    }
    for (std::size_t n = 0; n < m.wind_list.size(); ++n) {
        const WindEntry& w = m.wind_list[n];
        DiffRecord& r = newRecord(out, DiffSection::Wind, std::int64_t(n) + 1, mission_Text(w.name));
        Fields(r)
            .text("name", mission_Text(w.name))
            .num("start", w.start)
            .num("stop", w.stop)
            .num("heading", w.heading)
            .num("speed", w.speed);
    }
}

void eventRecords(const Mission& m, std::vector<DiffRecord>& out) {
    const int count = std::clamp(m.event_count, 0, kMaxEvents);
    for (int n = 0; n < count; ++n) {
        const MissionEvent& e = m.events[std::size_t(n)];
        DiffRecord& r = newRecord(out, DiffSection::Event, n, mission_Text(e.name));
        Fields f(r);
        f.text("name", mission_Text(e.name))
            .opt("attrib", e.attrib)
            .opt("reset_value", e.reset_value)
            .opt("delay_value", e.delay_value);
        // Rows in the file's column order, worded as the listings word them.
        const int triggers = event_TriggerCount(e);
        for (int t = 0; t < triggers; ++t) {
            const EventTrigger& x = e.triggers[std::size_t(t)];
            f.row("trigger " + std::to_string(t),
                  numbers({x.flags, x.type, x.condition, x.var1, x.var2, x.var3, x.var4, x.spare}),
                  event_TriggerText(x, t == triggers - 1));
        }
        const int actions = event_ActionCount(e);
        for (int a = 0; a < actions; ++a) {
            const EventAction& x = e.actions[std::size_t(a)];
            f.row("action " + std::to_string(a),
                  numbers({x.spare0, x.type, x.var1, x.var2, x.var3, x.var4, x.subtype, x.spare7}),
                  event_ActionText(x));
        }
    }
}

struct ItemField {
    const char* key;
    std::int32_t MissionItem::*member;
};

// The item's plain numbers the metafile keeps, each written only while it is not zero.
constexpr ItemField kItemFields[] = {
    {"team", &MissionItem::team},
    {"map_symbol", &MissionItem::map_symbol},
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
    {"waccuracy2", &MissionItem::waccuracy},
    {"perception2", &MissionItem::perception},
    {"perfectionist2", &MissionItem::perfectionist},
    {"movetimer", &MissionItem::movetimer},
    {"crouchtimer", &MissionItem::crouchtimer},
    {"shoottimer", &MissionItem::shoottimer},
    {"attention", &MissionItem::attention},
    {"advancetimer", &MissionItem::advancetimer},
    {"attributes", &MissionItem::attributes},
    {"layer", &MissionItem::layer},
};

// Whether two items hold the same in every field of their records (what itemRecord shows).
bool sameItem(const MissionItem& a, const MissionItem& b) {
    if (a.type_id != b.type_id || a.x != b.x || a.y != b.y || a.z != b.z || a.heading != b.heading ||
        a.pitch != b.pitch || a.name_index != b.name_index || a.edistances != b.edistances)
        return false;
    for (const ItemField& f : kItemFields)
        if (a.*f.member != b.*f.member) return false;
    return true;
}

// sparse leaves out the plain numbers that are zero, as the dump would (a large mission has
// many of them).
void itemRecord(const MissionItem& it, int duplicate, Names& names, DiffRecord& r, bool sparse = false) {
    r.section = DiffSection::Item;
    r.number = it.id;
    r.duplicate = duplicate;
    std::int32_t kind = it.kind;
    r.type = names.type(it.type_id, kind);
    if (kind == kItemPerson) r.name = names.person(it.name_index);
    r.position = {it.x, it.y, it.z};
    r.fields.reserve(std::size(kItemFields) + 5);
    Fields f(r);
    f.num("type_id", it.type_id, r.type)
        .nums("position", numbers({it.x, it.y, it.z}))
        .nums("facing", numbers({it.heading, it.pitch}), true)
        .nums("name_index", numbers({it.name_index}), true, r.name);
    for (const ItemField& x : kItemFields)
        if (!sparse || it.*x.member != 0) f.opt(x.key, it.*x.member);
    f.nums("edistances", numberList(it.edistances), true);
}

// Item indexes in id order; items sharing an id keep their table order.
struct ItemOrder {
    std::vector<std::int32_t> index;
    std::vector<int> duplicate;  // by position in index
};

ItemOrder itemOrder(const Mission& m) {
    ItemOrder o;
    const int count = std::clamp(m.item_count, 0, kMaxItems);
    o.index.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) o.index[std::size_t(i)] = i;
    std::stable_sort(o.index.begin(), o.index.end(), [&](std::int32_t x, std::int32_t y) {
        return m.items[std::size_t(x)].id < m.items[std::size_t(y)].id;
    });
    o.duplicate.assign(o.index.size(), 0);
    for (std::size_t k = 1; k < o.index.size(); ++k)
        if (m.items[std::size_t(o.index[k - 1])].id == m.items[std::size_t(o.index[k])].id)
            o.duplicate[k] = o.duplicate[k - 1] + 1;
    return o;
}

void itemRecords(const Mission& m, std::vector<DiffRecord>& out) {
    const ItemOrder o = itemOrder(m);
    Names names;
    out.reserve(out.size() + o.index.size());
    for (std::size_t k = 0; k < o.index.size(); ++k)
        itemRecord(m.items[std::size_t(o.index[k])], o.duplicate[k], names, out.emplace_back());
}

// Everything but the items.
void otherRecords(const Mission& m, std::vector<DiffRecord>& out) {
    generalRecords(m, out);
    numberedRecords(m, out);
    eventRecords(m, out);
}

auto recordKey(const DiffRecord& r) { return std::make_tuple(r.section, r.number, r.duplicate); }

DiffChange changeOf(const DiffRecord& r, DiffOp op) {
    DiffChange c;
    c.section = r.section;
    c.op = op;
    c.number = r.number;
    c.duplicate = r.duplicate;
    c.type = r.type;
    c.name = r.name;
    return c;
}

// A record only one side has, with its fields.
DiffChange wholeRecord(DiffRecord r, DiffOp op) {
    DiffChange c = changeOf(r, op);
    c.fields = std::move(r.fields);
    return c;
}

const DiffField* findField(const std::vector<DiffField>& fields, std::size_t hint, const std::string& name) {
    if (hint < fields.size() && fields[hint].name == name) return &fields[hint];
    for (const DiffField& f : fields)
        if (f.name == name) return &f;
    return nullptr;
}

double distanceMetres(const DiffRecord& a, const DiffRecord& b) {
    double sum = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const double d = double(b.position[i]) - double(a.position[i]);
        sum += d * d;
    }
    return std::sqrt(sum) / 256.0;
}

// Field by field; rows only one side has are added or removed.
void compareRecords(const DiffRecord& a, const DiffRecord& b, std::vector<DiffChange>& out) {
    for (std::size_t i = 0; i < a.fields.size(); ++i) {
        const DiffField& fa = a.fields[i];
        const DiffField* fb = findField(b.fields, i, fa.name);
        if (fb && fb->value == fa.value) continue;
        DiffChange c = changeOf(b, fb ? DiffOp::Changed : DiffOp::Removed);
        c.field = fa.name;
        c.isText = fa.isText;
        c.before = fa.value;
        c.beforeWords = fa.words;
        if (fb) {
            c.after = fb->value;
            c.afterWords = fb->words;
        }
        if (fb && a.section == DiffSection::Item && fa.name == "position") {
            c.op = DiffOp::Moved;
            c.metres = distanceMetres(a, b);
        }
        out.push_back(std::move(c));
    }
    for (std::size_t i = 0; i < b.fields.size(); ++i) {
        const DiffField& fb = b.fields[i];
        if (findField(a.fields, i, fb.name)) continue;
        DiffChange c = changeOf(b, DiffOp::Added);
        c.field = fb.name;
        c.isText = fb.isText;
        c.after = fb.value;
        c.afterWords = fb.words;
        out.push_back(std::move(c));
    }
}

// Two lists of records in canonical order, matched by section, number and duplicate.
void compareLists(const std::vector<DiffRecord>& ra, const std::vector<DiffRecord>& rb, std::vector<DiffChange>& out) {
    std::size_t i = 0, j = 0;
    while (i < ra.size() || j < rb.size()) {
        if (j >= rb.size() || (i < ra.size() && recordKey(ra[i]) < recordKey(rb[j]))) {
            out.push_back(wholeRecord(ra[i++], DiffOp::Removed));
        } else if (i >= ra.size() || recordKey(rb[j]) < recordKey(ra[i])) {
            out.push_back(wholeRecord(rb[j++], DiffOp::Added));
        } else {
            compareRecords(ra[i++], rb[j++], out);
        }
    }
}

// The dump's lines of one record.
void appendDump(std::string& s, const DiffRecord& r) {
    const bool numbered = r.section != DiffSection::General && r.section != DiffSection::Briefing;
    for (const DiffField& f : r.fields) {
        if (f.optional && f.words.empty() && isZero(f)) continue;
        s += diff_SectionKeyword(r.section);
        if (numbered) {
            s += ' ';
            appendNumber(s, r.number);
        }
        s += ' ';
        s += f.name;
        s += ' ';
        s += f.isText ? diff_Quote(f.value) : f.value;
        if (!f.words.empty()) {
            s += "  # ";
            // The words stay on their line whatever they hold.
            for (char c : f.words) s += (c == '\n' || c == '\r') ? ' ' : c;
        }
        s += '\n';
    }
}

}  // namespace

const char* diff_SectionKeyword(DiffSection section) {
    switch (section) {
    case DiffSection::General: return "general_information";
    case DiffSection::Briefing: return "briefing";
    case DiffSection::Area: return "areatrig";
    case DiffSection::Waypoint: return "waypoint";
    case DiffSection::Group: return "group";
    case DiffSection::WavList: return "wav_list";
    case DiffSection::Layer: return "layer";
    case DiffSection::Wind: return "wind";
    case DiffSection::Event: return "event";
    case DiffSection::Item: return "item";
    }
    return "";
}

std::vector<DiffRecord> diff_Records(const Mission& m) {
    std::vector<DiffRecord> out;
    otherRecords(m, out);
    itemRecords(m, out);
    return out;
}

std::vector<DiffChange> diff_Missions(const Mission& a, const Mission& b) {
    std::vector<DiffRecord> ra, rb;
    otherRecords(a, ra);
    otherRecords(b, rb);
    std::vector<DiffChange> out;
    compareLists(ra, rb, out);

    // Items come last. Most of a large mission is the same on both sides: records are built
    // only for the items that differ.
    const ItemOrder oa = itemOrder(a), ob = itemOrder(b);
    Names names;
    const auto key = [](const Mission& m, const ItemOrder& o, std::size_t k) {
        return std::make_pair(m.items[std::size_t(o.index[k])].id, o.duplicate[k]);
    };
    const auto record = [&](const Mission& m, const ItemOrder& o, std::size_t k) {
        DiffRecord r;
        itemRecord(m.items[std::size_t(o.index[k])], o.duplicate[k], names, r);
        return r;
    };
    std::size_t i = 0, j = 0;
    while (i < oa.index.size() || j < ob.index.size()) {
        if (j >= ob.index.size() || (i < oa.index.size() && key(a, oa, i) < key(b, ob, j))) {
            out.push_back(wholeRecord(record(a, oa, i++), DiffOp::Removed));
        } else if (i >= oa.index.size() || key(b, ob, j) < key(a, oa, i)) {
            out.push_back(wholeRecord(record(b, ob, j++), DiffOp::Added));
        } else {
            if (!sameItem(a.items[std::size_t(oa.index[i])], b.items[std::size_t(ob.index[j])]))
                compareRecords(record(a, oa, i), record(b, ob, j), out);
            ++i, ++j;
        }
    }
    return out;
}

std::string diff_Quote(const std::string& text) {
    std::string s = "\"";
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': s += "\\\\"; break;
        case '"': s += "\\\""; break;
        case '\n': s += "\\n"; break;
        case '\r': s += "\\r"; break;
        case '\t': s += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                s += buf;
            } else {
                s += ch;
            }
        }
    }
    s += '"';
    return s;
}

std::string diff_Dump(const Mission& m) {
    std::string s;
    std::vector<DiffRecord> records;
    otherRecords(m, records);
    for (const DiffRecord& r : records) appendDump(s, r);
    // Items one at a time through the same record: a large mission needs no table of them.
    const ItemOrder o = itemOrder(m);
    s.reserve(s.size() + o.index.size() * 100);
    Names names;
    DiffRecord r;
    for (std::size_t k = 0; k < o.index.size(); ++k) {
        r.fields.clear();
        r.name.clear();
        itemRecord(m.items[std::size_t(o.index[k])], o.duplicate[k], names, r, true);
        appendDump(s, r);
    }
    return s;
}
