// The two information panes: the centre pane (the world position of the view centre) and
// the selection pane (how many items are selected and the details of the last one). The
// panes only show text; these functions lay the text out, line by line, in pane pixels.
#pragma once

#include "platform/ui.h"

#include <vector>

struct Mission;
struct ViewState;

// Pane numbers of the platform layer.
constexpr int kPaneCentre = 0;
constexpr int kPaneSelection = 1;

// One line at (5, 5): the centre in metres.
std::vector<PaneLine> infopane_CentreLines(const ViewState& view);

// The selection text from (5, 5) on, in the character units of the main window.
std::vector<PaneLine> infopane_SelectionLines(const Mission& page, CharMetrics m);
