#include "shell/dialogs.h"
#include "shell/shell.h"

#include "support/fake_platform.h"
#include "resources/shell_dialogs.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <string>

using namespace dlgid;

namespace {

constexpr const char* kTexts = R"([Dialog Message]
GET_CENTER = Centre
X_COORD = X
Y_COORD = Y
OK = OK
CANCEL = Cancel
INSERT_ITEM = Insert
TYPE = Type
PEOPLE = People
VEHICLES = Vehicles
RANDOM_FACING = Random facing
VISIBLE_LAYERS = Layers
LAYERNAME = Layer %i
LAYER_NAMES = Layer names
NAME = Name
BRIEFING = Briefing
ABOUT_KZMED = About
ABOUT_VERSION = Version %s
STATUS = Wait
)";

class Dialogs : public ::testing::Test {
protected:
    ScopedFakePlatform ui;
    ScopedTextTable texts{kTexts};
    std::unique_ptr<Mission> page = test_NewMission();
    void SetUp() override { dialogs_Reset(); }
    void TearDown() override { dialogs_Reset(); }
};

std::vector<std::string> entries(FakeDialog& d, int id) {
    std::vector<std::string> out;
    for (int i = 0; i < d.entryCount(id); ++i) out.push_back(d.entryText(id, i));
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Center

TEST_F(Dialogs, CenterShowsWholeMetresRoundedDownAndStoresWhatIsTyped) {
    std::int32_t cx = -1, cy = 256 * 7 + 255;
    CenterDialogProc proc(cx, cy);
    FakeDialog d(proc, &kDlgGetCenter);
    d.init();
    EXPECT_EQ(d.title(), "Centre");
    EXPECT_EQ(d.text(kCenterX), "-1");  // -1/256 m lies in metre -1
    EXPECT_EQ(d.text(kCenterY), "7");
    EXPECT_EQ(d.text(kCenterXLabel), "X");
    d.type(kCenterX, "10");
    d.type(kCenterY, "  -3 ");
    d.click(kIdOk);
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(d.result(), kIdOk);
    EXPECT_EQ(cx, 2560);
    EXPECT_EQ(cy, -768);
}

TEST_F(Dialogs, CenterReadsNonNumbersAsZeroAndCancelKeepsTheCentre) {
    EXPECT_EQ(dialogs_ParseMetres("abc"), 0);
    EXPECT_EQ(dialogs_ParseMetres(""), 0);
    EXPECT_EQ(dialogs_ParseMetres("-"), 0);
    EXPECT_EQ(dialogs_ParseMetres("\t+42m"), 42);
    // Numbers beyond what 32-bit 1/256 m can hold stop at the edge instead of wrapping.
    EXPECT_EQ(dialogs_ParseMetres("99999999999999999"), 8388607);
    EXPECT_EQ(dialogs_ParseMetres("-99999999999999999"), -8388608);

    std::int32_t cx = 512, cy = 1024;
    CenterDialogProc proc(cx, cy);
    FakeDialog d(proc, &kDlgGetCenter);
    d.init();
    d.type(kCenterX, "500");
    d.click(kIdCancel);
    EXPECT_EQ(d.result(), kIdCancel);
    EXPECT_EQ(cx, 512);
    EXPECT_EQ(cy, 1024);

    ui->dialogScripts["GETCENTER"] = [](FakeDialog& fd) {
        fd.setText(kCenterX, "12345678901234567890");  // pasted: only 17 characters count
        fd.setText(kCenterY, "x");
        fd.click(kIdOk);
    };
    EXPECT_TRUE(dialogs_RunCenter(cx, cy));
    EXPECT_EQ(cx, 8388607 * 256);
    EXPECT_EQ(cy, 0);
}

// ---------------------------------------------------------------------------------------
// Insert Item

TEST_F(Dialogs, InsertItemListsTheKindSortedAndHidesHiddenDefinitionsUnlessShowAll) {
    ScopedItemDefs defs({{100, kItemPerson},
                         {200, kItemVehicle},
                         {101, kItemPerson, 0x2000},
                         {102, kItemPerson, 0x0100},
                         {103, kItemPerson, 0x0200}});
    itemdef_At(0)->name[0] = 'Z';  // "Zest item 100" sorts last
    InsertItemDialogProc proc(dialogs_Settings());
    FakeDialog d(proc, &kDlgInsertItem);
    d.init();
    EXPECT_EQ(d.entryCount(kInsertList), 0);  // no kind chosen yet
    d.setCheck(kInsertPeople, kChecked);
    d.click(kInsertPeople);
    EXPECT_EQ(entries(d, kInsertList), (std::vector<std::string>{"Test item 103", "Zest item 100"}));
    EXPECT_EQ(d.entryData(kInsertList, 1), 0);

    dialogs_Settings().showAll = true;
    d.click(kInsertPeople);
    EXPECT_EQ(d.entryCount(kInsertList), 4);
    d.click(kInsertVehicles);
    EXPECT_EQ(entries(d, kInsertList), (std::vector<std::string>{"Test item 200"}));
    EXPECT_EQ(d.check(kInsertPeople), kUnchecked);
    EXPECT_EQ(d.check(kInsertVehicles), kChecked);
}

TEST_F(Dialogs, InsertItemRemembersKindNameAndFacingForTheNextOpening) {
    ScopedItemDefs defs;
    DialogSettings& s = dialogs_Settings();
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        d.click(kInsertVehicles);
        d.choose(kInsertList, 0);
        d.toggle(kInsertRandomFacing);
        d.click(kIdOk);
    };
    EXPECT_TRUE(dialogs_RunInsertItem());
    EXPECT_EQ(s.insertKind, kItemVehicle);
    EXPECT_EQ(s.insertName, "Test item 200");
    EXPECT_TRUE(s.randomFacing);
    EXPECT_FALSE(s.insertCancelled);

    // Opened again: the same kind and entry are chosen; OK with no change keeps them.
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        EXPECT_EQ(d.check(kInsertVehicles), kChecked);
        ASSERT_EQ(d.selection(kInsertList), 0);
        EXPECT_EQ(d.entryText(kInsertList, 0), "Test item 200");
        EXPECT_EQ(d.check(kInsertRandomFacing), kChecked);
        d.toggle(kInsertRandomFacing);  // kept even though the dialog is then cancelled
        d.click(kIdCancel);
    };
    EXPECT_FALSE(dialogs_RunInsertItem());
    EXPECT_TRUE(s.insertCancelled);
    EXPECT_FALSE(s.randomFacing);
    EXPECT_EQ(s.insertName, "Test item 200");

    // A different kind with no row chosen: OK waits for a row and inserts nothing (OK with
    // People ticked and no row once inserted a vehicle nobody picked); the kept choice stays.
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        EXPECT_TRUE(d.isEnabled(kIdOk));  // the kept row is chosen again
        d.click(kInsertPeople);
        EXPECT_FALSE(d.isEnabled(kIdOk));
        d.click(kIdOk);
        EXPECT_FALSE(d.ended());
        d.choose(kInsertList, 1);
        EXPECT_TRUE(d.isEnabled(kIdOk));
        d.choose(kInsertList, -1);
        EXPECT_FALSE(d.isEnabled(kIdOk));
    };
    EXPECT_FALSE(dialogs_RunInsertItem());
    EXPECT_EQ(s.insertKind, kItemVehicle);
    EXPECT_EQ(s.insertName, "Test item 200");
    // First opening of a run: no kind ticked, no list, no OK.
    dialogs_Reset();
    ui->dialogScripts["INSERTITEM"] = [](FakeDialog& d) {
        EXPECT_FALSE(d.isEnabled(kIdOk));
        d.click(kIdOk);
        EXPECT_FALSE(d.ended());
    };
    EXPECT_FALSE(dialogs_RunInsertItem());
    EXPECT_EQ(s.insertKind, 0);

    // Closed by the window (no script ends it): cancelled.
    ui->dialogScripts.erase("INSERTITEM");
    EXPECT_FALSE(dialogs_RunInsertItem());
    EXPECT_TRUE(s.insertCancelled);
}

