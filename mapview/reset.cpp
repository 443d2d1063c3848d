#include "mapview/reset.h"

#include "mapview/gesture.h"
#include "mapview/interact.h"
#include "mapview/view.h"

void mapview_ResetLayer() {
    view_Reset();
    view_ResetSurface();
    gesture_Reset();
    interact_Reset();
}
