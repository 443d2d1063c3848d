// The editors of a page's groups, waypoint paths and area triggers. Each one lists the
// table's slots, shows one slot's panel (description, size, colour, path flags) and writes
// every change straight into the page; none of them creates or deletes records. They also
// select a record's units or markers on the map and print the table's listing.
//
// The three share one dialog procedure: a record list on the left, the panel of the chosen
// slot on the right. What differs (which table, which controls, what Select does) comes
// from the RecordKind.
#pragma once

#include "mission/mission.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>
#include <string_view>

struct Mission;

// Control ids of EDITGROUPS, EDITWAYPOINTS and EDITAREATRIGGERS; a control that two of them
// have carries the same id in both.
namespace recid {
constexpr int kList = 5101;  // the record list, line i = slot i + 1
constexpr int kSize = 5102;  // member or point count (groups, waypoints)
constexpr int kDescLabel = 5103;
constexpr int kDesc = 5104;        // description edit
constexpr int kColorLabel = 5105;  // waypoints, area triggers
constexpr int kColor = 5106;       // colour drop-down, filled in colour-index order
constexpr int kNoLoop = 5107;      // waypoint flag boxes
constexpr int kTeamBlue = 5108;
constexpr int kTeamRed = 5109;
constexpr int kSelect = 5110;  // Select Members (groups) or Select Markers
constexpr int kPrint = 5111;   // Print List
}  // namespace recid

enum class RecordKind { Group, Waypoint, AreaTrigger };

// Longest description the editors store.
constexpr int kRecordDescMax = 249;

// The colour indexes of waypoint paths and area triggers and their names' keys in section
// "Colors": index 0 "ORANGE" to 16 "WHITE". nullptr outside 0..kRecordColorCount-1.
constexpr int kRecordColorCount = 17;
const char* records_ColorKey(std::int32_t index);

// What the editors need from the map view, which this layer cannot reach: the view's
// visibility test (Select Members takes only units the map shows) and a redraw of the map
// while the dialog is open. The shell sets them; unset, every item that is neither hidden
// nor on a hidden layer counts as visible and the map pane is asked to repaint.
struct RecordsHooks {
    bool (*visible)(const Mission& page, std::int32_t index) = nullptr;
    void (*redraw)() = nullptr;
};
RecordsHooks& records_Hooks();

class RecordsEditorProc : public DialogProc {
public:
    // start: the slot shown first (1 when it is not a slot of the list).
    RecordsEditorProc(RecordKind kind, Mission& page, int start = 1) : kind_(kind), page_(page), start_(start) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

    // The slot whose panel is shown (1 = first line).
    int current() const { return current_; }
    // How many slots the list shows: 63 groups, 127 paths, 99 area triggers.
    static int slotCount(RecordKind kind);

private:
    std::string line(int slot) const;
    void loadPanel(Dialog& dlg);
    void storePanel(Dialog& dlg);
    void selectOnMap();
    void redraw();

    RecordKind kind_;
    Mission& page_;
    int start_ = 1;
    int current_ = 1;
    MissionSnapshot before_;  // the page as the dialog opened, for Cancel
};

// Run the editors on a page; the dialog's result. After OK every change is in the page;
// Cancel (Escape, the close box) puts the page back as it was when the dialog opened.
int groups_RunEditor(Mission& page);
int waypoints_RunEditor(Mission& page);
int areas_RunEditor(Mission& page);
// The same, showing this slot first (the Problems panel and where-used open a record).
int groups_RunEditorAt(Mission& page, int start);
int waypoints_RunEditorAt(Mission& page, int start);
int areas_RunEditorAt(Mission& page, int start);
