#include "mapview/gesture.h"

#include "mission/itemops.h"
#include "mission/mission.h"

#include <algorithm>

namespace {
GestureState g_gesture;
}

GestureState& gesture_State() { return g_gesture; }

void gesture_Reset() { g_gesture = GestureState{}; }

int gesture_StartPaste(const Mission& clipboard, GestureState& gesture) {
    if (clipboard.selection.count <= 0 || clipboard.item_count <= 0) return 0;
    if (!gesture_Idle(gesture)) return 0;
    gesture.state = kGesturePlace;
    gesture.ref_x = gesture.ref_y = gesture.ref_z = 0;
    gesture.offset_x = gesture.offset_y = gesture.offset_z = 0;
    gesture.grab_x = gesture.grab_y = 0;
    gesture.dragging = false;
    return 1;
}

int gesture_Place(Mission& page, const Mission& clipboard, GestureState& gesture, std::int32_t x, std::int32_t y,
                  std::int32_t z) {
    if (gesture.state != kGesturePlace || gesture.drag != kDragNone) return -1;
    const std::int32_t wanted = std::clamp(clipboard.selection.count, 0, kMaxItems);
    const int placed = mission_CopySelected(page, clipboard, x, y, z);
    mission_HoldSelectionOnTerrain(page);
    gesture.state = kGestureIdle;
    itemops_ReportNoRoom(wanted, placed);
    return placed;
}

int gesture_FinishMove(Mission& page, GestureState& gesture) {
    if (gesture.state != kGestureMove || gesture.drag != kDragNone) return 0;
    mission_MoveSelected(page, gesture.offset_x, gesture.offset_y, gesture.offset_z);
    mission_HoldSelectionOnTerrain(page);
    gesture.state = kGestureIdle;
    gesture.dragging = false;
    return 1;
}

int gesture_CancelGesture(GestureState& gesture) {
    if (gesture.state == kGestureIdle && gesture.drag == kDragNone) return 0;
    gesture.state = kGestureIdle;
    gesture.drag = kDragNone;
    gesture.dragging = false;
    return 1;
}

int gesture_StartMove(const Mission& page, GestureState& gesture) {
    const std::int32_t ref = mission_ReferenceItem(page);
    if (ref < 0 || !gesture_Idle(gesture)) return 0;
    gesture.state = kGestureMove;
    gesture.ref_x = page.items[ref].x;
    gesture.ref_y = page.items[ref].y;
    gesture.ref_z = 0;
    gesture.offset_x = gesture.offset_y = gesture.offset_z = 0;
    gesture.grab_x = gesture.grab_y = 0;
    gesture.dragging = false;
    return 1;
}
