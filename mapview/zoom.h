// Zooming the map view: the wheel's zoom about the point under the cursor, the step zoom of
// the keys, the view that shows every item of a page (the editor's Home and
// `sortie-cli render --fit` share it) and the scale the centre pane shows.
#pragma once

#include <cstdint>
#include <string>

struct Mission;
struct ViewState;

// One wheel notch (or one press of the main keyboard's + or -) zooms by this factor.
constexpr double kZoomStep = 1.25;
// A wheel notch as the platform reports it, in eighths of a degree.
constexpr int kWheelNotch = 120;

// Sets the zoom to zoom x factor, held to kZoomMin..kZoomMax, keeping the world point shown
// at pane pixel (px, py) of a surface width x height where it is. false when the zoom did not
// change (already at the limit, or a factor that is no number).
bool zoom_About(ViewState& view, std::int32_t width, std::int32_t height, int px, int py, double factor);
// The factor of a wheel turn of delta eighths of a degree (positive: away from the user, in).
double zoom_WheelFactor(int delta);

// Zoom and centre that show every item of the page in a pane of that size, with a margin;
// false (view unchanged) for a page without items.
bool zoom_FitItems(const Mission& page, int paneWidth, int paneHeight, ViewState& view);
// Zoom and centre that show the world rectangle x0..x1, y0..y1 the same way.
void zoom_FitRect(double x0, double y0, double x1, double y1, int paneWidth, int paneHeight, ViewState& view);

// How many metres 100 pixels of the map span at this zoom.
double zoom_MetresPer100Pixels(float zoom);
// That scale as the centre pane shows it, from the string table.
std::string zoom_ScaleText(float zoom);
