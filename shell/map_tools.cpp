#include "shell/map_tools.h"

#include "core/text.h"
#include "mapview/gesture.h"
#include "mapview/interact.h"
#include "mapview/render.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "mission/index.h"
#include "mission/mission.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

constexpr const char* kTools = "Map Tools";

Mission& page() { return mission_CurrentPage(); }

class ChooseDialogProc final : public DialogProc {
public:
    ChooseDialogProc(std::string_view caption, std::string_view label, const std::vector<ChoiceEntry>& entries,
                     std::int64_t& chosen)
        : caption_(caption), label_(label), entries_(entries), chosen_(chosen) {}
    void onInit(Dialog& dlg) override {
        dlg.setTitle(caption_);
        dlg.setText(dlgid::kChooseLabel, label_);
        dlg.setText(kIdOk, text_Get("Dialog Message", "OK"));
        dlg.setText(kIdCancel, text_Get("Dialog Message", "CANCEL"));
        int selected = 0;
        for (const ChoiceEntry& e : entries_) {
            const int at = dlg.addEntry(dlgid::kChooseList, e.text, e.value);
            if (e.value == chosen_) selected = at;
        }
        dlg.setSelection(dlgid::kChooseList, selected);
    }
    void onCommand(Dialog& dlg, int id, Notify code) override {
        if (code != Notify::Clicked) return;
        if (id == kIdOk) {
            const int sel = dlg.selection(dlgid::kChooseList);
            if (sel < 0) return;
            chosen_ = dlg.entryData(dlgid::kChooseList, sel);
            dlg.end(kIdOk);
        } else if (id == kIdCancel) {
            dlg.end(kIdCancel);
        }
    }

private:
    std::string caption_, label_;
    const std::vector<ChoiceEntry>& entries_;
    std::int64_t& chosen_;
};

// A record's description up to its first line end.
std::string firstLine(std::string_view text) { return std::string(text.substr(0, text.find_first_of("\r\n"))); }

template <typename Record>
std::vector<ChoiceEntry> choices(const Record* records, int count) {
    std::vector<ChoiceEntry> out;
    for (int i = 1; i < count; ++i)
        out.push_back({text_Printf(kTools, "RECORD_ENTRY", {i, firstLine(mission_Text(records[i].description))}), i});
    return out;
}

// The record the tool offers first: the first one with no markers yet.
std::int32_t firstChoice(const Mission& m, bool path) {
    auto index = std::make_unique<MissionIndex>();
    mission_BuildIndex(m, *index);
    if (path) {
        for (std::int32_t p = 1; p < kMaxWaypoints; ++p)
            if (index->paths[std::size_t(p)].point_count == 0) return p;
    } else {
        for (std::int32_t a = 1; a < kMaxAreaTriggers; ++a)
            if (index->areas[std::size_t(a)].in_use == 0) return a;
    }
    return 1;
}

// The heading of a printed or exported map: the mission's name, else its file's.
std::string missionTitle(const Mission& m) {
    std::string name(mission_Text(m.info.name));
    if (name.empty() && !m.file_path.empty())
        name = ui_PathText(std::filesystem::path(m.file_path).filename().string());
    if (name.empty()) name = text_Get(kTools, "UNTITLED");
    return name;
}

PixelView pixelsOf(MapSurface& s, int width) {
    mapsurface_BuildRows(s);
    PixelView v;
    v.pixels = s.rows.empty() ? nullptr : s.rows[0];
    v.width = std::clamp(width, 0, s.width);
    v.height = s.height;
    v.stride = s.stride / 4;
    return v;
}

// The hint for the gesture in progress (or for the idle map).
std::string gestureHint() {
    const GestureState& g = gesture_State();
    if (g.drag == kDragZoom) return text_Get(kTools, "HINT_ZOOM");
    switch (g.state) {
    case kGestureBandAdd:
    case kGestureBandRemove:
    case kGestureBandReplace: return text_Get(kTools, "HINT_BAND");
    case kGestureMove: return text_Get(kTools, g.dragging ? "HINT_DRAG" : "HINT_MOVE");
    case kGesturePlace: return text_Get(kTools, "HINT_PLACE");
    case kGestureDrawPath:
        return text_Printf(kTools, "HINT_DRAW_PATH", {g.record, interact_NextWaypointNumber(page(), g.record)});
    case kGestureDrawArea: return text_Printf(kTools, "HINT_DRAW_AREA", {g.record});
    default: break;
    }
    return text_Get(kTools, view_State().insert_mode ? "HINT_INSERT" : "HINT_IDLE");
}

}  // namespace

bool maptools_Choose(std::string_view caption, std::string_view label, const std::vector<ChoiceEntry>& entries,
                     std::int64_t& chosen) {
    if (entries.empty()) return false;
    ChooseDialogProc proc(caption, label, entries, chosen);
    return platform().runDialog("CHOOSE", proc) == kIdOk;
}

