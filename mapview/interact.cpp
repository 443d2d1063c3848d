#include "mapview/interact.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/gesture.h"
#include "mission/itemops.h"
#include "mapview/zoom.h"
#include "mission/index.h"
#include "mission/mission.h"

#include <algorithm>
#include <memory>
#include <cmath>
#include <limits>

namespace {

InteractState g_interact;

// A zoom drag reads the pointer only this far to the right.
constexpr int kZoomDragMinX = 2;
constexpr int kZoomDragMaxX = 1024;

// Squared pixel distance below which a click hits an item (less than 256 pixels).
constexpr std::int64_t kHitLimitSquared = 65536;

std::int32_t clampToInt32(double v) {
    if (!(v == v)) return 0;  // NaN
    if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

std::int64_t truncPixels(double v) {
    constexpr double kFar = double(std::int64_t(1) << 40);
    if (!(v == v)) return 0;
    if (v > kFar) return std::int64_t(kFar);
    if (v < -kFar) return -std::int64_t(kFar);
    return static_cast<std::int64_t>(v);
}

Mission& page() { return mission_CurrentPage(); }
Viewport viewport() { return interact_Viewport(view_State(), view_Surface()); }

// ---------------------------------------------------------------------------------------
// Screen updates

void renderNow() {
    if (g_interact.hooks.render)
        g_interact.hooks.render();
    else
        render_Page(page());
}
void repaintMap() {
    if (g_interact.hooks.repaintMap)
        g_interact.hooks.repaintMap();
    else
        platform().mapInvalidate();
}
void repaintItems() {
    if (g_interact.hooks.repaintItems) g_interact.hooks.repaintItems();
}
void repaintCentre() {
    if (g_interact.hooks.repaintCentre) g_interact.hooks.repaintCentre();
}

// One item drawn again over the picture, in the selection colour or its own.
void redrawItem(const Mission& m, std::int32_t index) {
    MapSurface& surface = view_Surface();
    if (!mapsurface_Ready(surface)) return;
    const ViewState& view = view_State();
    const RenderFrame f = render_SetupFrame(surface, view);
    const MissionItem& item = m.items[static_cast<std::size_t>(index)];
    const std::uint32_t colour = mission_IsSelected(m, index)
                                     ? kColourSelection
                                     : render_ItemColour(item, view.view_by, m.marks[static_cast<std::size_t>(index)]);
    render_Item(f, item, colour, (view.show_flags & kShowCones) != 0);
}

// Shows the bitmap as it stands, without rendering it again.
void present() {
    MapSurface& surface = view_Surface();
    if (!mapsurface_Ready(surface)) return;
    mapsurface_BuildRows(surface);
    PixelView pixels;
    pixels.pixels = surface.rows[0];
    pixels.width = surface.width;
    pixels.height = surface.height;
    pixels.stride = surface.stride / 4;
    pixels.scale = surface.scale;
    platform().mapPresent(pixels);
}

// ---------------------------------------------------------------------------------------
// Gestures

void drawBand(const GestureState& g) {
    platform().mapXorRect(g.band_anchor_x, g.band_anchor_y, g.band_corner_x, g.band_corner_y);
}

void startBand(GestureState& g, std::int32_t state, int x, int y) {
    g.state = state;
    g.band_anchor_x = g.band_corner_x = x;
    g.band_anchor_y = g.band_corner_y = y;
    platform().mapCaptureMouse(true);
    drawBand(g);
}

// Left button up in a band: every pickable item inside it joins (or leaves) the selection; a
// band that replaces the selection first empties it.
void finishBand(GestureState& g) {
    drawBand(g);  // erased
    Mission& m = page();
    const Viewport vp = viewport();
    const std::int64_t x0 = std::min(g.band_anchor_x, g.band_corner_x), x1 = std::max(g.band_anchor_x, g.band_corner_x);
    const std::int64_t y0 = std::min(g.band_anchor_y, g.band_corner_y), y1 = std::max(g.band_anchor_y, g.band_corner_y);
    const bool replacing = g.state == kGestureBandReplace;
    const bool adding = g.state != kGestureBandRemove;
    if (replacing) mission_ClearSelection(m);
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        std::int64_t px = 0, py = 0;
        if (!interact_Pickable(m, vp, i, px, py)) continue;
        if (px < x0 || px > x1 || py < y0 || py > y1) continue;
        if (adding)
            mission_Select(m, i);
        else
            mission_Deselect(m, i);
        if (!replacing) redrawItem(m, i);
    }
    g.state = kGestureIdle;
    // Items that left the selection may lie anywhere: the whole picture is drawn again.
    if (replacing)
        renderNow();
    else
        present();
    repaintItems();
    platform().mapCaptureMouse(false);
}

void clickSelect(int x, int y) {
    Mission& m = page();
    const std::int32_t hit = interact_HitTest(m, viewport(), x, y);
    if (hit < 0) return;
    mission_ToggleSelect(m, hit);
    redrawItem(m, hit);
    present();
    repaintItems();
}

void insertAt(int x, int y) {
    const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
    std::string defName;
    bool randomFacing = false;
    Mission& m = page();
    // A full page is said before an item is chosen that could not go in.
    if (m.item_count >= kMaxItems) {
        itemops_ReportNoRoom(1, 0);
        return;
    }
    if (!g_interact.hooks.chooseItem || !g_interact.hooks.chooseItem(defName, randomFacing)) return;
    // Without item definitions there is nothing an item could be made of.
    if (itemdef_Count() <= 0) return;
    const std::int32_t defIndex = itemdef_FindByName(defName.c_str());
    const ItemDef* def = itemdef_At(defIndex);
    if (!def) return;
    const std::int32_t index =
        mission_AddItem(m, def->typeNumber, mission_HoldOnTerrain(w.x), mission_HoldOnTerrain(w.y), w.z);
    if (index < 0) {
        itemops_ReportNoRoom(1, 0);
        return;
    }
    model_LoadForDefs({defIndex});
    if (randomFacing) m.items[static_cast<std::size_t>(index)].heading = interact_NextRandom(g_interact) % 360;
    // The new item is the selection, ready for its attributes or a move.
    mission_ClearSelection(m);
    mission_Select(m, index);
    renderNow();
    repaintItems();
}

void commitMove(GestureState& g) {
    gesture_FinishMove(page(), g);
    renderNow();
    repaintItems();
}

void commitPlace(GestureState& g, int x, int y) {
    const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
    gesture_Place(page(), mission_Clipboard(), g, w.x, w.y, w.z);
    renderNow();
    repaintItems();
}

void centreOn(int x, int y) {
    const WorldPoint w = interact_PaneToWorld(viewport(), x, y);
    ViewState& v = view_State();
    v.center_x = w.x;
    v.center_y = w.y;
    repaintCentre();
    renderNow();
}

// The context menu as the shell words it (texts, enabled states and check marks).
std::vector<MenuEntry> contextMenu(bool forItem) {
    const char* name = forItem ? "MouseMenuItem" : "MouseMenu";
    return g_interact.hooks.menu ? g_interact.hooks.menu(name) : std::vector<MenuEntry>{};
}

void openContextMenu(int x, int y) {
    const bool forItem = page().selection.count > 0;
    const int id = platform().popupMenu(contextMenu(forItem), x, y);
    if (id != 0 && g_interact.hooks.forward) g_interact.hooks.forward(id);
}

// ---------------------------------------------------------------------------------------
// The mouse

// The nearest selected item within grabbing distance of a pane point; -1 for none.
std::int32_t grabbedItem(const Mission& m, const Viewport& vp, int x, int y) {
    std::int32_t best = -1;
    std::int64_t bestDistance = kGrabLimitSquared + 1;
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        std::int64_t px = 0, py = 0;
        if (!interact_Pickable(m, vp, i, px, py)) continue;
        const std::int64_t dx = px - x, dy = py - y;
        const std::int64_t d = dx * dx + dy * dy;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best >= 0 && mission_IsSelected(m, best) ? best : -1;
}

// The pointer a drag move follows, to world, less the grab, snapped when snapping is on.
void followPointer(GestureState& g, int x, int y) {
    const Viewport vp = viewport();
    WorldPoint w = interact_PaneToWorld(vp, x, y);
    std::int64_t wx = std::int64_t(w.x) - g.grab_x, wy = std::int64_t(w.y) - g.grab_y;
    if (vp.snap) {
        wx = interact_Snap(static_cast<std::int32_t>(std::clamp<std::int64_t>(wx, INT32_MIN, INT32_MAX)), vp.grid);
        wy = interact_Snap(static_cast<std::int32_t>(std::clamp<std::int64_t>(wy, INT32_MIN, INT32_MAX)), vp.grid);
    }
    g.offset_x = static_cast<std::int32_t>(std::clamp<std::int64_t>(wx - g.ref_x, INT32_MIN, INT32_MAX));
    g.offset_y = static_cast<std::int32_t>(std::clamp<std::int64_t>(wy - g.ref_y, INT32_MIN, INT32_MAX));
    g.offset_z = 0;
}

// A pending press became a drag: from a selected item it moves the selection, from anywhere
// else it draws a band that replaces the selection.
void startDrag(GestureState& g, int x, int y) {
    Mission& m = page();
    const Viewport vp = viewport();
    const int px = g.band_anchor_x, py = g.band_anchor_y;
    g.state = kGestureIdle;
    const std::int32_t grabbed = grabbedItem(m, vp, px, py);
    if (grabbed >= 0 && gesture_StartMove(m, g)) {
        // Measured from the item under the pointer: that one lands on the grid.
        g.ref_x = m.items[static_cast<std::size_t>(grabbed)].x;
        g.ref_y = m.items[static_cast<std::size_t>(grabbed)].y;
        const WorldPoint at = interact_PaneToWorld(vp, px, py);
        g.grab_x =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(at.x) - g.ref_x, INT32_MIN, INT32_MAX));
        g.grab_y =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(at.y) - g.ref_y, INT32_MIN, INT32_MAX));
        g.dragging = true;
        followPointer(g, x, y);
        ++g_interact.previewFrames;
        renderNow();
        return;
    }
    g.state = kGestureBandReplace;
    g.band_corner_x = x;
    g.band_corner_y = y;
    drawBand(g);
}

