// Comparing two missions by what they mean, and the canonical text of one mission.
//
// A mission is seen as a list of records (the general information, the briefing, each used
// area trigger, waypoint path, group, wav list, layer, wind entry, event and item), each a
// list of named fields. The fields are those the metafile keeps, named by its keywords, with
// values as canonical text: numbers separated by blanks, texts as they stand. Records come in
// a fixed order, items by id, so two files that hold the same content in another block order
// give the same records; the comparison matches items by id and everything else by number.
//
// Trigger and action rows carry the words the listings print for them (the event vocabulary),
// item types the name of their definition, people their name from the game vocabulary.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Mission;

// In the order the records come: the metafile's block order, wind entries before the events.
enum class DiffSection { General, Briefing, Area, Waypoint, Group, WavList, Layer, Wind, Event, Item };

// The metafile's keyword of a section's blocks: "general_information", "briefing", "areatrig",
// "waypoint", "group", "wav_list", "layer", "wind", "event", "item".
const char* diff_SectionKeyword(DiffSection section);

struct DiffField {
    std::string name;   // the metafile keyword; rows are "trigger N" and "action N"
    std::string value;  // numbers separated by blanks, or the text itself when isText
    std::string words;  // what the value means in words; empty when nothing more is to say
    bool isText = false;
    bool optional = false;  // the metafile leaves the field out while it is zero (or empty)
};

struct DiffRecord {
    DiffSection section = DiffSection::General;
    std::int64_t number = 0;                 // item id, block number, wind entry from 1; 0 for the single blocks
    int duplicate = 0;                       // items sharing an id: 0 for the first in table order, then 1...
    std::string type;                        // items: the definition's name (or "type N" when none is known)
    std::string name;                        // people's names, descriptions, event and wind entry names
    std::array<std::int32_t, 3> position{};  // items: x, y, z in 1/256 metre
    std::vector<DiffField> fields;
};

// The records of m in canonical order.
std::vector<DiffRecord> diff_Records(const Mission& m);

enum class DiffOp {
    Added,    // a record (field empty) or a row (field names it) only the second mission has
    Removed,  // one only the first mission has
    Moved,    // an item's position; metres says how far
    Changed,  // one field's value
};

struct DiffChange {
    DiffSection section = DiffSection::General;
    DiffOp op = DiffOp::Changed;
    std::int64_t number = 0;
    int duplicate = 0;
    std::string type;  // of the record, from the second mission when it has it
    std::string name;
    std::string field;  // empty for a whole record added or removed
    bool isText = false;
    std::string before, after;  // values; empty on the side that lacks it
    std::string beforeWords, afterWords;
    double metres = 0;              // Moved: the straight distance
    std::vector<DiffField> fields;  // a whole record added or removed: its fields
};

// What changes from a to b, in the records' order; empty when they mean the same.
std::vector<DiffChange> diff_Missions(const Mission& a, const Mission& b);

// The canonical text of m: one line per field, "KEYWORD [NUMBER] FIELD VALUE", texts quoted
// with C escapes, "  # words" after a value that has words. Optional fields that are zero
// and say nothing in words are left out, as the metafile leaves them out. The same mission
// always gives the same bytes, whatever its block order.
std::string diff_Dump(const Mission& m);

// A text as the dump and the readable comparison show it: in double quotes, with \\, \",
// \n, \r, \t and \xHH for the other control characters.
std::string diff_Quote(const std::string& text);
