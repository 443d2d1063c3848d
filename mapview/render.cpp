#include "mapview/render.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/index.h"
#include "mission/mission.h"
#include "platform/ui.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <memory>

// The inner boundary square is the edge of the terrain the editor keeps items on.
static_assert(kInnerBoundary == kTerrainHalfSide);

namespace {

// Degrees to radians as the symbols have always been drawn: pi taken as 3.14159.
constexpr double kDegToRad = 0.01745327777777778;
// Whole-degree angles from -kTurnsKept up to kTurnsKept have their cosine and sine kept per frame.
constexpr std::int64_t kTurnsKept = 1080;

// Screen coordinates beyond this are clipped in floating point before the integer clipper
// sees them, so that its products cannot overflow.
constexpr double kFarPixels = double(std::int64_t(1) << 30);
constexpr std::int64_t kFarLinePixels = std::int64_t(1) << 30;  // the same, as an integer

constexpr std::array<std::uint32_t, 17> kCodeColours = {
    0xE47C00, 0x000000, 0xF1E800, 0xFF0000, 0x00FF00, 0x0069A9, 0xB4B4B4, 0xDCDCDC, 0x7C0065,
    0x4BAADF, 0xBB7106, 0x009186, 0xB2006A, 0xF4AC35, 0x008E64, 0xC7002A, 0xFFFFFF,
};
constexpr std::array<std::uint32_t, 5> kTeamColours = {0x00FF00, 0x0069A9, 0xFF0000, 0xA07B00, 0xCD40FC};
constexpr std::array<std::uint32_t, 9> kKindColours = {0xB4B4B4, 0xFF0000, 0xDCDCDC, 0x00FF00, 0x4BAADF,
                                                       0xDCDCDC, 0x4BAADF, 0x009186, 0xB4B4B4};
constexpr std::uint32_t kColourUnknown = 0xB4B4B4;

// Liang-Barsky clip of a segment to the square [-kFarPixels, kFarPixels]; false when it
// misses the square.
bool clipFar(double& x0, double& y0, double& x1, double& y1) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 + kFarPixels, kFarPixels - x0, y0 + kFarPixels, kFarPixels - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            if (t > t1) return false;
            t0 = std::max(t0, t);
        } else {
            if (t < t0) return false;
            t1 = std::min(t1, t);
        }
    }
    const double ax = x0 + t0 * dx, ay = y0 + t0 * dy;
    x1 = x0 + t1 * dx;
    y1 = y0 + t1 * dy;
    x0 = ax;
    y0 = ay;
    return true;
}

// A double pixel offset as an integer, truncated toward zero; far values are held where the
// far clip in the line drawer still treats them exactly (well within 64 bits).
std::int64_t truncPixels(double v) {
    constexpr double kLimit = 4.0e18;
    if (!(v < kLimit)) return v != v ? 0 : std::int64_t(kLimit);
    if (!(v > -kLimit)) return -std::int64_t(kLimit);
    return std::int64_t(v);
}