// Removes the item at index, keeping the selection on the items it named.
void removeItem(Mission& m, std::int32_t index) {
    mission_Deselect(m, index);
    mission_RemoveItem(m, index);
    const std::int32_t n = std::clamp(m.selection.count, 0, kMaxItems);
    for (std::int32_t i = 0; i < n; ++i)
        if (m.selection.index[static_cast<std::size_t>(i)] > index) --m.selection.index[static_cast<std::size_t>(i)];
}

// Whether a path holds as many markers as a path can.
bool pathFull(const Mission& m, std::int32_t path) {
    if (path < 1 || path >= kMaxWaypoints) return false;
    auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    return index->paths[static_cast<std::size_t>(path)].point_count >= kWaypointMaxPoints;
}

// A click of a drawing tool: one marker, numbered next on the path or naming the area.
void drawAt(GestureState& g, int x, int y) {
    Mission& m = page();
    const bool path = g.state == kGestureDrawPath;
    if (path && pathFull(m, g.record)) {
        // The path is full: a further marker would not be part of it.
        itemops_ReportNoRoom(1, 0);
        return;
    }
    const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
    const std::int32_t type = path ? kWaypointMarkerType : kAreaMarkerType;
    const std::int32_t number = path ? interact_NextWaypointNumber(m, g.record) : g.record;
    const std::int32_t index = mission_AddItem(m, type, mission_HoldOnTerrain(w.x), mission_HoldOnTerrain(w.y), w.z);
    if (index < 0) {
        itemops_ReportNoRoom(1, 0);
        return;
    }
    MissionItem& item = m.items[static_cast<std::size_t>(index)];
    if (path) item.waypoint_id = g.record;
    item.wpnumber = number;
    if (g.placed_count == kDrawUndoDepth) {
        std::copy(g.placed + 1, g.placed + kDrawUndoDepth, g.placed);
        --g.placed_count;
    }
    g.placed[g.placed_count++] = item.id;
    renderNow();
}

