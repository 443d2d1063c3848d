// The gesture state of the map pane: which mouse gesture is in progress (rubber band, moving
// the selection, placing the clipboard, zoom drag) and the points it is measured from. One
// record for the process; the item operations start and finish the move and place gestures,
// the map interaction drives the rest.
#pragma once

#include <cstdint>

struct Mission;

// GestureState::state
constexpr std::int32_t kGestureIdle = 0;
constexpr std::int32_t kGestureBandAdd = 3;      // rubber band that adds to the selection
constexpr std::int32_t kGestureBandReplace = 5;  // rubber band that replaces the selection
constexpr std::int32_t kGestureBandRemove = 4;   // rubber band that removes from it
constexpr std::int32_t kGestureMove = 9;         // moving the selection
constexpr std::int32_t kGesturePlace = 11;       // placing the clipboard
constexpr std::int32_t kGesturePress = 12;       // left button down, not moved yet
constexpr std::int32_t kGestureDrawPath = 13;    // each click a marker of a waypoint path
constexpr std::int32_t kGestureDrawArea = 14;    // each click a corner of an area trigger
// Markers one drawing can take back with Backspace (a path holds at most this many).
constexpr int kDrawUndoDepth = 64;
// GestureState::drag
constexpr std::int32_t kDragNone = 0;
constexpr std::int32_t kDragZoom = 2;  // zoom drag with the right button

struct GestureState {
    std::int32_t state = kGestureIdle;
    std::int32_t drag = kDragNone;
    std::int32_t zoom_anchor_x = 0;  // pane x where the zoom drag started, forced odd
    float zoom_at_start = 0.0f;
    std::int32_t band_anchor_x = 0, band_anchor_y = 0;
    std::int32_t band_corner_x = 0, band_corner_y = 0;
    std::int32_t ref_x = 0, ref_y = 0, ref_z = 0;           // world point of the move or place
    std::int32_t offset_x = 0, offset_y = 0, offset_z = 0;  // current displacement, world units
    // A move that follows the held left button (started by a drag): the release commits it.
    bool dragging = false;
    // Pointer minus reference item at the start of a drag move, world units: the reference
    // item keeps its distance from the pointer (and lands on the grid when snapping).
    std::int32_t grab_x = 0, grab_y = 0;
    unsigned press_mods = 0;  // modifiers of the press a pending press began with
    // The drawing tools: the path or area drawn and the ids of the markers placed so far.
    std::int32_t record = 0;
    std::int32_t placed_count = 0;
    std::int32_t placed[kDrawUndoDepth] = {};
};

GestureState& gesture_State();
void gesture_Reset();
// No gesture and no drag in progress.
inline bool gesture_Idle(const GestureState& g) { return g.state == kGestureIdle && g.drag == kDragNone; }
// A rubber band of any kind is being drawn.
inline bool gesture_Band(const GestureState& g) {
    return g.state == kGestureBandAdd || g.state == kGestureBandRemove || g.state == kGestureBandReplace;
}
// A drawing tool is in use.
inline bool gesture_Drawing(const GestureState& g) {
    return g.state == kGestureDrawPath || g.state == kGestureDrawArea;
}

// ----------------------------------------------------------------------------------------
// Paste and Move of the Edit menu and the item context menu: the steps that go through the
// gesture. Each acts on the page it is given and the clipboard page; the caller repaints.

// Paste, first step: starts placing the clipboard when it holds a selection and no gesture
// is in progress. 1 started, 0 refused.
int gesture_StartPaste(const Mission& clipboard, GestureState& gesture);
// Paste, placing step: the clipboard's items go into the page displaced by the world point
// (x, y, z), so the reference item lands on it; the copies become the page's selection and
// the gesture ends. Items beyond the table's capacity are dropped without a message. Number
// of items placed; -1 when no placement was in progress.
int gesture_Place(Mission& page, const Mission& clipboard, GestureState& gesture, std::int32_t x, std::int32_t y,
                  std::int32_t z);

// Move, first step: starts moving the selection, measured from the reference item's x and y,
// when the selection is not empty and no gesture is in progress. 1 started, 0 refused.
int gesture_StartMove(const Mission& page, GestureState& gesture);
// Move, final step: adds the gesture's current offset to every selected item and ends the
// gesture. 1, or 0 when no move was in progress.
int gesture_FinishMove(Mission& page, GestureState& gesture);
// Abandons a move or placement (or any gesture): nothing in the page changes. 1 when a
// gesture was in progress.
int gesture_CancelGesture(GestureState& gesture);
