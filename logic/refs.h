// Where-used: what in a page refers to a group, a waypoint path, an area trigger, an event or
// an item. Event rows name records through their variables (the vocabulary says which
// variable holds what); items name their group and path through their own fields, and the
// markers of a path or an area carry its number.
#pragma once

#include "logic/vocab.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Mission;
struct MissionItem;
struct ItemDef;

// The records a reference can point at.
enum class RefKind : std::uint8_t { Group, Path, Area, Event, Item };

// One variable of an event row that names a record.
struct RowRecordRef {
    std::int32_t event = 0;
    bool action = false;  // false: a trigger row
    std::int32_t row = 0;
    int var = 0;  // 0..3: var1..var4
    RefKind kind = RefKind::Group;
    std::int32_t number = 0;  // the value the variable holds
};

// Every variable of every used trigger and action row of the page that names a group, a
// path, an area or an event, in event, row and variable order (triggers before actions).
// Variables holding 0 for a group, path or area ("none") are left out.
std::vector<RowRecordRef> refs_RowRecords(const Mission& m);

// The record kind a value list chooses from; false for lists that name no record.
bool refs_KindOfList(LogicList list, RefKind& kind);

// One thing that refers to a record.
enum class ReferenceFrom : std::uint8_t { Trigger, Action, Item };
struct Reference {
    ReferenceFrom from = ReferenceFrom::Item;
    std::int32_t event = -1;  // trigger and action: the event and its row
    std::int32_t row = -1;
    std::int32_t item = -1;  // item: its index in the item table
};

// Whether the record exists: groups 1..63, paths 1..127, areas 1..99 are fixed slots and
// always exist; events 0..event_count-1; items 0..item_count-1.
bool refs_RecordExists(const Mission& m, RefKind kind, std::int32_t number);

// Every trigger, action and item that refers to the record, rows first (in event order),
// then items in table order. A group's items are its members; a path's are its markers and
// the units that follow it; an area's are its markers. An item's references are those of its
// group and of the path it follows (or, for a marker, the path or area it outlines), each
// other item and row listed once.
std::vector<Reference> refs_Find(const Mission& m, RefKind kind, std::int32_t number);

// How many event rows refer to the record (what deleting or emptying it would leave dangling).
int refs_RowCount(const Mission& m, RefKind kind, std::int32_t number);

// The event rows that would name an empty record once the selected items are gone: the rows
// naming a group all of whose members, or a path or an area all of whose markers, are selected.
int refs_RowsEmptiedBySelection(const Mission& m);

// ---------------------------------------------------------------------------------------
// Naming records in messages and lists. Wording from section "Checks" of the string table,
// with the program's own when the table has no such key.

// A text of section "Checks", or fallback when the current table has no such key.
std::string refs_Wording(const char* key, const char* fallback);
// The item's definition, or null when no definition has its type.
const ItemDef* refs_ItemDef(const MissionItem& item);
// "group 7" or "group 7 (Red squad)": the record by number and, when it has one, by name
// (an item's is its definition's name, an event's its name, a record's its description).
std::string refs_Name(const Mission& m, RefKind kind, std::int32_t number);
// "event 2 (Alarm), trigger 1".
std::string refs_RowName(const Mission& m, std::int32_t event, bool action, std::int32_t row);
// One line for a reference to the record: a row's name and what it reads as, or an item's
// name and what it is to the record (member, marker, follower, corner).
std::string refs_Describe(const Mission& m, const Reference& ref, RefKind kind, std::int32_t number);

// "group", "path", "area", "event", "item"; false for any other word.
bool refs_KindFromWord(std::string_view word, RefKind& kind);

// ---------------------------------------------------------------------------------------
// Show References: the "REFERENCES" dialog lists the references to one record, one a line,
// under their count; the items among them become the selection of the page.

namespace refid {
constexpr int kCount = 6100;  // "%i references to %s"
constexpr int kList = 6101;   // one line a reference
// "Show References" in the events editor and the record editors.
constexpr int kShowButton = 6102;
}  // namespace refid

class RefsDialogProc : public DialogProc {
public:
    RefsDialogProc(const Mission& page, RefKind kind, std::int32_t number)
        : page_(page), kind_(kind), number_(number) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    const Mission& page_;
    RefKind kind_;
    std::int32_t number_;
};

// Selects the items that refer to the record (the selection is replaced when there are any),
// then shows the dialog. The number of references; nothing is shown for a record that does not exist.
int refs_Show(Mission& page, RefKind kind, std::int32_t number);