void leftDown(int x, int y, unsigned mods) {
    GestureState& g = gesture_State();
    if (g.drag != kDragNone) return;
    switch (g.state) {
    case kGestureIdle:
        if (mods & kModShift)
            startBand(g, kGestureBandAdd, x, y);
        else if (mods & kModCtrl)
            startBand(g, kGestureBandRemove, x, y);
        else if (view_State().insert_mode)
            insertAt(x, y);
        else {
            // A click or the start of a drag: the release or the first move tells.
            g.state = kGesturePress;
            g.band_anchor_x = g.band_corner_x = x;
            g.band_anchor_y = g.band_corner_y = y;
            g.press_mods = mods;
            platform().mapCaptureMouse(true);
        }
        break;
    case kGestureMove: commitMove(g); break;
    case kGesturePlace: commitPlace(g, x, y); break;
    case kGestureDrawPath:
    case kGestureDrawArea: drawAt(g, x, y); break;
    default: break;
    }
}

void leftUp(int x, int y) {
    GestureState& g = gesture_State();
    switch (g.state) {
    case kGestureBandAdd:
    case kGestureBandRemove:
    case kGestureBandReplace: finishBand(g); break;
    case kGesturePress:
        // Pressed and released without moving: the click toggles as ever.
        g.state = kGestureIdle;
        platform().mapCaptureMouse(false);
        clickSelect(g.band_anchor_x, g.band_anchor_y);
        break;
    case kGestureMove:
        if (!g.dragging) break;
        followPointer(g, x, y);
        platform().mapCaptureMouse(false);
        commitMove(g);
        break;
    default: break;
    }
}

