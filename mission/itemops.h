// The item editing commands of the Edit menu and the item context menu: copy, cut, paste,
// delete, move, hide, unhide, select this type and clear selection. Each acts on the page it
// is given (the current page), the clipboard page and the map pane's gesture state; the
// caller repaints. A command whose precondition fails does nothing and says nothing.
#pragma once

#include "mission/gesture.h"
#include "mission/mission.h"

#include <cstdint>

// Copy: the clipboard receives the selected items, all selected there, with positions
// relative to the reference item (the last one selected; z stays absolute). 1, or 0 when the
// selection is empty.
int itemops_Copy(Mission& page, Mission& clipboard);
// Cut: Copy, then the selected items are deleted from the page. 1, or 0 when nothing selected.
int itemops_Cut(Mission& page, Mission& clipboard);

// Paste, first step: starts placing the clipboard when it holds a selection and no gesture
// is in progress. 1 started, 0 refused.
int itemops_StartPaste(const Mission& clipboard, GestureState& gesture);
// Paste, placing step: the clipboard's items go into the page displaced by the world point
// (x, y, z), so the reference item lands on it; the copies become the page's selection and
// the gesture ends. Items beyond the table's capacity are dropped without a message. Number
// of items placed; -1 when no placement was in progress.
int itemops_Place(Mission& page, const Mission& clipboard, GestureState& gesture,
                  std::int32_t x, std::int32_t y, std::int32_t z);

// Delete: removes the selected items for good.
void itemops_Delete(Mission& page);

// Move, first step: starts moving the selection, measured from the reference item's x and y,
// when the selection is not empty and no gesture is in progress. 1 started, 0 refused.
int itemops_StartMove(const Mission& page, GestureState& gesture);
// Move, final step: adds the gesture's current offset to every selected item and ends the
// gesture. 1, or 0 when no move was in progress.
int itemops_FinishMove(Mission& page, GestureState& gesture);
// Abandons a move or placement (or any gesture): nothing in the page changes. 1 when a
// gesture was in progress.
int itemops_CancelGesture(GestureState& gesture);

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
