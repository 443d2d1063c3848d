// The shell's small dialogs: Center, Insert Item, Visible Layers, Layer Names, Briefing,
// About and the Status box. Each is a dialog procedure that talks to its template's controls
// by id; every visible text comes from section "Dialog Message" of the string table when the
// dialog opens. The Insert Item choices are kept for the whole run in DialogSettings.
#pragma once

#include "platform/ui.h"

#include <cstdint>
#include <string>

struct Mission;

// What the dialogs remember from one opening to the next, for the whole run.
struct DialogSettings {
    std::int32_t insertKind = 0;   // item kind of the last OK (0: none chosen yet)
    std::string insertName;        // definition name of the last OK (at most 79 characters)
    bool randomFacing = false;     // kept as soon as the box is clicked, even on Cancel
    bool insertCancelled = false;  // the last Insert Item was cancelled
    bool showAll = false;          // /SHOWALL: hidden definitions are listed too
};
DialogSettings& dialogs_Settings();
// Everything back to its start value (tests).
void dialogs_Reset();

// Longest texts the dialogs let through.
constexpr int kInsertNameMax = 79;
constexpr int kLayerNameMax = 79;
constexpr int kBriefingMax = 255;
constexpr int kCenterInputMax = 17;

// The item kind a radio button of Insert Item stands for (0: not one of them), and back.
std::int32_t dialogs_InsertKindOfRadio(int radioId);
int dialogs_InsertRadioOfKind(std::int32_t kind);

// The Center dialog's reading of a number: leading blanks skipped, an optional sign, then
// the leading digits (0 when there are none), held to what a centre in 1/256 m can take.
std::int32_t dialogs_ParseMetres(std::string_view text);
// Whole metres of a position in 1/256 m, rounded toward minus infinity.
inline std::int32_t dialogs_Metres(std::int32_t v) { return v >> 8; }

// ---------------------------------------------------------------------------------------
// Dialog procedures

// GETCENTER: the view centre in whole metres; OK stores both values.
class CenterDialogProc : public DialogProc {
public:
    CenterDialogProc(std::int32_t& centerX, std::int32_t& centerY) : x_(centerX), y_(centerY) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    std::int32_t& x_;
    std::int32_t& y_;
};

// INSERTITEM: the kind and definition of the next inserted item, and Random Facing.
class InsertItemDialogProc : public DialogProc {
public:
    explicit InsertItemDialogProc(DialogSettings& settings) : s_(settings) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void chooseKind(Dialog& dlg, int radioId);
    DialogSettings& s_;
};

// VISIBLELAYERS: which layers the map hides and the page's current layer. Every change is
// shown on the map at once through render.
class VisibleLayersDialogProc : public DialogProc {
public:
    VisibleLayersDialogProc(Mission& page, void (*render)()) : page_(page), render_(render) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void refresh(Dialog& dlg);
    Mission& page_;
    void (*render_)();
};

// LAYERNAMES: the names of the page's 16 layers.
class LayerNamesDialogProc : public DialogProc {
public:
    explicit LayerNamesDialogProc(Mission& page) : page_(page) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    void storeName(Dialog& dlg);
    Mission& page_;
    int edited_ = 0;
};

// EDITBRIEFING: the page's briefing text.
class BriefingDialogProc : public DialogProc {
public:
    explicit BriefingDialogProc(Mission& page) : page_(page) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;

private:
    Mission& page_;
};

// ABOUT_KZMED.
class AboutDialogProc : public DialogProc {
public:
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;
};

// STATUSDIALOG: the title and one centred progress line. The platform's modeless status
// box runs it while models load; setLine shows the latest line.
class StatusDialogProc : public DialogProc {
public:
    explicit StatusDialogProc(std::string line = {}) : line_(std::move(line)) {}
    void onInit(Dialog& dlg) override;
    void onCommand(Dialog& dlg, int id, Notify code) override;
    void setLine(Dialog& dlg, std::string_view line);

private:
    std::string line_;
};

// ---------------------------------------------------------------------------------------
// Running them

// Center on this centre (1/256 m). true when OK changed it.
bool dialogs_RunCenter(std::int32_t& centerX, std::int32_t& centerY);
// Insert Item with the kept settings. true when OK was chosen.
bool dialogs_RunInsertItem();
// The same for the map's insert mode: on OK, the chosen definition name and the facing box.
bool dialogs_ChooseInsertItem(std::string& defName, bool& randomFacing);
void dialogs_RunVisibleLayers(Mission& page, void (*render)());
void dialogs_RunLayerNames(Mission& page);
// true when OK stored a new briefing.
bool dialogs_RunBriefing(Mission& page);
void dialogs_RunAbout();
