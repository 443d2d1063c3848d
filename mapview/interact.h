// Map interaction: the map pane's mouse turned into editing. Clicks select and deselect
// items (or insert one in insert mode), Shift and Ctrl with the left button draw a rubber
// band that adds to or removes from the selection, the move and paste commands start
// gestures that a left click commits and a right click cancels, Shift with the right button
// drags the zoom, Ctrl with the right button or the middle button centres the view, and a
// plain right click opens the context menu of the selection or of empty space.
//
// The gesture in progress is the process's GestureState; the screen geometry comes from the
// MapSurface and the ViewState. Selection changes redraw only the items concerned; moves,
// placements, zoom and centring render the whole page.
#pragma once

#include "mapview/gesture.h"
#include "platform/ui.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Mission;
struct ViewState;
struct MapSurface;

// Where the interaction asks the rest of the editor to bring the screen up to date. A hook
// left null falls back to the renderer and the platform directly (the selection and centre
// panes are then not repainted).
struct InteractHooks {
    void (*render)() = nullptr;         // render the current page now and show it
    void (*repaintMap)() = nullptr;     // ask for a repaint of the map pane
    void (*repaintItems)() = nullptr;   // the selection pane
    void (*repaintCentre)() = nullptr;  // the centre pane
    // A context-menu command goes on to the main window's dispatcher, which runs only the
    // commands its table lets the context menus pass on.
    void (*forward)(int id) = nullptr;
    // The entries of the context menu named name ("MouseMenu", "MouseMenuItem") as it opens,
    // worded, enabled and checked; without it the context menus are empty.
    std::vector<MenuEntry> (*menu)(std::string_view name) = nullptr;
    // Insert Item: asks which item to insert. false when cancelled; otherwise the chosen
    // definition's name and whether it gets a random facing.
    bool (*chooseItem)(std::string& defName, bool& randomFacing) = nullptr;
    // A double click on an item: the item attributes editor opens on the selection.
    void (*openAttributes)() = nullptr;
};

// The interaction's own state besides the gesture: the program's one pseudo-random
// generator (item facings) and the hooks. Reset by tests.
struct InteractState {
    std::uint32_t seed = 1;
    InteractHooks hooks;
    std::uint64_t previewFrames = 0;  // frames drawn while moving, placing or zooming
};
InteractState& interact_State();
// Gesture and interaction state back to their start values (hooks cleared).
void interact_Reset();

// The next number of the generator: seed = seed * 214013 + 2531011, r = (seed >> 16) & 0x7FFF.
std::int32_t interact_NextRandom(InteractState& s);

// ---------------------------------------------------------------------------------------
// Geometry of one frame

// What the conversions need of the surface and the view.
struct Viewport {
    std::int32_t width = 0, height = 0;  // the MapSurface
    float zoom = 0.0f;
    std::int32_t cx = 0, cy = 0, cz = 0;
    std::uint32_t showFlags = 0;
    bool snap = false;
    std::int32_t grid = 0;
};
Viewport interact_Viewport(const ViewState& view, const MapSurface& surface);

struct WorldPoint {
    std::int32_t x = 0, y = 0, z = 0;
};
// Pane pixel to world, in single precision, truncated toward zero (held to the 32-bit range).
WorldPoint interact_PaneToWorld(const Viewport& vp, int px, int py);
// World to pane pixel, as the renderer projects.
void interact_WorldToPane(const Viewport& vp, std::int32_t x, std::int32_t y, std::int64_t& px, std::int64_t& py);
// Nearest multiple of grid, halves away from zero (grid < 1 leaves v as it is).
std::int32_t interact_Snap(std::int32_t v, std::int32_t grid);
// Pane to world, snapped when snapping is on (z never is).
WorldPoint interact_PaneToWorldSnapped(const Viewport& vp, int px, int py);

// Whether an item can be hit or banded: shown, and its projected centre inside the surface.
bool interact_Pickable(const Mission& page, const Viewport& vp, std::int32_t index, std::int64_t& px, std::int64_t& py);
// The item a click at (px, py) hits: the nearest pickable item less than 256 pixels away,
// the lower index on ties; -1 for none.
std::int32_t interact_HitTest(const Mission& page, const Viewport& vp, int px, int py);

// ---------------------------------------------------------------------------------------
// Gestures started by commands

// Move (184): moving the selection from the reference item. 1 started, 0 refused.
int interact_StartMove();
// Paste (161): placing the clipboard. 1 started, 0 refused.
int interact_StartPlace();
// Ends any gesture without changing the page (a rubber band is erased, the mouse freed); a
// drawing ends keeping the markers placed. 1 when one was in progress.
int interact_Cancel();

// Draw Path and Draw Area: from now on each left click places a marker of waypoint path (or
// area trigger) `record`, numbered next on it, until interact_Cancel (Return, Esc or a right
// click). state is kGestureDrawPath or kGestureDrawArea. 1 started, 0 refused.
int interact_StartDraw(std::int32_t state, std::int32_t record);
// Backspace while drawing: the last marker placed goes again. 1 when one went.
int interact_DrawBack();
// The number the next marker of a waypoint path takes: one above the path's highest.
std::int32_t interact_NextWaypointNumber(const Mission& page, std::int32_t path);

// A press and release closer than this many pixels in both directions is a click, not a drag.
constexpr int kDragThreshold = 4;
// A drag that starts this close to a selected item moves the selection (squared pixels).
constexpr std::int64_t kGrabLimitSquared = 12 * 12;

// The map pane's mouse handler.
MapPaneSink& interact_Sink();
