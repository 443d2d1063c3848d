// The item editing commands of the Edit menu and the item context menu: copy, cut, paste,
// delete, move, hide, unhide, select this type and clear selection. Each acts on the page it
// is given (the current page) and the clipboard page; the caller repaints. Paste and Move,
// which go through the map pane's gesture, are in mapview/gesture.h. A command whose precondition fails does nothing and says nothing; items that do not fit in a
// full page are reported (itemops_ReportNoRoom).
#pragma once

#include "mission/mission.h"

#include <cstdint>

// Copy: the clipboard receives the selected items, all selected there, with positions
// relative to the reference item (the last one selected; z stays absolute). 1, or 0 when the
// selection is empty.
int itemops_Copy(Mission& page, Mission& clipboard);
// Cut: Copy, then the selected items are deleted from the page. 1, or 0 when nothing selected.
int itemops_Cut(Mission& page, Mission& clipboard);

// Delete: removes the selected items for good.
void itemops_Delete(Mission& page);

// Hide Selected: hides the selected items, then clears the selection.
void itemops_HideSelected(Mission& page);
// Hide Unselected: hides every item that is not selected; the selection stays.
void itemops_HideUnselected(Mission& page);
// Unhide All.
void itemops_UnhideAll(Mission& page);
// Select This Type: adds every item the map shows (under showFlags) with the reference
// item's type. 1, or 0 when the selection is empty.
int itemops_SelectThisType(Mission& page, std::uint32_t showFlags);
// Clear selection.
void itemops_ClearSelection(Mission& page);
// Select All: every item the map shows with these show flags, in index order. Number selected.
int itemops_SelectAll(Mission& page, std::uint32_t showFlags);

// Paste and insert at the item limit: tells the user that only placed of the wanted items went
// in and why (a mission holds at most kMaxItems). Nothing is shown when all of them fit.
void itemops_ReportNoRoom(std::int32_t wanted, std::int32_t placed);
