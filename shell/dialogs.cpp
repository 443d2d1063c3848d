#include "shell/dialogs.h"

#include "core/format.h"
#include "core/number.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "mission/mission.h"
#include "platform/number_fields.h"
#include "resources/shell_dialogs.h"
#include "shell/shell.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>

using namespace dlgid;

namespace {

constexpr const char* kMsg = "Dialog Message";

DialogSettings g_settings;

// The radio buttons of Insert Item and the item kinds they stand for.
struct KindRadio {
    int radio;
    std::int32_t kind;
};
constexpr std::array<KindRadio, 6> kKindRadios{{
    {kInsertDecorations, kItemDecoration},
    {kInsertPeople, kItemPerson},
    {kInsertBuildings, kItemBuilding},
    {kInsertVehicles, kItemVehicle},
    {kInsertObjects, kItemObject},
    {kInsertMarkers, kItemMarker},
}};

bool validLayer(std::int32_t layer) { return layer >= 0 && layer < kMaxLayers; }

}  // namespace

DialogSettings& dialogs_Settings() { return g_settings; }

void dialogs_Reset() { g_settings = DialogSettings{}; }

std::int32_t dialogs_InsertKindOfRadio(int radioId) {
    for (const KindRadio& k : kKindRadios)
        if (k.radio == radioId) return k.kind;
    return 0;
}

int dialogs_InsertRadioOfKind(std::int32_t kind) {
    for (const KindRadio& k : kKindRadios)
        if (k.kind == kind) return k.radio;
    return 0;
}

std::int32_t dialogs_ParseMetres(std::string_view text) {
    // The centre is kept in 1/256 m in 32 bits, so metres beyond +-8388607 cannot be shown;
    // a longer number is held at the edge instead of wrapping round to the far side.
    return std::clamp(number_ClampedInt(text), kMetresMin, kMetresMax);
}

// ---------------------------------------------------------------------------------------
// Center

void CenterDialogProc::onInit(Dialog& dlg) {
    dlg.setTextLimit(kCenterX, kCenterInputMax);
    dlg.setTextLimit(kCenterY, kCenterInputMax);
    dlg.setText(kCenterX, text_Format("%i", {dialogs_Metres(x_)}));
    dlg.setText(kCenterY, text_Format("%i", {dialogs_Metres(y_)}));
}

void CenterDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (code != Notify::Clicked) return;
    if (id == kIdOk) {
        if (!ui_CheckNumbers(dlg)) return;
        const std::string tx = dlg.text(kCenterX), ty = dlg.text(kCenterY);
        x_ = dialogs_ParseMetres(std::string_view(tx).substr(0, kCenterInputMax)) * 256;
        y_ = dialogs_ParseMetres(std::string_view(ty).substr(0, kCenterInputMax)) * 256;
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        dlg.end(kIdCancel);
    }
}

// ---------------------------------------------------------------------------------------
// Insert Item

void InsertItemDialogProc::onInit(Dialog& dlg) {
    if (const int radio = dialogs_InsertRadioOfKind(s_.insertKind)) {
        chooseKind(dlg, radio);
        const int n = dlg.entryCount(kInsertList);
        for (int i = 0; i < n; ++i) {
            if (dlg.entryText(kInsertList, i) == s_.insertName) {
                dlg.setSelection(kInsertList, i);
                break;
            }
        }
    }
    dlg.setCheck(kInsertRandomFacing, s_.randomFacing ? kChecked : kUnchecked);
    // OK inserts what the user chose: it waits for a row of the list.
    dlg.enable(kIdOk, dlg.selection(kInsertList) >= 0);
}

// Checks the radio button and lists the definitions of its kind.
void InsertItemDialogProc::chooseKind(Dialog& dlg, int radioId) {
    for (const KindRadio& k : kKindRadios) dlg.setCheck(k.radio, k.radio == radioId ? kChecked : kUnchecked);
    const std::int32_t kind = dialogs_InsertKindOfRadio(radioId);
    dlg.clearEntries(kInsertList);
    const std::int32_t count = itemdef_Count();
    for (std::int32_t i = 0; i < count; ++i) {
        const ItemDef* def = itemdef_At(i);
        if (!def || def->type != kind || !itemdef_Listed(*def, s_.showAll)) continue;
        dlg.addEntry(kInsertList, mission_Text(def->name), i);
    }
}

void InsertItemDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == kInsertList && code == Notify::SelChange) dlg.enable(kIdOk, dlg.selection(kInsertList) >= 0);
    if (code != Notify::Clicked) return;
    if (dialogs_InsertKindOfRadio(id) != 0) {
        chooseKind(dlg, id);
        dlg.enable(kIdOk, false);  // the new list has no row chosen yet
    } else if (id == kInsertRandomFacing) {
        s_.randomFacing = dlg.check(kInsertRandomFacing) == kChecked;
    } else if (id == kIdOk) {
        // Without a chosen row there is nothing to insert (Enter while OK is disabled).
        const int sel = dlg.selection(kInsertList);
        if (sel < 0) return;
        s_.insertCancelled = false;
        for (const KindRadio& k : kKindRadios)
            if (dlg.check(k.radio) == kChecked) s_.insertKind = k.kind;
        s_.insertName = dlg.entryText(kInsertList, sel).substr(0, kInsertNameMax);
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        s_.insertCancelled = true;
        dlg.end(kIdCancel);
    }
}

// ---------------------------------------------------------------------------------------
// Visible Layers

void VisibleLayersDialogProc::onInit(Dialog& dlg) {
    dlg.clearEntries(kDefaultLayerList);
    for (int layer = 0; layer < kMaxLayers; ++layer) {
        const std::string caption = mission_LayerCaption(page_, layer);
        dlg.setText(kLayerCheckFirst + layer, caption);
        dlg.addEntry(kDefaultLayerList, caption, layer);
    }
    const std::int32_t current = page_.info.current_layer;
    dlg.setSelection(kDefaultLayerList, validLayer(current) ? current : -1);
    refresh(dlg);
}

// The current layer is always shown; every box shows whether its layer is.
void VisibleLayersDialogProc::refresh(Dialog& dlg) {
    const std::int32_t current = page_.info.current_layer;
    if (validLayer(current)) page_.info.hidden_layers &= ~(1u << current);
    for (int layer = 0; layer < kMaxLayers; ++layer) {
        const bool shown = (page_.info.hidden_layers & (1u << layer)) == 0;
        const int box = kLayerCheckFirst + layer;
        dlg.setCheck(box, shown ? kChecked : kUnchecked);
        // The box of the layer new items go to cannot hide it, and says why.
        dlg.enable(box, layer != current);
        dlg.setToolTip(box, layer == current ? text_Get(kMsg, "NEW_ITEMS_LAYER_SHOWN") : "");
    }
}

void VisibleLayersDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    std::uint32_t& mask = page_.info.hidden_layers;
    if (id >= kLayerCheckFirst && id < kLayerCheckFirst + kMaxLayers && code == Notify::Clicked) {
        const std::uint32_t bit = 1u << (id - kLayerCheckFirst);
        if (dlg.check(id) == kChecked)
            mask &= ~bit;
        else
            mask |= bit;
    } else if (id == kShowAllLayers && code == Notify::Clicked) {
        mask = 0;
    } else if (id == kHideAllLayers && code == Notify::Clicked) {
        mask = 0xFFFFFFFFu;
    } else if (id == kDefaultLayerList && code == Notify::SelChange) {
        // Only the user's own choices arrive here (the program's setSelection never
        // notifies), so every one of them counts.
        const int sel = dlg.selection(kDefaultLayerList);
        if (!validLayer(sel)) return;
        page_.info.current_layer = sel;
    } else if ((id == kIdOk || id == kIdCancel) && code == Notify::Clicked) {
        dlg.end(id);
        return;
    } else {
        return;
    }
    refresh(dlg);
    if (render_) render_();
}

// ---------------------------------------------------------------------------------------
// Layer Names

void LayerNamesDialogProc::onInit(Dialog& dlg) {
    dlg.clearEntries(kLayerNameList);
    for (int layer = 0; layer < kMaxLayers; ++layer)
        dlg.addEntry(kLayerNameList, mission_LayerCaption(page_, layer, false), layer);
    dlg.setSelection(kLayerNameList, 0);
    edited_ = 0;
    dlg.setTextLimit(kLayerNameEdit, kLayerNameMax);
    // The edit shows the name of the layer it edits from the start: an empty edit would be
    // stored over layer 1's name by the first click elsewhere or by OK.
    dlg.setText(kLayerNameEdit, mission_Text(page_.layers[0].description));
}