// ---------------------------------------------------------------------------------------
// Visible Layers

int g_renders = 0;
void countRender() { ++g_renders; }

TEST_F(Dialogs, VisibleLayersKeepsTheCurrentLayerShownAndRendersEveryChange) {
    g_renders = 0;
    mission_SetText(page->layers[2].description, "Bridge");
    page->info.current_layer = 3;
    page->info.hidden_layers = (1u << 3) | (1u << 5);
    VisibleLayersDialogProc proc(*page, countRender);
    FakeDialog d(proc, &kDlgVisibleLayers);
    d.init();
    EXPECT_EQ(d.title(), "Layers");
    EXPECT_EQ(d.text(kLayerCheckFirst + 0), "Layer 1");
    EXPECT_EQ(d.text(kLayerCheckFirst + 2), " 3 - Bridge");
    EXPECT_EQ(d.entryText(kDefaultLayerList, 2), " 3 - Bridge");
    EXPECT_EQ(d.entryCount(kDefaultLayerList), 16);
    EXPECT_EQ(d.selection(kDefaultLayerList), 3);
    EXPECT_EQ(page->info.hidden_layers, 1u << 5);  // the current layer's bit went at once
    EXPECT_EQ(d.check(kLayerCheckFirst + 3), kChecked);
    EXPECT_EQ(d.check(kLayerCheckFirst + 5), kUnchecked);
    EXPECT_EQ(g_renders, 0);
    // The current layer's box alone cannot be used, and its tooltip says why.
    for (int n = 0; n < 16; ++n) {
        EXPECT_EQ(d.isEnabled(kLayerCheckFirst + n), n != 3) << n;
        EXPECT_EQ(d.control(kLayerCheckFirst + n).toolTip.empty(), n != 3) << n;
    }

    d.toggle(kLayerCheckFirst + 3);  // unticking the current layer is undone at once
    EXPECT_EQ(d.check(kLayerCheckFirst + 3), kChecked);
    EXPECT_EQ(page->info.hidden_layers, 1u << 5);
    d.toggle(kLayerCheckFirst + 5);
    EXPECT_EQ(page->info.hidden_layers, 0u);
    d.toggle(kLayerCheckFirst + 15);
    EXPECT_EQ(page->info.hidden_layers, 1u << 15);
    EXPECT_EQ(g_renders, 3);

    d.click(kHideAllLayers);
    EXPECT_EQ(page->info.hidden_layers, ~(1u << 3));
    for (int n = 0; n < 16; ++n) EXPECT_EQ(d.check(kLayerCheckFirst + n), n == 3 ? kChecked : kUnchecked);
    d.click(kIdOk);
    EXPECT_TRUE(d.ended());
    EXPECT_EQ(page->info.hidden_layers, ~(1u << 3));  // changes stay on OK
    d.click(kShowAllLayers);
    EXPECT_EQ(page->info.hidden_layers, 0u);
}

