#include "mission/itemops.h"

int itemops_Copy(Mission& page, Mission& clipboard) {
    const std::int32_t ref = mission_ReferenceItem(page);
    if (ref < 0) return 0;
    if (&page == &clipboard) return 0;  // the clipboard is never a page being edited
    const std::int32_t rx = page.items[ref].x;
    const std::int32_t ry = page.items[ref].y;
    mission_Clear(clipboard);
    mission_CopySelected(clipboard, page, -rx, -ry, 0);
    return 1;
}

int itemops_Cut(Mission& page, Mission& clipboard) {
    if (!itemops_Copy(page, clipboard)) return 0;
    mission_DeleteSelected(page);
    return 1;
}

int itemops_StartPaste(const Mission& clipboard, GestureState& gesture) {
    if (clipboard.selection.count <= 0 || clipboard.item_count <= 0) return 0;
    if (!gesture_Idle(gesture)) return 0;
    gesture.state = kGesturePlace;
    gesture.ref_x = gesture.ref_y = gesture.ref_z = 0;
    gesture.offset_x = gesture.offset_y = gesture.offset_z = 0;
    return 1;
}

int itemops_Place(Mission& page, const Mission& clipboard, GestureState& gesture,
                  std::int32_t x, std::int32_t y, std::int32_t z) {
    if (gesture.state != kGesturePlace || gesture.drag != kDragNone) return -1;
    const int placed = mission_CopySelected(page, clipboard, x, y, z);
    gesture.state = kGestureIdle;
    return placed;
}

void itemops_Delete(Mission& page) { mission_DeleteSelected(page); }

int itemops_StartMove(const Mission& page, GestureState& gesture) {
    const std::int32_t ref = mission_ReferenceItem(page);
    if (ref < 0 || !gesture_Idle(gesture)) return 0;
    gesture.state = kGestureMove;
    gesture.ref_x = page.items[ref].x;
    gesture.ref_y = page.items[ref].y;
    gesture.ref_z = 0;
    gesture.offset_x = gesture.offset_y = gesture.offset_z = 0;
    return 1;
}

int itemops_FinishMove(Mission& page, GestureState& gesture) {
    if (gesture.state != kGestureMove || gesture.drag != kDragNone) return 0;
    mission_MoveSelected(page, gesture.offset_x, gesture.offset_y, gesture.offset_z);
    gesture.state = kGestureIdle;
    return 1;
}

int itemops_CancelGesture(GestureState& gesture) {
    if (gesture.state == kGestureIdle && gesture.drag == kDragNone) return 0;
    gesture.state = kGestureIdle;
    gesture.drag = kDragNone;
    return 1;
}

void itemops_HideSelected(Mission& page) {
    mission_HideSelected(page);
    mission_ClearSelection(page);
}

void itemops_HideUnselected(Mission& page) { mission_HideUnselected(page); }

void itemops_UnhideAll(Mission& page) { mission_UnhideAll(page); }

int itemops_SelectThisType(Mission& page, std::uint32_t showFlags) {
    if (mission_ReferenceItem(page) < 0) return 0;
    mission_SelectType(page, showFlags);
    return 1;
}

void itemops_ClearSelection(Mission& page) { mission_ClearSelection(page); }
