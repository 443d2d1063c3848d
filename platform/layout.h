// Where the main window's panes go: a fixed layout in the character units of the main
// window's font, recomputed from the client area whenever it changes size.
#pragma once

#include "platform/ui.h"

struct PaneRect {
    int x = 0, y = 0, w = 0, h = 0;
};

struct MainPaneLayout {
    PaneRect map;        // the map pane, right of the button bar and below the centre pane
    PaneRect selection;  // the selection pane, below the button bar
    PaneRect centre;     // the centre-position pane, above the map
};

// Each pane spans left..right and top..bottom inclusive; a client area too small for a
// pane gives it no size rather than a negative one.
MainPaneLayout layout_MainPanes(int clientWidth, int clientHeight, CharMetrics m);