TEST_F(Dialogs, VisibleLayersTakesTheFirstChoiceOfDefaultLayer) {
    page->info.hidden_layers = 1u << 7;
    VisibleLayersDialogProc proc(*page, nullptr);
    FakeDialog d(proc, &kDlgVisibleLayers);
    d.init();
    // The user's very first choice counts: nothing the dialog does itself notifies.
    d.choose(kDefaultLayerList, 7);
    EXPECT_EQ(page->info.current_layer, 7);
    EXPECT_EQ(page->info.hidden_layers, 0u);  // the new current layer is shown
    EXPECT_EQ(d.check(kLayerCheckFirst + 7), kChecked);
    EXPECT_FALSE(d.isEnabled(kLayerCheckFirst + 7));
    EXPECT_TRUE(d.isEnabled(kLayerCheckFirst + 0));
    d.choose(kDefaultLayerList, -1);  // no selection: ignored
    EXPECT_EQ(page->info.current_layer, 7);
}

TEST_F(Dialogs, VisibleLayersSurvivesABadCurrentLayer) {
    page->info.current_layer = 40;  // from a damaged file
    page->info.hidden_layers = 0xFFFFu;
    VisibleLayersDialogProc proc(*page, nullptr);
    FakeDialog d(proc, &kDlgVisibleLayers);
    d.init();
    EXPECT_EQ(d.selection(kDefaultLayerList), -1);
    EXPECT_EQ(page->info.hidden_layers, 0xFFFFu);
}

// ---------------------------------------------------------------------------------------
// Layer Names

