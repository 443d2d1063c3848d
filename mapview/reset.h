// The map view's process-wide records: the view, its surface, the gesture and the map
// interaction. shell/reset.h puts back every layer's.
#pragma once

void mapview_ResetLayer();
