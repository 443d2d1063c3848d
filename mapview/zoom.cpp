#include "mapview/zoom.h"

#include "core/text.h"
#include "mapview/view.h"
#include "mission/mission.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A symbol reaches this far (world units) around its item.
constexpr double kSymbolReach = 512.0;
// The fitted view spans at least this much (64 m), so that a single item or a tight cluster
// is shown among its surroundings rather than blown up to fill the pane.
constexpr double kFitMinSpan = 16384.0;
// The items take this share of the pane; the rest is margin, a tenth on each side.
constexpr double kFitShare = 0.8;

std::int32_t toInt32(double v) {
    if (!(v == v)) return 0;
    v = std::round(v);
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace

bool zoom_About(ViewState& view, std::int32_t width, std::int32_t height, int px, int py, double factor) {
    if (!(factor > 0.0) || !std::isfinite(factor)) return false;
    // The zoom the picture is drawn with (the renderer holds it to the limits too).
    const float before = std::clamp(view.zoom >= kZoomMin ? view.zoom : kZoomMin, kZoomMin, kZoomMax);
    const float after = static_cast<float>(std::clamp(double(before) * factor, double(kZoomMin), double(kZoomMax)));
    if (after == view.zoom) return false;
    // The world point under (px, py) before, in full precision: the projection of the map
    // pane puts the centre at (width >> 1, height >> 1).
    const double dx = double(px) - double(width >> 1);
    const double dy = double(height >> 1) - double(py);
    const double wx = double(view.center_x) + dx / double(before);
    const double wy = double(view.center_y) + dy / double(before);
    view.zoom = after;
    view.center_x = toInt32(wx - dx / double(after));
    view.center_y = toInt32(wy - dy / double(after));
    return true;
}

double zoom_WheelFactor(int delta) { return std::pow(kZoomStep, double(delta) / double(kWheelNotch)); }

void zoom_FitRect(double x0, double y0, double x1, double y1, int paneWidth, int paneHeight, ViewState& view) {
    const double spanX = std::max(std::abs(x1 - x0) + 2 * kSymbolReach, kFitMinSpan);
    const double spanY = std::max(std::abs(y1 - y0) + 2 * kSymbolReach, kFitMinSpan);
    const double w = std::max(paneWidth, 1), h = std::max(paneHeight, 1);
    const double zoom = std::min(kFitShare * w / spanX, kFitShare * h / spanY);
    view.zoom = float(std::clamp(zoom, double(kZoomMin), double(kZoomMax)));
    view.center_x = toInt32((x0 + x1) / 2);
    view.center_y = toInt32((y0 + y1) / 2);
}

bool zoom_FitItems(const Mission& page, int paneWidth, int paneHeight, ViewState& view) {
    const std::int32_t n = std::clamp(page.item_count, 0, kMaxItems);
    if (n == 0) return false;
    double minX = std::numeric_limits<double>::max(), minY = minX;
    double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
    for (std::int32_t i = 0; i < n; ++i) {
        const MissionItem& it = page.items[std::size_t(i)];
        minX = std::min<double>(minX, it.x);
        maxX = std::max<double>(maxX, it.x);
        minY = std::min<double>(minY, it.y);
        maxY = std::max<double>(maxY, it.y);
    }
    zoom_FitRect(minX, minY, maxX, maxY, paneWidth, paneHeight, view);
    return true;
}

double zoom_MetresPer100Pixels(float zoom) {
    const double z = std::clamp(zoom >= kZoomMin ? zoom : kZoomMin, kZoomMin, kZoomMax);
    return 100.0 / z / 256.0;
}

std::string zoom_ScaleText(float zoom) {
    const double m = zoom_MetresPer100Pixels(zoom);
    if (m < 1.0) return text_Printf("Conveniences", "SCALE_CM", {m * 100.0});
    if (m < 10.0) return text_Printf("Conveniences", "SCALE_M_FINE", {m});
    if (m < 10000.0) return text_Printf("Conveniences", "SCALE_M", {m});
    return text_Printf("Conveniences", "SCALE_KM", {m / 1000.0});
}
