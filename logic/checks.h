// The checks of a page: what a designer must fix (errors) or should look at (warnings) before
// the mission goes to the game. One module serves the command line's `check` and the editor's
// Problems panel; both show the findings as they come from here.
//
// Every finding names what it is about by number and name, says what it points at (an item,
// an event, a group, a path, an area or the general information) so a click can select it or
// open its editor, and carries the line of the metafile when the page was just read from one.
// Messages come from the string table (section "Checks"), with the program's own wording when
// the table has none (a command run without the game's text tables).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Mission;
struct MetafileLines;
struct MetafileCut;

enum class CheckSeverity : std::uint8_t { Error, Warning };

// What a finding points at; number says which one.
enum class CheckTarget : std::uint8_t { General, Item, Event, Group, Path, Area };

enum class CheckKind : std::uint8_t {
    UnknownType,       // item: no definition has its type
    DuplicateId,       // item: its id is another item's
    MarkerPath,        // item: waypoint marker on a path outside 1..127
    MarkerNumber,      // item: waypoint marker numbered above 31
    AreaMarker,        // item: area marker outside 1..99
    GroupRange,        // item: group outside 1..63
    LostItem,          // general: an item block beyond num_items (read from a file only)
    LostEvent,         // general: an event block beyond num_events
    RowCount,          // event: more triggers or actions than an event holds
    MissingEvent,      // event: a trigger names an event that does not exist
    MissingTerrain,    // general: the terrain is not in the game data
    EmptyGroup,        // event: a row names a group with no members
    MissingPath,       // event or unit: names a path with no markers
    MissingArea,       // event: names an area with no markers
    MissingSubGoal,    // event: an action names a sub-goal that is not set
    MissingRecord,     // event or item: names a group, path or area outside its table
    ShortPath,         // path: fewer than two markers
    PathGap,           // path: its markers' numbers skip or repeat
    ShortArea,         // area: one corner only (the area is the box around its corners)
    UnreachableEvent,  // event: no trigger can fire it and no event refers to it
    StrayUnit,         // unit: follows a path the rest of its group does not
    OutsideTerrain,    // item: outside the terrain
    StackedItems,      // item: same type at the same spot as an earlier item
    SectionLimit,      // general: an item section beyond what the game accepts
    NearLimit,         // general: an item section near what the game accepts
    SameSubGoals,      // general: the win and lose sub-goals are the same conditions
    TeamMissing,       // event: a win action's team has no unit
    CountMismatch,     // general: num_items or num_events larger than the blocks the file has
    NoEventBlock,      // event: below num_events but without a block of its own (stays empty)
    TextCut,           // general: a text longer than its field, cut when the file was read
    Count_
};

struct CheckFinding {
    CheckKind kind = CheckKind::UnknownType;
    CheckSeverity severity = CheckSeverity::Error;
    CheckTarget target = CheckTarget::General;
    std::int32_t number = -1;  // item index, event index, or record number; -1 for General
    std::int32_t row = -1;     // event findings: the trigger or action row, -1 for the event
    bool actionRow = false;    // the row is an action row
    int line = 0;              // line of the metafile, 0 when not known
    std::string message;
};

struct CheckOptions {
    const MetafileLines* lines = nullptr;            // where the blocks began, when just read from a file
    const std::vector<MetafileCut>* cuts = nullptr;  // texts cut to fit, when just read from a file
    bool itemTypes = true;                           // check item types against the definitions
    bool terrain = true;                             // check that the terrain exists in the game data
};

// All findings of the page, in item, event, record and general order. Reads the page only.
std::vector<CheckFinding> check_Mission(const Mission& m, const CheckOptions& options = {});

// The stable name of a kind ("missing-event"), for machine-readable output.
const char* check_KindName(CheckKind kind);
// "item", "event", "group", "path", "area" or "general".
const char* check_TargetName(CheckTarget target);
// "error" or "warning".
const char* check_SeverityName(CheckSeverity severity);
int check_ErrorCount(const std::vector<CheckFinding>& findings);
