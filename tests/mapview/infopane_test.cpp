// The texts of the two information panes, line by line.
#include "mapview/infopane.h"

#include "mapview/view.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> texts(const std::vector<PaneLine>& lines) {
    std::vector<std::string> out;
    for (const PaneLine& l : lines) out.push_back(l.text);
    return out;
}

}  // namespace

TEST(InfoPanes, CentreLineInMetres) {
    ScopedTextTable table(test_ReadSourceFile("data/text/shell.txt"));
    ViewState v;
    v.center_x = -128;
    v.center_y = 256 * 300;
    auto lines = infopane_CentreLines(v);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, 5);
    EXPECT_EQ(lines[0].y, 5);
    EXPECT_EQ(lines[0].text, "Centre: x -0.5 m, y 300.0 m");
}

TEST(InfoPanes, SelectionTextLayoutAndDetailsOfTheLastSelected) {
    ScopedTextTable table(test_ReadSourceFile("data/text/shell.txt") + "\n[Item Type]\nTYPE_OBJECT = Object\n");
    ScopedItemDefs defs;
    auto page = test_NewMission();
    EXPECT_EQ(texts(infopane_SelectionLines(*page, {8, 16})), std::vector<std::string>{"Nothing selected"});

    const int a = test_AddItem(*page, kTestJeep, 256, 0, 0);
    const int b = test_AddItem(*page, kTestCrate, -1, 255, 256);
    page->items[b].heading = 270;
    page->items[b].waypoint_id = 4;
    page->items[b].wpnumber = 2;
    mission_SetText(page->waypoints[4].description, "Patrol");
    page->items[b].group_id = 3;  // unnamed group 3
    page->items[b].layer = 0;
    mission_SetText(page->layers[0].description, "Everything");  // as Layer Names shows it
    mission_Select(*page, a);
    mission_Select(*page, b);
    auto lines = infopane_SelectionLines(*page, {8, 16});
    const std::vector<std::string> want = {"2 selected",
                                           "Item 1",
                                           std::string(itemdef_At(itemdef_FindByType(kTestCrate))->name),
                                           "Id " + std::to_string(page->items[b].id),
                                           "Object",
                                           "Heading 270",
                                           "Path 4 Patrol, point 2",
                                           "X -1 m",
                                           "Y 0 m",
                                           "Z 1 m",
                                           "Layer:",
                                           " 1 - Everything",
                                           "Group:",
                                           "3"};
    EXPECT_EQ(texts(lines), want);
    // Positions: down ch + ch/2 after the count, indented by cw for the details, back out
    // for the two headings.
    EXPECT_EQ(lines[0].y, 5);
    EXPECT_EQ(lines[1].y, 5 + 24);
    EXPECT_EQ(lines[1].x, 5);
    EXPECT_EQ(lines[2].x, 13);
    EXPECT_EQ(lines[9].y, 5 + 24 + 16 * 8);
    EXPECT_EQ(lines[10].x, 5);
    EXPECT_EQ(lines[10].y, lines[9].y + 16 + 24);
    EXPECT_EQ(lines[11].x, 13);
    EXPECT_EQ(lines[12].y, lines[11].y + 24);

    // Named layer and group; group 0 shows the "none" text.
    mission_SetText(page->layers[2].description, "North");
    page->items[b].layer = 2;
    mission_SetText(page->groups[3].description, "Alpha");
    lines = infopane_SelectionLines(*page, {8, 16});
    EXPECT_EQ(lines[11].text, " 3 - North");  // as in Layer Names
    EXPECT_EQ(lines[13].text, "3 - Alpha");
    page->items[b].group_id = 0;
    EXPECT_EQ(infopane_SelectionLines(*page, {8, 16})[13].text, "None");
}
