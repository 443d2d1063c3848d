// The commands that work on the map as a picture or with a tool: Draw Path and Draw Area (the
// choice of the path or area, then the drawing gesture of the map interaction), Export Map
// Image, Print, and the status bar under the map (the pointer's world position, the
// selection, a hint for the gesture in progress, the message after a file was written).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Mission;

// One entry of a choice: what the list shows and what choosing it gives.
struct ChoiceEntry {
    std::string text;
    std::int64_t value = 0;
};

// The CHOOSE dialog: a caption, a label and a drop-down list, the entry whose value is
// `chosen` selected at first. true with the chosen entry's value on OK.
bool maptools_Choose(std::string_view caption, std::string_view label, const std::vector<ChoiceEntry>& entries,
                     std::int64_t& chosen);

// The paths (or areas) a drawing tool offers: every record of the page, numbered, with its
// description's first line.
std::vector<ChoiceEntry> maptools_PathChoices(const Mission& page);
std::vector<ChoiceEntry> maptools_AreaChoices(const Mission& page);

// Draw Path (kDrawPath) and Draw Area (kDrawArea): asks which record, then starts drawing.
void maptools_StartDrawing(int commandId);
// Export Map Image: a PNG of the map as it is shown, at a size the user chooses.
void maptools_ExportImage();
// Print: the map as it is shown on one page, with the mission's name and the scale.
void maptools_Print();

// The status bar.
void maptools_StatusPointer(int paneX, int paneY);  // the pointer moved over the map
void maptools_RefreshStatus();                      // the selection count and the hint
void maptools_StatusMessage(const std::string& text);