// A double click: on an item it joins the selection (if the first click took it out) and the
// item attributes open on the selection. A drawing tool takes it as one more click; in insert
// mode the first press has inserted already.
void doubleClick(int x, int y, unsigned mods) {
    GestureState& g = gesture_State();
    if (gesture_Drawing(g)) {
        drawAt(g, x, y);
        return;
    }
    if (g.state == kGesturePress) {
        // A second press already reported as such: the double click stands for it.
        g.state = kGestureIdle;
        platform().mapCaptureMouse(false);
    }
    if (!gesture_Idle(g) || view_State().insert_mode || (mods & (kModShift | kModCtrl))) {
        leftDown(x, y, mods);
        return;
    }
    Mission& m = page();
    const std::int32_t hit = interact_HitTest(m, viewport(), x, y);
    if (hit < 0) return;
    if (!mission_IsSelected(m, hit)) {
        mission_Select(m, hit);
        redrawItem(m, hit);
        present();
        repaintItems();
    }
    // The press that follows a double click's press never comes: no drag starts.
    if (g_interact.hooks.openAttributes) g_interact.hooks.openAttributes();
}

void rightDown(int x, int y, unsigned mods) {
    GestureState& g = gesture_State();
    if (mods & kModShift) {
        // A band or a held left button owns the mouse already; the zoom drag waits.
        if (g.drag != kDragNone || gesture_Band(g) || g.state == kGesturePress || g.dragging) return;
        platform().mapCaptureMouse(true);
        g.drag = kDragZoom;
        g.zoom_at_start = view_State().zoom;
        g.zoom_anchor_x = x | 1;
        return;
    }
    if (mods & kModCtrl) {
        if (g.drag == kDragNone) centreOn(x, y);
        return;
    }
    if (g.state != kGestureIdle) {
        interact_Cancel();
        return;
    }
    openContextMenu(x, y);
}

void mouseMove(int x, int y) {
    GestureState& g = gesture_State();
    if (g.state == kGesturePress) {
        if (std::abs(x - g.band_anchor_x) >= kDragThreshold || std::abs(y - g.band_anchor_y) >= kDragThreshold)
            startDrag(g, x, y);
    } else if (gesture_Band(g)) {
        drawBand(g);
        g.band_corner_x = x;
        g.band_corner_y = y;
        drawBand(g);
    } else if (g.state == kGestureMove || g.state == kGesturePlace) {
        // Moves that came in a burst reach here merged; each one draws the preview once.
        if (g.state == kGestureMove && g.dragging) {
            followPointer(g, x, y);
        } else {
            const WorldPoint w = interact_PaneToWorldSnapped(viewport(), x, y);
            g.offset_x =
                static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(w.x) - g.ref_x, INT32_MIN, INT32_MAX));
            g.offset_y =
                static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t(w.y) - g.ref_y, INT32_MIN, INT32_MAX));
            g.offset_z = 0;
        }
        ++g_interact.previewFrames;
        renderNow();
    }
    if (g.drag == kDragZoom && x >= kZoomDragMinX && x <= kZoomDragMaxX && g.zoom_anchor_x != 0) {
        const float z = static_cast<float>(x) / static_cast<float>(g.zoom_anchor_x) * g.zoom_at_start;
        if (z >= kZoomMin) {
            // Held to the range the renderer draws with, so the keys zoom back from there.
            view_State().zoom = std::min(z, kZoomMax);
            ++g_interact.previewFrames;
            renderNow();
        }
    }
}