inline void plot(const RenderFrame& f, std::int64_t x, std::int64_t y, std::uint32_t colour) {
    // The clipper keeps every pixel inside; the check guards the row table all the same.
    if (std::uint64_t(x) <= std::uint64_t(f.xmax) && std::uint64_t(y) <= std::uint64_t(f.ymax)) f.rows[y][x] = colour;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Colours

std::uint32_t render_CodeColour(std::int32_t code) {
    if (code < 0 || code >= std::int32_t(kCodeColours.size())) return kCodeColours[0];
    return kCodeColours[std::size_t(code)];
}

std::uint32_t render_TeamColour(std::int32_t team) {
    if (team < 0 || team >= std::int32_t(kTeamColours.size())) return kColourUnknown;
    return kTeamColours[std::size_t(team)];
}

std::uint32_t render_KindColour(std::int32_t kind) {
    if (kind < 0 || kind >= std::int32_t(kKindColours.size())) return kColourUnknown;
    return kKindColours[std::size_t(kind)];
}

std::uint32_t render_ItemColour(const MissionItem& item, std::int32_t viewBy, std::uint8_t mark) {
    if (mark & kItemMarkDisplay) return kColourMarked;
    return viewBy == kViewBySide ? render_TeamColour(item.team) : render_KindColour(item.kind);
}

// ---------------------------------------------------------------------------------------
// Transform and lines

RenderFrame render_SetupFrame(const MapSurface& surface, const ViewState& view) {
    RenderFrame f;
    if (!mapsurface_Ready(surface)) return f;
    f.width = surface.width;
    f.height = surface.height;
    // The centre of the pane, in device pixels: the same view at any scale.
    const float scale = surface.scale;
    f.hw = std::int32_t(float(mapsurface_ViewWidth(surface) >> 1) * scale);
    f.hh = std::int32_t(float(mapsurface_ViewHeight(surface) >> 1) * scale);
    f.xmax = surface.width - 1;
    f.ymax = surface.height - 1;
    f.cx = double(view.center_x);
    f.cy = double(view.center_y);
    f.cz = double(view.center_z);
    float z = view.zoom;
    if (!(z >= kZoomMin)) z = kZoomMin;  // also catches NaN
    if (z > kZoomMax) z = kZoomMax;
    f.zoom = double(z * scale);  // device pixels per world unit
    f.rows = surface.rows.data();
    return f;
}

ScreenPoint render_Project(const RenderFrame& f, double x, double y) {
    return {f.hw + truncPixels(f.zoom * (x - f.cx)), f.hh - truncPixels(f.zoom * (y - f.cy))};
}

void render_DrawScreenLine(const RenderFrame& f, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                           std::uint32_t colour) {
    if (f.rows == nullptr || f.xmax < 0 || f.ymax < 0) return;
    const std::int64_t xmax = f.xmax, ymax = f.ymax;

    // Ends very far away: bring them in along the segment first, in floating point.
    const auto far = [](std::int64_t v) { return v > std::int64_t(kFarPixels) || v < -std::int64_t(kFarPixels); };
    if (far(x0) || far(y0) || far(x1) || far(y1)) {
        double a = double(x0), b = double(y0), c = double(x1), d = double(y1);
        if (!clipFar(a, b, c, d)) return;
        x0 = std::int64_t(a);
        y0 = std::int64_t(b);
        x1 = std::int64_t(c);
        y1 = std::int64_t(d);
    }

    const auto outcode = [&](std::int64_t x, std::int64_t y) {
        return (x < 0 ? 8 : 0) | (x > xmax ? 4 : 0) | (y < 0 ? 2 : 0) | (y > ymax ? 1 : 0);
    };
    if (outcode(x0, y0) & outcode(x1, y1)) return;

    // Clip x: first against the left edge, then against the right one.
    if (x0 < 0 && x1 >= 0) {
        y0 += (y1 - y0) * (0 - x0) / (x1 - x0);
        x0 = 0;
    } else if (x1 < 0 && x0 >= 0) {
        y1 += (y0 - y1) * (0 - x1) / (x0 - x1);
        x1 = 0;
    }
    if (x0 > xmax && x1 <= xmax) {
        y0 += (y1 - y0) * (xmax - x0) / (x1 - x0);
        x0 = xmax;
    } else if (x1 > xmax && x0 <= xmax) {
        y1 += (y0 - y1) * (xmax - x1) / (x0 - x1);
        x1 = xmax;
    }
    // Clip y the same way, interpolating x.
    if ((y0 < 0 && y1 < 0) || (y0 > ymax && y1 > ymax)) return;
    if (y0 < 0 && y1 >= 0) {
        x0 += (x1 - x0) * (0 - y0) / (y1 - y0);
        y0 = 0;
    } else if (y1 < 0 && y0 >= 0) {
        x1 += (x0 - x1) * (0 - y1) / (y0 - y1);
        y1 = 0;
    }
    if (y0 > ymax && y1 <= ymax) {
        x0 += (x1 - x0) * (ymax - y0) / (y1 - y0);
        y0 = ymax;
    } else if (y1 > ymax && y0 <= ymax) {
        x1 += (x0 - x1) * (ymax - y1) / (y0 - y1);
        y1 = ymax;
    }
    if (x0 == x1 && y0 == y1) return;

    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    // Both ends on the surface: every pixel between them is too, since the accumulator never
    // passes the far end's row (or column). The row table is then used without checks.
    const bool inside = std::uint64_t(x0) <= std::uint64_t(xmax) && std::uint64_t(x1) <= std::uint64_t(xmax) &&
                        std::uint64_t(y0) <= std::uint64_t(ymax) && std::uint64_t(y1) <= std::uint64_t(ymax);
    if ((dy < 0 ? -dy : dy) < (dx < 0 ? -dx : dx)) {
        // Mostly horizontal: one pixel per column, the row in 16.16 fixed point.
        if (x0 > x1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const std::int64_t step = (y1 - y0) * 65536 / (x1 - x0);
        std::int64_t acc = y0 * 65536 + 32768;
        if (inside)
            for (std::int64_t x = x0; x <= x1; ++x, acc += step) f.rows[acc >> 16][x] = colour;
        else
            for (std::int64_t x = x0; x <= x1; ++x, acc += step) plot(f, x, acc >> 16, colour);
    } else {
        // Mostly vertical: one pixel per row, the column in 16.16 fixed point.
        if (y0 > y1) {
            std::swap(x0, x1);
            std::swap(y0, y1);
        }
        const std::int64_t step = (x1 - x0) * 65536 / (y1 - y0);
        std::int64_t acc = x0 * 65536 + 32768;
        if (inside)
            for (std::int64_t y = y0; y <= y1; ++y, acc += step) f.rows[y][acc >> 16] = colour;
        else
            for (std::int64_t y = y0; y <= y1; ++y, acc += step) plot(f, acc >> 16, y, colour);
    }
}

void render_DrawLine(const RenderFrame& f, double x0, double y0, double x1, double y1, std::uint32_t colour) {
    const ScreenPoint a = render_Project(f, x0, y0), b = render_Project(f, x1, y1);
    render_DrawScreenLine(f, a.x, a.y, b.x, b.y, colour);
}

// ---------------------------------------------------------------------------------------
// Grid and boundaries

void render_Grid(const RenderFrame& f, const ViewState& view) {
    const std::int64_t g = view.grid_size;
    if (g <= 0) return;  // no spacing: nothing to draw (and nothing to divide by)
    const std::int64_t x0 = g * (std::int64_t(view.center_x) / g - 32);
    const std::int64_t y0 = g * (std::int64_t(view.center_y) / g - 32);
    for (std::int64_t k = 0; k <= 64; ++k) {
        const double x = double(x0 + k * g);
        render_DrawLine(f, x, double(y0), x, double(y0 + 64 * g), kColourGrid);
    }
    for (std::int64_t k = 0; k <= 64; ++k) {
        const double y = double(y0 + k * g);
        render_DrawLine(f, double(x0), y, double(x0 + 64 * g), y, kColourGrid);
    }
}

namespace {

void drawSquare(const RenderFrame& f, double h, std::uint32_t colour) {
    render_DrawLine(f, -h, h, h, h, colour);
    render_DrawLine(f, h, h, h, -h, colour);
    render_DrawLine(f, h, -h, -h, -h, colour);
    render_DrawLine(f, -h, -h, -h, h, colour);
}

bool validItem(const Mission& page, std::int32_t index) {
    return index >= 0 && index < std::min(page.item_count, kMaxItems);
}

}  // namespace

void render_Boundaries(const RenderFrame& f) {
    drawSquare(f, kInnerBoundary, kColourInnerBoundary);
    drawSquare(f, kOuterBoundary, kColourOuterBoundary);
}

// ---------------------------------------------------------------------------------------
// Waypoint paths and area rectangles

void render_Waypoints(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view) {
    for (std::size_t p = 0; p < index.paths.size(); ++p) {
        const Waypoint& w = page.waypoints[p];
        const PathPoints& path = index.paths[p];
        const std::int32_t n = std::min(path.point_count, kWaypointMaxPoints);
        if (n < 2) continue;
        bool ok = true;
        for (std::int32_t i = 0; i < n; ++i) ok = ok && validItem(page, path.points[std::size_t(i)]);
        if (!ok) continue;
        if (!mission_ItemShown(page, path.points[0], view.show_flags)) continue;
        const std::uint32_t colour = render_CodeColour(w.color);
        const auto at = [&](std::int32_t i) -> const MissionItem& {
            return page.items[std::size_t(path.points[std::size_t(i)])];
        };
        for (std::int32_t i = 0; i + 1 < n; ++i) render_DrawLine(f, at(i).x, at(i).y, at(i + 1).x, at(i + 1).y, colour);
        if (!(w.attrib & kWaypointNoLoop)) render_DrawLine(f, at(0).x, at(0).y, at(n - 1).x, at(n - 1).y, colour);
    }
}

void render_AreaTriggers(const RenderFrame& f, const Mission& page, const MissionIndex& index, const ViewState& view) {
    for (std::size_t n = 0; n < index.areas.size(); ++n) {
        const AreaBounds& a = index.areas[n];
        if (a.in_use == 0 || !validItem(page, a.leftmost)) continue;
        if (!mission_ItemShown(page, a.leftmost, view.show_flags)) continue;
        const std::uint32_t colour = render_CodeColour(page.area_triggers[n].color);
        const double x0 = a.min_x, x1 = a.max_x, y0 = a.max_y, y1 = a.min_y;
        render_DrawLine(f, x0, y0, x1, y0, colour);
        render_DrawLine(f, x1, y0, x1, y1, colour);
        render_DrawLine(f, x1, y1, x0, y1, colour);
        render_DrawLine(f, x0, y1, x0, y0, colour);
    }
}

// ---------------------------------------------------------------------------------------
// Items

namespace {

constexpr double kPersonScale = 256.0;
constexpr double kTickLength = 1.3 * kPersonScale;
constexpr double kConeRadius = 8.0 * kPersonScale;
constexpr double kRadiusMarkerScale = 0.5468;
constexpr double kDefaultSymbolRadius = 512.0;

// One item's placement: its position and the rotation of its drawing angle.
struct Placement {
    double x = 0, y = 0;  // world position (displacement included)
    double cosA = 1, sinA = 0;
    // Local (u, v) to world, scaled after rotation.
    void world(double u, double v, double scale, double& wx, double& wy) const {
        wx = x + scale * (u * cosA - v * sinA);
        wy = y + scale * (u * sinA + v * cosA);
    }
};

// Cosine and sine of a whole number of degrees, remembered for the rest of the frame: the
// items share a few hundred angles between them.
void turn(const RenderFrame& f, std::int64_t deg, double& cosA, double& sinA) {
    if (f.scratch != nullptr && deg >= -kTurnsKept && deg < kTurnsKept) {
        RenderScratch& s = *f.scratch;
        if (s.turnKnown.empty()) {
            s.turnKnown.assign(std::size_t(2 * kTurnsKept), 0);
            s.turnCos.resize(std::size_t(2 * kTurnsKept));
            s.turnSin.resize(std::size_t(2 * kTurnsKept));
        }
        const std::size_t i = std::size_t(deg + kTurnsKept);
        if (!s.turnKnown[i]) {
            const double a = double(deg) * kDegToRad;
            s.turnCos[i] = std::cos(a);
            s.turnSin[i] = std::sin(a);
            s.turnKnown[i] = 1;
        }
        cosA = s.turnCos[i];
        sinA = s.turnSin[i];
        return;
    }
    const double a = double(deg) * kDegToRad;
    cosA = std::cos(a);
    sinA = std::sin(a);
}

void drawPersonShape(const RenderFrame& f, const Placement& p, double scale, std::uint32_t colour) {
    constexpr double e = kPersonScale;
    static constexpr double kDiamond[4][2] = {{e, 0}, {0, e}, {-e, 0}, {0, -e}};
    // Each point projected once; the lines between them as drawing world segments would.
    double tx, ty;
    p.world(kTickLength, 0, scale, tx, ty);
    const ScreenPoint centre = render_Project(f, p.x, p.y), tick = render_Project(f, tx, ty);
    render_DrawScreenLine(f, centre.x, centre.y, tick.x, tick.y, colour);
    ScreenPoint corner[4];
    for (int i = 0; i < 4; ++i) {
        double wx, wy;
        p.world(kDiamond[i][0], kDiamond[i][1], scale, wx, wy);
        corner[i] = render_Project(f, wx, wy);
    }
    for (int i = 0; i < 4; ++i) {
        const ScreenPoint &a = corner[i], &b = corner[(i + 1) & 3];
        render_DrawScreenLine(f, a.x, a.y, b.x, b.y, colour);
    }
}

// A cone of c degrees around the heading, radius world units long: arc points every 10
// degrees from one side to the other, joined to the item position at both ends.
void drawCone(const RenderFrame& f, const Placement& p, std::int64_t heading, std::int64_t c, double radius,
              std::uint32_t colour) {
    // A cone wider than a full turn draws no more than the full circle.
    c = std::clamp<std::int64_t>(c, -360, 360);
    const std::int64_t half = c / 2;
    const std::int64_t centre = 90 - heading;
    const auto point = [&](std::int64_t deg) {
        double cosA, sinA;
        turn(f, deg, cosA, sinA);
        return render_Project(f, p.x + radius * cosA, p.y + radius * sinA);
    };
    // Each point projected once, each line drawn as its world segment would be.
    const ScreenPoint apex = render_Project(f, p.x, p.y);
    ScreenPoint previous = apex;
    for (std::int64_t deg = centre - half; deg < centre + half; deg += 10) {
        const ScreenPoint next = point(deg);
        render_DrawScreenLine(f, previous.x, previous.y, next.x, next.y, colour);
        previous = next;
    }
    const ScreenPoint end = point(centre + half);
    render_DrawScreenLine(f, previous.x, previous.y, end.x, end.y, colour);
    render_DrawScreenLine(f, end.x, end.y, apex.x, apex.y, colour);
}

// The level of detail for a model n levels deep shown p pixels in radius.
int chooseLevel(double p, std::int32_t n) {
    int level = 0;
    if (p <= 150) {
        if (p > 80) {
            if (n >= 2) level = 1;
        } else if (p <= 20 && n >= 4) {
            level = 3;
        } else if (n > 2) {
            level = 2;
        } else if (n > 1) {
            level = 1;
        }
    }
    return level;
}

inline std::uint32_t packPoint(const ModelVertex& v) {
    return std::uint32_t(std::uint16_t(v.x)) << 16 | std::uint16_t(v.y);
}

// The outline of a mesh: every triangle edge whose hidden-edge bit is clear and whose ends
// differ from above. Edges that fall on the same top-down segment (shared by two triangles,
// or the top and bottom of a wall) turn into the same pixels in the same colour, so each
// segment is kept once; the order of the segments cannot change the picture either.
void buildOutline(const ModelMesh& mesh, MeshOutline& out, std::vector<std::uint64_t>& keys) {
    const std::size_t nv = mesh.vertices.size();
    keys.clear();
    for (const ModelPolygon& poly : mesh.polygons) {
        for (int e = 0; e < 3; ++e) {
            if (poly.flags & (kPolygonHiddenEdge0 << e)) continue;
            const std::uint16_t a = poly.vertex[e], b = poly.vertex[(e + 1) % 3];
            if (a >= nv || b >= nv) continue;
            const std::uint32_t pa = packPoint(mesh.vertices[a]), pb = packPoint(mesh.vertices[b]);
            if (pa == pb) continue;  // seen end-on from above
            keys.push_back(pa < pb ? std::uint64_t(pa) << 32 | pb : std::uint64_t(pb) << 32 | pa);
        }
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    out.points.clear();
    for (std::uint64_t k : keys) {
        out.points.push_back(std::uint32_t(k >> 32));
        out.points.push_back(std::uint32_t(k));
    }
    std::sort(out.points.begin(), out.points.end());
    out.points.erase(std::unique(out.points.begin(), out.points.end()), out.points.end());
    out.segments.clear();
    const auto index = [&](std::uint32_t point) {
        return std::uint32_t(std::lower_bound(out.points.begin(), out.points.end(), point) - out.points.begin());
    };
    for (std::uint64_t k : keys) {
        out.segments.push_back(index(std::uint32_t(k >> 32)));
        out.segments.push_back(index(std::uint32_t(k)));
    }
}

// The mesh's outline: built once per frame when the mesh sits in the model cache, else each
// time it is drawn.
const MeshOutline& meshOutline(const RenderFrame& f, const ModelMesh& mesh, MeshOutline& local) {
    std::vector<std::uint64_t> localKeys;
    if (f.scratch == nullptr) {
        buildOutline(mesh, local, localKeys);
        return local;
    }
    RenderScratch& scratch = *f.scratch;
    const ModelCache& cache = model_Cache();
    const auto at = reinterpret_cast<std::uintptr_t>(&mesh);
    const auto first = reinterpret_cast<std::uintptr_t>(cache.meshes.data());
    const std::size_t slot = (at - first) / sizeof(ModelMesh);
    if (at < first || slot >= cache.meshes.size() || &cache.meshes[slot] != &mesh) {
        buildOutline(mesh, local, scratch.keys);
        return local;
    }
    if (scratch.outlines.size() != cache.meshes.size()) {
        scratch.outlines.assign(cache.meshes.size(), MeshOutline{});
        scratch.outlineReady.assign(cache.meshes.size(), 0);
    }
    if (!scratch.outlineReady[slot]) {
        buildOutline(mesh, scratch.outlines[slot], scratch.keys);
        scratch.outlineReady[slot] = 1;
    }
    return scratch.outlines[slot];
}

// Every edge of the mesh in its own order and direction, each vertex projected once.
void drawModelEdges(const RenderFrame& f, const Placement& p, const ModelMesh& mesh, std::uint32_t colour) {
    const std::size_t nv = mesh.vertices.size();
    std::vector<ScreenPoint> screen(nv);
    for (std::size_t i = 0; i < nv; ++i) {
        double wx, wy;
        p.world(mesh.vertices[i].x, mesh.vertices[i].y, 1.0, wx, wy);
        screen[i] = render_Project(f, wx, wy);
    }
    for (const ModelPolygon& poly : mesh.polygons) {
        for (int e = 0; e < 3; ++e) {
            if (poly.flags & (kPolygonHiddenEdge0 << e)) continue;
            const std::uint16_t a = poly.vertex[e], b = poly.vertex[(e + 1) % 3];
            if (a >= nv || b >= nv) continue;
            const ModelVertex& va = mesh.vertices[a];
            const ModelVertex& vb = mesh.vertices[b];
            if (va.x == vb.x && va.y == vb.y) continue;  // seen end-on from above
            render_DrawScreenLine(f, screen[a].x, screen[a].y, screen[b].x, screen[b].y, colour);
        }
    }
}

void drawModel(const RenderFrame& f, const Placement& p, const ModelMesh& mesh, std::uint32_t colour) {
    MeshOutline local;
    const MeshOutline& outline = meshOutline(f, mesh, local);
    // Each point is turned and projected once; the segments then only look them up.
    std::vector<ScreenPoint> localScreen;
    std::vector<ScreenPoint>& screen = f.scratch ? f.scratch->screen : localScreen;
    const std::size_t np = outline.points.size();
    screen.resize(np);
    bool far = false;
    for (std::size_t i = 0; i < np; ++i) {
        const std::uint32_t point = outline.points[i];
        double wx, wy;
        p.world(double(std::int16_t(point >> 16)), double(std::int16_t(point & 0xFFFF)), 1.0, wx, wy);
        screen[i] = render_Project(f, wx, wy);
        far = far || std::max(std::abs(screen[i].x), std::abs(screen[i].y)) > kFarLinePixels;
    }
    // Segments reaching that far are first clipped in floating point, where the direction a
    // segment is drawn in may move its end by a pixel: such rare models are drawn edge by edge.
    if (far) {
        drawModelEdges(f, p, mesh, colour);
        return;
    }
    for (std::size_t k = 0; k + 1 < outline.segments.size(); k += 2) {
        const ScreenPoint& a = screen[outline.segments[k]];
        const ScreenPoint& b = screen[outline.segments[k + 1]];
        if (a.x == b.x && a.y == b.y) continue;  // both ends on one pixel: nothing drawn
        render_DrawScreenLine(f, a.x, a.y, b.x, b.y, colour);
    }
}

const Model* itemModel(const MissionItem& item, std::int32_t defIndex) {
    if (item.kind == kItemPerson || item.kind == kItemMarker) return nullptr;
    const ItemDef* def = itemdef_At(defIndex);
    return def ? def->model : nullptr;
}

void drawItem(const RenderFrame& f, const MissionItem& item, std::int32_t defIndex, std::uint32_t colour, bool cones,
              double dx, double dy);

}  // namespace

void render_Item(const RenderFrame& f, const MissionItem& item, std::uint32_t colour, bool cones, double dx,
                 double dy) {
    drawItem(f, item, mission_DefIndex(item), colour, cones, dx, dy);
}

namespace {

void drawItem(const RenderFrame& f, const MissionItem& item, std::int32_t defIndex, std::uint32_t colour, bool cones,
              double dx, double dy) {
    if (f.rows == nullptr) return;
    const Model* model = itemModel(item, defIndex);
    const double r = model ? double(model->extent >> 8) : kDefaultSymbolRadius;
    const double z = f.zoom;
    const double p = r * z;

    // What the symbol reaches beyond its radius: the cone of a person, the circle of a
    // radius marker. Culling must not drop those while they still cross the map.
    const bool radiusMarker = item.kind == kItemMarker && item.type_id == kRadiusMarkerType;
    const bool cone = item.kind == kItemPerson && cones && item.fov != 0;
    double reach = p;
    if (cone) reach = std::max(reach, kConeRadius * z);
    if (radiusMarker) reach = std::max(reach, std::fabs(double(item.wpdistance)) * 256.0 * z);

    const double wx = double(item.x) + dx, wy = double(item.y) + dy;
    const double sx = (wx - f.cx) * z + f.hw;
    const double sy = f.hh - z * (wy - f.cy);
    if (sx + reach < -1.0 || sx - reach > double(f.width) || sy + reach < -1.0 || sy - reach > double(f.height)) return;

    Placement place;
    place.x = wx;
    place.y = wy;
    turn(f, 90 - std::int64_t(item.heading), place.cosA, place.sinA);

    if (radiusMarker) {
        drawPersonShape(f, place, kRadiusMarkerScale, colour);
        drawCone(f, place, item.heading, 360, double(item.wpdistance) * 256.0, colour);
        return;
    }
    if (item.kind == kItemPerson || item.kind == kItemMarker || model == nullptr) {
        drawPersonShape(f, place, 1.0, colour);
        if (cone) drawCone(f, place, item.heading, item.fov, kConeRadius, colour);
        return;
    }
    const int level = chooseLevel(p, model->lodCount);
    const ModelMesh* mesh = model->lod[level];
    if (mesh == nullptr) {
        // A level the file left empty: the item still shows where it stands.
        drawPersonShape(f, place, 1.0, colour);
        return;
    }
    drawModel(f, place, *mesh, colour);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// The frame

void render_Draw(MapSurface& surface, const ViewState& view, const GestureState& gesture, const Mission& page,
                 const Mission& clipboard) {
    mapsurface_BuildRows(surface);
    RenderFrame f = render_SetupFrame(surface, view);
    if (f.rows == nullptr) return;
    RenderScratch scratch;
    f.scratch = &scratch;
    // The page's definitions, paths and areas, worked out afresh for this frame (a small part
    // of its time: one pass over the items).
    const auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(page, *index);
    const auto defOf = [](const MissionIndex& ix, const Mission& m, std::int32_t i) {
        return i < ix.item_count ? ix.def_index[std::size_t(i)] : mission_DefIndex(m.items[std::size_t(i)]);
    };

    render_Terrain(f, page, view);
    if (view.grid_shown) render_Grid(f, view);
    render_Boundaries(f);
    if (view.show_flags & kShowMarkers) render_Waypoints(f, page, *index, view);
    if (view.links_shown) render_Links(f, page, *index, view);

    const bool cones = (view.show_flags & kShowCones) != 0;
    const std::int32_t count = std::clamp(page.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) {
        if (!mission_ItemShown(page, i, view.show_flags)) continue;
        const MissionItem& item = page.items[std::size_t(i)];
        drawItem(f, item, defOf(*index, page, i), render_ItemColour(item, view.view_by, page.marks[std::size_t(i)]),
                 cones, 0, 0);
    }
    // The selection over the rest; an item the view hides stays hidden when selected.
    const auto drawSelection = [&](const Mission& m, const MissionIndex& ix, bool onlyShown, double dx, double dy) {
        const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
        for (std::int32_t s = 0; s < n; ++s) {
            const std::int32_t i = m.selection.index[std::size_t(s)];
            if (!validItem(m, i)) continue;
            if (onlyShown && !mission_ItemShown(m, i, view.show_flags)) continue;
            drawItem(f, m.items[std::size_t(i)], defOf(ix, m, i), kColourSelection, cones, dx, dy);
        }
    };
    drawSelection(page, *index, true, 0, 0);

    if (view.show_flags & kShowAreas) render_AreaTriggers(f, page, *index, view);

    // The drag preview shows everything the drop will move or paste.
    if (gesture.state == kGestureMove) {
        drawSelection(page, *index, false, gesture.offset_x, gesture.offset_y);
    } else if (gesture.state == kGesturePlace) {
        mission_BuildIndex(clipboard, *index);
        drawSelection(clipboard, *index, false, gesture.offset_x, gesture.offset_y);
    }
}

void render_Page(const Mission& page) {
    MapSurface& surface = view_Surface();
    if (!mapsurface_Ready(surface)) return;
    const ViewState& view = view_State();
    render_Draw(surface, view, gesture_State(), page, mission_Clipboard());

    PixelView pixels;
    pixels.pixels = surface.rows[0];
    pixels.width = surface.width;
    pixels.height = surface.height;
    pixels.stride = surface.stride / 4;
    pixels.scale = surface.scale;
    platform().mapPresent(pixels);
    platform().mapCaption(view.insert_mode ? text_Get("Tool Modes", "INSERT_MODE") : "");
}
