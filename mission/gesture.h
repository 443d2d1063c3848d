// The gesture state of the map pane: which mouse gesture is in progress (rubber band, moving
// the selection, placing the clipboard, zoom drag) and the points it is measured from. One
// record for the process; the item operations start and finish the move and place gestures,
// the map interaction drives the rest.
#pragma once

#include <cstdint>

// GestureState::state
constexpr std::int32_t kGestureIdle = 0;
constexpr std::int32_t kGestureBandAdd = 3;     // rubber band that adds to the selection
constexpr std::int32_t kGestureBandRemove = 4;  // rubber band that removes from it
constexpr std::int32_t kGestureMove = 9;        // moving the selection
constexpr std::int32_t kGesturePlace = 11;      // placing the clipboard
// GestureState::drag
constexpr std::int32_t kDragNone = 0;
constexpr std::int32_t kDragZoom = 2;           // zoom drag with the right button

struct GestureState {
    std::int32_t state = kGestureIdle;
    std::int32_t drag = kDragNone;
    std::int32_t zoom_anchor_x = 0;     // pane x where the zoom drag started, forced odd
    float zoom_at_start = 0.0f;
    std::int32_t band_anchor_x = 0, band_anchor_y = 0;
    std::int32_t band_corner_x = 0, band_corner_y = 0;
    std::int32_t ref_x = 0, ref_y = 0, ref_z = 0;           // world point of the move or place
    std::int32_t offset_x = 0, offset_y = 0, offset_z = 0;  // current displacement, world units
};

GestureState& gesture_State();
void gesture_Reset();
// No gesture and no drag in progress.
inline bool gesture_Idle(const GestureState& g) { return g.state == kGestureIdle && g.drag == kDragNone; }