class InteractSink final : public MapPaneSink {
public:
    void onMouseDown(MouseButton b, int x, int y, unsigned mods) override {
        switch (b) {
        case MouseButton::Left: leftDown(x, y, mods); break;
        case MouseButton::Right: rightDown(x, y, mods); break;
        case MouseButton::Middle:
            if (gesture_State().drag == kDragNone && !(mods & (kModShift | kModCtrl))) centreOn(x, y);
            break;
        case MouseButton::None: break;
        }
    }
    void onMouseUp(MouseButton b, int x, int y, unsigned) override {
        GestureState& g = gesture_State();
        if (b == MouseButton::Left) {
            leftUp(x, y);
        } else if (b == MouseButton::Right && g.drag == kDragZoom) {
            g.drag = kDragNone;
            renderNow();
            platform().mapCaptureMouse(false);
        }
    }
    void onDoubleClick(MouseButton b, int x, int y, unsigned mods) override {
        // Other buttons' double clicks do nothing.
        if (b == MouseButton::Left) doubleClick(x, y, mods);
    }
    void onMouseMove(int x, int y, unsigned) override { mouseMove(x, y); }
    void onPaint() override { renderNow(); }
    void onResize(int, int) override {}
    // The wheel zooms about the pointer. Not while a band or the zoom drag holds the mouse:
    // the band is drawn over the picture as it stands.
    void onWheel(int x, int y, int delta, unsigned) override {
        const GestureState& g = gesture_State();
        if (g.drag != kDragNone || gesture_Band(g)) return;
        const MapSurface& s = view_Surface();
        if (!zoom_About(view_State(), mapsurface_ViewWidth(s), mapsurface_ViewHeight(s), x, y, zoom_WheelFactor(delta)))
            return;
        ++g_interact.previewFrames;
        repaintCentre();
        renderNow();
    }
};

InteractSink g_sink;

}  // namespace

InteractState& interact_State() { return g_interact; }

void interact_Reset() {
    g_interact = InteractState{};
    gesture_Reset();
}

std::int32_t interact_NextRandom(InteractState& s) {
    s.seed = s.seed * 214013u + 2531011u;
    return static_cast<std::int32_t>((s.seed >> 16) & 0x7FFFu);
}

Viewport interact_Viewport(const ViewState& view, const MapSurface& surface) {
    Viewport vp;
    // Pane pixels, whatever the bitmap's scale.
    vp.width = mapsurface_ViewWidth(surface);
    vp.height = mapsurface_ViewHeight(surface);
    // The zoom the renderer draws with, so that clicks meet what is shown.
    float z = view.zoom;
    if (!(z >= kZoomMin)) z = kZoomMin;
    if (z > kZoomMax) z = kZoomMax;
    vp.zoom = z;
    vp.cx = view.center_x;
    vp.cy = view.center_y;
    vp.cz = view.center_z;
    vp.showFlags = view.show_flags;
    vp.snap = view.snap_to_grid != 0;
    vp.grid = view.grid_size;
    return vp;
}

WorldPoint interact_PaneToWorld(const Viewport& vp, int px, int py) {
    const float hw = static_cast<float>(vp.width >> 1), hh = static_cast<float>(vp.height >> 1);
    const float z = vp.zoom > 0.0f ? vp.zoom : kZoomMin;
    WorldPoint w;
    w.x = clampToInt32(std::trunc(static_cast<float>(vp.cx) + (static_cast<float>(px) - hw) / z));
    w.y = clampToInt32(std::trunc(static_cast<float>(vp.cy) + (hh - static_cast<float>(py)) / z));
    w.z = vp.cz;
    return w;
}

void interact_WorldToPane(const Viewport& vp, std::int32_t x, std::int32_t y, std::int64_t& px, std::int64_t& py) {
    const double z = vp.zoom;
    px = (vp.width >> 1) + truncPixels(z * (double(x) - double(vp.cx)));
    py = (vp.height >> 1) - truncPixels(z * (double(y) - double(vp.cy)));
}