std::vector<ChoiceEntry> maptools_PathChoices(const Mission& m) { return choices(m.waypoints.data(), kMaxWaypoints); }

std::vector<ChoiceEntry> maptools_AreaChoices(const Mission& m) {
    return choices(m.area_triggers.data(), kMaxAreaTriggers);
}

void maptools_StartDrawing(int commandId) {
    Mission& m = page();
    const bool path = commandId == cmd::kDrawPath;
    if (!gesture_Idle(gesture_State())) return;
    std::int64_t chosen = firstChoice(m, path);
    const std::vector<ChoiceEntry> entries = path ? maptools_PathChoices(m) : maptools_AreaChoices(m);
    if (!maptools_Choose(text_Get(kTools, path ? "DRAW_PATH" : "DRAW_AREA"),
                         text_Get(kTools, path ? "CHOOSE_PATH" : "CHOOSE_AREA"), entries, chosen))
        return;
    interact_StartDraw(path ? kGestureDrawPath : kGestureDrawArea, static_cast<std::int32_t>(chosen));
}

void maptools_ExportImage() {
    const MapSurface& shown = view_Surface();
    if (!mapsurface_Ready(shown)) return;
    const int paneWidth = std::max(1, shown.pane_width > 0 ? shown.pane_width : shown.width);
    const int paneHeight = std::max(1, shown.height);
    struct Size {
        int w, h;
    };
    const Size sizes[] = {{paneWidth, paneHeight}, {1280, 720}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    std::vector<ChoiceEntry> entries;
    for (std::size_t i = 0; i < std::size(sizes); ++i)
        entries.push_back(
            {text_Printf(kTools, i == 0 ? "SIZE_SHOWN" : "SIZE_ENTRY", {sizes[i].w, sizes[i].h}), std::int64_t(i)});
    std::int64_t chosen = 0;
    if (!maptools_Choose(text_Get(kTools, "EXPORT_IMAGE"), text_Get(kTools, "CHOOSE_SIZE"), entries, chosen)) return;
    const Size size = sizes[std::clamp<std::int64_t>(chosen, 0, std::int64_t(std::size(sizes)) - 1)];

    FileDialogRequest r;
    r.save = true;
    r.title = text_Get(kTools, "EXPORT_IMAGE");
    r.filters = {{text_Get(kTools, "PNG_FILTER_DES"), "*.png"}};
    r.defaultExtension = "png";
    r.promptOverwrite = true;
    if (!page().file_path.empty()) {
        const std::filesystem::path file(page().file_path);
        r.startFolder = file.parent_path().string();
        r.initialName = file.stem().string() + ".png";
    }
    const std::optional<std::string> path = platform().fileDialog(r);
    if (!path) return;

    // The same part of the world as the pane shows, scaled to the chosen width.
    ViewState view = view_State();
    view.zoom = view.zoom * float(size.w) / float(paneWidth);
    auto surface = std::make_unique<MapSurface>();
    if (!mapsurface_Create(*surface, size.w, size.h)) {
        ui_MessageBox(text_Printf(kTools, "IMAGE_TOO_LARGE", {size.w, size.h}), text_Get(kTools, "EXPORT_IMAGE"),
                      MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    render_Draw(*surface, view, GestureState{}, page(), mission_Clipboard());
    if (!platform().writePng(*path, pixelsOf(*surface, size.w))) {
        ui_MessageBox(text_Printf(kTools, "IMAGE_NOT_WRITTEN", {ui_PathText(*path)}), text_Get(kTools, "EXPORT_IMAGE"),
                      MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    maptools_StatusMessage(text_Printf(kTools, "IMAGE_WRITTEN", {ui_PathText(*path), size.w, size.h}));
}

void maptools_Print() {
    MapSurface& shown = view_Surface();
    if (!mapsurface_Ready(shown)) return;
    shell_Render();  // what is printed is the map as it stands now
    const int width = shown.pane_width > 0 ? shown.pane_width : shown.width;
    const std::string heading = missionTitle(page());
    const std::string footer = text_Printf(kTools, "PRINT_FOOTER", {zoom_ScaleText(view_State().zoom)});
    if (platform().printMap(pixelsOf(shown, width), heading, footer))
        maptools_StatusMessage(text_Printf(kTools, "PRINTED", {heading}));
}

void maptools_StatusPointer(int paneX, int paneY) {
    const WorldPoint w = interact_PaneToWorld(interact_Viewport(view_State(), view_Surface()), paneX, paneY);
    platform().statusField(StatusField::Position, text_Printf(kTools, "POSITION", {w.x / 256.0, w.y / 256.0}));
}

void maptools_RefreshStatus() {
    platform().statusField(StatusField::Selection, text_Printf(kTools, "SELECTION", {page().selection.count}));
    platform().statusField(StatusField::Hint, gestureHint());
    platform().statusField(StatusField::Scale, zoom_ScaleText(view_State().zoom));
}

void maptools_StatusMessage(const std::string& text) { platform().statusMessage(text); }
