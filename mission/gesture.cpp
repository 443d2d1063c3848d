#include "mission/gesture.h"

namespace {
GestureState g_gesture;
}

GestureState& gesture_State() { return g_gesture; }

void gesture_Reset() { g_gesture = GestureState{}; }