std::int32_t interact_Snap(std::int32_t v, std::int32_t grid) {
    if (grid < 1) return v;
    const std::int64_t g = grid, half = g / 2;
    const std::int64_t t = v > 0 ? std::int64_t(v) + half : std::int64_t(v) - half;
    const std::int64_t r = t / g * g;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(r, INT32_MIN, INT32_MAX));
}

WorldPoint interact_PaneToWorldSnapped(const Viewport& vp, int px, int py) {
    WorldPoint w = interact_PaneToWorld(vp, px, py);
    if (vp.snap) {
        w.x = interact_Snap(w.x, vp.grid);
        w.y = interact_Snap(w.y, vp.grid);
    }
    return w;
}

bool interact_Pickable(const Mission& m, const Viewport& vp, std::int32_t index, std::int64_t& px, std::int64_t& py) {
    if (!mission_ItemShown(m, index, vp.showFlags)) return false;
    const MissionItem& item = m.items[static_cast<std::size_t>(index)];
    interact_WorldToPane(vp, item.x, item.y, px, py);
    return px >= 0 && px < vp.width && py >= 0 && py < vp.height;
}

std::int32_t interact_HitTest(const Mission& m, const Viewport& vp, int x, int y) {
    std::int32_t best = -1;
    std::int64_t bestDistance = kHitLimitSquared;
    for (std::int32_t i = 0; i < m.item_count; ++i) {
        std::int64_t px = 0, py = 0;
        if (!interact_Pickable(m, vp, i, px, py)) continue;
        const std::int64_t dx = px - x, dy = py - y;
        const std::int64_t d = dx * dx + dy * dy;
        if (d < bestDistance) {  // strictly nearer: the lower index keeps a tie
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int interact_StartMove() {
    if (!gesture_StartMove(page(), gesture_State())) return 0;
    repaintMap();
    return 1;
}

int interact_StartPlace() {
    if (!gesture_StartPaste(mission_Clipboard(), gesture_State())) return 0;
    repaintMap();
    return 1;
}

int interact_Cancel() {
    GestureState& g = gesture_State();
    const bool band = gesture_Band(g);
    const bool held = band || g.drag == kDragZoom || g.state == kGesturePress || g.dragging;
    if (band) drawBand(g);  // erased, or it would stay on the map
    if (gesture_Drawing(g)) g.placed_count = 0;
    if (!gesture_CancelGesture(g)) return 0;
    if (held) platform().mapCaptureMouse(false);
    repaintMap();
    return 1;
}

int interact_StartDraw(std::int32_t state, std::int32_t record) {
    GestureState& g = gesture_State();
    if (state != kGestureDrawPath && state != kGestureDrawArea) return 0;
    const std::int32_t limit = state == kGestureDrawPath ? kMaxWaypoints : kMaxAreaTriggers;
    if (record < 1 || record >= limit || !gesture_Idle(g)) return 0;
    g.state = state;
    g.record = record;
    g.placed_count = 0;
    view_State().insert_mode = 0;  // each click is a marker now
    repaintMap();
    return 1;
}

int interact_DrawBack() {
    GestureState& g = gesture_State();
    if (!gesture_Drawing(g) || g.placed_count <= 0) return 0;
    const std::int32_t id = g.placed[--g.placed_count];
    Mission& m = page();
    for (std::int32_t i = m.item_count - 1; i >= 0; --i) {
        if (m.items[static_cast<std::size_t>(i)].id != id) continue;
        removeItem(m, i);
        renderNow();
        repaintItems();
        return 1;
    }
    return 0;
}

std::int32_t interact_NextWaypointNumber(const Mission& m, std::int32_t path) {
    std::int32_t highest = 0;
    const std::int32_t count = std::clamp(m.item_count, 0, kMaxItems);
    for (std::int32_t i = 0; i < count; ++i) {
        const MissionItem& item = m.items[static_cast<std::size_t>(i)];
        if (item.type_id == kWaypointMarkerType && item.waypoint_id == path) highest = std::max(highest, item.wpnumber);
    }
    return highest < INT32_MAX ? highest + 1 : highest;
}

MapPaneSink& interact_Sink() { return g_sink; }