void LayerNamesDialogProc::storeName(Dialog& dlg) {
    const std::string text = dlg.text(kLayerNameEdit);
    Layer& layer = page_.layers[static_cast<std::size_t>(edited_)];
    mission_SetText(layer.description, kLayerNameMax + 1, std::string_view(text).substr(0, kLayerNameMax));
}

void LayerNamesDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (id == kLayerNameList && code == Notify::SelChange) {
        storeName(dlg);
        const int sel = dlg.selection(kLayerNameList);
        if (validLayer(sel)) edited_ = sel;
        dlg.setText(kLayerNameEdit, mission_Text(page_.layers[static_cast<std::size_t>(edited_)].description));
    } else if (id == kLayerNameEdit && code == Notify::Changed) {
        storeName(dlg);
        dlg.removeEntry(kLayerNameList, edited_);
        dlg.insertEntry(kLayerNameList, edited_, mission_LayerCaption(page_, edited_, false), edited_);
        dlg.setSelection(kLayerNameList, edited_);
    } else if (id == kIdOk && code == Notify::Clicked) {
        storeName(dlg);
        dlg.end(kIdOk);
    } else if (id == kIdCancel && code == Notify::Clicked) {
        dlg.end(kIdCancel);  // Escape: what was typed so far is already stored
    }
}

// ---------------------------------------------------------------------------------------
// Briefing

void BriefingDialogProc::onInit(Dialog& dlg) {
    dlg.setTextLimit(kBriefingEdit, kBriefingMax);
    dlg.setText(kBriefingEdit, mission_Text(page_.info.briefing));
}

void BriefingDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (code != Notify::Clicked) return;
    if (id == kIdOk) {
        const std::string text = dlg.text(kBriefingEdit);
        mission_SetText(page_.info.briefing, std::string_view(text).substr(0, kBriefingMax));
        dlg.end(kIdOk);
    } else if (id == kIdCancel) {
        dlg.end(kIdCancel);
    }
}

// ---------------------------------------------------------------------------------------
// About and Status

void AboutDialogProc::onInit(Dialog& dlg) {
    dlg.setText(kAboutVersion, text_Printf(kMsg, "ABOUT_VERSION", {shell_Version()}));
}

void AboutDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (code == Notify::Clicked && (id == kIdOk || id == kIdCancel)) dlg.end(id);
}

void StatusDialogProc::onInit(Dialog& dlg) { dlg.setText(kStatusLine, line_); }

void StatusDialogProc::setLine(Dialog& dlg, std::string_view line) {
    line_ = std::string(line);
    dlg.setText(kStatusLine, line_);
}

void StatusDialogProc::onCommand(Dialog& dlg, int id, Notify code) {
    if (code == Notify::Clicked && (id == kIdOk || id == kIdCancel)) dlg.end(id);
}

// ---------------------------------------------------------------------------------------
// Running them

bool dialogs_RunCenter(std::int32_t& centerX, std::int32_t& centerY) {
    CenterDialogProc proc(centerX, centerY);
    return platform().runDialog("GETCENTER", proc) == kIdOk;
}

bool dialogs_RunInsertItem() {
    InsertItemDialogProc proc(g_settings);
    const int r = platform().runDialog("INSERTITEM", proc);
    // A dialog closed by other means than its buttons counts as cancelled.
    if (r != kIdOk) g_settings.insertCancelled = true;
    return !g_settings.insertCancelled;
}

bool dialogs_ChooseInsertItem(std::string& defName, bool& randomFacing) {
    if (!dialogs_RunInsertItem()) return false;
    defName = dialogs_Settings().insertName;
    randomFacing = dialogs_Settings().randomFacing;
    return true;
}

void dialogs_RunVisibleLayers(Mission& page, void (*render)()) {
    VisibleLayersDialogProc proc(page, render);
    platform().runDialog("VISIBLELAYERS", proc);
}

void dialogs_RunLayerNames(Mission& page) {
    LayerNamesDialogProc proc(page);
    platform().runDialog("LAYERNAMES", proc);
}

bool dialogs_RunBriefing(Mission& page) {
    BriefingDialogProc proc(page);
    return platform().runDialog("EDITBRIEFING", proc) == kIdOk;
}

void dialogs_RunAbout() {
    AboutDialogProc proc;
    platform().runDialog("ABOUT_KZMED", proc);
}