TEST_F(Dialogs, LayerNamesEditsTheSelectedLayerAndKeepsNamesNotTouched) {
    mission_SetText(page->layers[0].description, "Base");
    mission_SetText(page->layers[4].description, "Convoy");
    LayerNamesDialogProc proc(*page);
    FakeDialog d(proc, &kDlgLayerNames);
    d.init();
    EXPECT_EQ(d.title(), "Layer names");
    EXPECT_EQ(d.entryText(kLayerNameList, 0), " 1 - Base");
    EXPECT_EQ(d.entryText(kLayerNameList, 1), " 2 - ");
    EXPECT_EQ(d.selection(kLayerNameList), 0);
    EXPECT_EQ(d.text(kLayerNameEdit), "Base");

    // Choosing another layer without typing does not wipe layer 1's name.
    d.choose(kLayerNameList, 4);
    EXPECT_EQ(mission_Text(page->layers[0].description), "Base");
    EXPECT_EQ(d.text(kLayerNameEdit), "Convoy");

    d.type(kLayerNameEdit, "Convoy east");
    EXPECT_EQ(mission_Text(page->layers[4].description), "Convoy east");
    EXPECT_EQ(d.entryText(kLayerNameList, 4), " 5 - Convoy east");
    EXPECT_EQ(d.selection(kLayerNameList), 4);
    EXPECT_EQ(d.entryCount(kLayerNameList), 16);

    d.choose(kLayerNameList, 15);
    d.type(kLayerNameEdit, std::string(100, 'n'));  // the edit takes 79
    d.click(kIdOk);
    EXPECT_EQ(mission_Text(page->layers[15].description), std::string(79, 'n'));
    EXPECT_EQ(mission_Text(page->layers[0].description), "Base");
    EXPECT_EQ(mission_Text(page->layers[4].description), "Convoy east");
}

TEST_F(Dialogs, LayerNamesOkWithoutTypingChangesNothing) {
    mission_SetText(page->layers[0].description, "Keep me");
    ui->dialogScripts["LAYERNAMES"] = [](FakeDialog& d) { d.click(kIdOk); };
    dialogs_RunLayerNames(*page);
    EXPECT_EQ(mission_Text(page->layers[0].description), "Keep me");
}

// ---------------------------------------------------------------------------------------
// Briefing, About

TEST_F(Dialogs, BriefingIsCutAt255AndCancelDiscardsTheEdit) {
    mission_SetText(page->info.briefing, "Old\nlines");
    ui->dialogScripts["EDITBRIEFING"] = [](FakeDialog& d) {
        EXPECT_EQ(d.text(kBriefingEdit), "Old\nlines");
        d.type(kBriefingEdit, "changed");
        d.click(kIdCancel);
    };
    EXPECT_FALSE(dialogs_RunBriefing(*page));
    EXPECT_EQ(mission_Text(page->info.briefing), "Old\nlines");

    ui->dialogScripts["EDITBRIEFING"] = [](FakeDialog& d) {
        d.type(kBriefingEdit, std::string(300, 'b'));
        EXPECT_EQ(d.text(kBriefingEdit).size(), 255u);
        d.click(kIdOk);
    };
    EXPECT_TRUE(dialogs_RunBriefing(*page));
    EXPECT_EQ(mission_Text(page->info.briefing), std::string(255, 'b'));

    // Text that reaches the edit past its limit (pasted by a toolkit) is still cut.
    ui->dialogScripts["EDITBRIEFING"] = [](FakeDialog& d) {
        d.setText(kBriefingEdit, std::string(400, 'c'));
        d.click(kIdOk);
    };
    EXPECT_TRUE(dialogs_RunBriefing(*page));
    EXPECT_EQ(mission_Text(page->info.briefing), std::string(255, 'c'));
}

TEST_F(Dialogs, AboutAndStatusSetTheirTexts) {
    AboutDialogProc about;
    FakeDialog d(about, &kDlgAbout);
    d.init();
    EXPECT_EQ(d.title(), "About");
    EXPECT_EQ(d.text(kAboutVersion), "Version " + std::string(shell_Version()));
    EXPECT_STRNE(shell_Version(), "unknown");
    EXPECT_EQ(d.text(kAboutHelp), "Bad Texttool String");  // a key the table lacks
    d.click(kIdOk);
    EXPECT_EQ(d.result(), kIdOk);

    StatusDialogProc status("Loading jeep");
    FakeDialog s(status, &kDlgStatus);
    s.init();
    EXPECT_EQ(s.title(), "Wait");
    EXPECT_EQ(s.text(kStatusLine), "Loading jeep");
}
