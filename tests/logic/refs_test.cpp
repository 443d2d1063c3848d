// Where-used on the tutorial mission: what refers to its groups, its path, its area and its
// events, and what an item's references are.
#include "logic/refs.h"

#include "mission/metafile.h"
#include "mission/mission.h"
#include "support/files_env.h"
#include "support/logic_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace {

struct Ref {
    ReferenceFrom from;
    int event, row, item;
    bool operator==(const Ref&) const = default;
};

std::ostream& operator<<(std::ostream& o, const Ref& r) {
    return o << "{" << int(r.from) << " e" << r.event << " r" << r.row << " i" << r.item << "}";
}

constexpr auto T = ReferenceFrom::Trigger;
constexpr auto A = ReferenceFrom::Action;
constexpr auto I = ReferenceFrom::Item;

class Refs : public ::testing::Test {
protected:
    void SetUp() override {
        MetafileReadOptions o;
        o.loadTerrain = false;
        const std::string tutorial = std::string(SORTIE_SOURCE_DIR) + "/data/missions/tutorial.mis";
        ASSERT_EQ(metafile_Read(*m_, tutorial.c_str(), o), 1);
    }
    std::vector<Ref> find(RefKind kind, int n) {
        std::vector<Ref> out;
        for (const Reference& r : refs_Find(*m_, kind, n)) out.push_back({r.from, r.event, r.row, r.item});
        return out;
    }

    FilesEnv env_;
    ScopedLogicText text_;
    std::unique_ptr<Mission> m_ = files_NewMission();
};

TEST_F(Refs, TheTutorialsRecords) {
    struct Case {
        const char* name;
        RefKind kind;
        int number;
        std::vector<Ref> want;
    };
    // Group 1: the blue squad (items 0..3), named by "squad lost" and "squad reaches the
    // village". Group 2: the red guards, named by "village taken". Path 1: the squad follows
    // it and four markers outline it. Area 1: its corners and the trigger that tests it.
    const Case cases[] = {
        {"group 1",
         RefKind::Group,
         1,
         {{T, 1, 0, -1}, {T, 2, 0, -1}, {I, -1, -1, 0}, {I, -1, -1, 1}, {I, -1, -1, 2}, {I, -1, -1, 3}}},
        {"group 2", RefKind::Group, 2, {{T, 0, 0, -1}, {I, -1, -1, 8}, {I, -1, -1, 9}, {I, -1, -1, 10}}},
        {"group 3, unused", RefKind::Group, 3, {}},
        {"path 1",
         RefKind::Path,
         1,
         {{I, -1, -1, 0},
          {I, -1, -1, 1},
          {I, -1, -1, 2},
          {I, -1, -1, 3},
          {I, -1, -1, 4},
          {I, -1, -1, 5},
          {I, -1, -1, 6},
          {I, -1, -1, 7}}},
        {"event 0: nothing names it", RefKind::Event, 0, {}},
        {"event 9 does not exist", RefKind::Event, 9, {}},
        {"group 64 does not exist", RefKind::Group, 64, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(find(c.kind, c.number), c.want);
    }
    // Area 1: the trigger of event 2 and the area's corners, whatever items they are.
    const auto area = find(RefKind::Area, 1);
    ASSERT_FALSE(area.empty());
    EXPECT_EQ(area.front(), (Ref{T, 2, 0, -1}));
    for (std::size_t k = 1; k < area.size(); ++k) {
        EXPECT_EQ(area[k].from, I);
        EXPECT_EQ(m_->items[std::size_t(area[k].item)].type_id, kAreaMarkerType);
    }
    EXPECT_GE(area.size(), 3u);
}

TEST_F(Refs, AnItemStandsForItsGroupAndPath) {
    // Item 0 is in group 1 and follows path 1: both records' references, each once.
    const auto item = find(RefKind::Item, 0);
    auto group = find(RefKind::Group, 1);
    const auto path = find(RefKind::Path, 1);
    for (const Ref& r : path)
        if (std::find(group.begin(), group.end(), r) == group.end()) group.push_back(r);
    std::sort(group.begin(), group.end(), [](const Ref& a, const Ref& b) {
        return std::tie(a.from, a.event, a.row, a.item) < std::tie(b.from, b.event, b.row, b.item);
    });
    EXPECT_EQ(item, group);
    EXPECT_TRUE(find(RefKind::Item, m_->item_count).empty());
}

TEST_F(Refs, RowCountsAndARowNamingTwice) {
    EXPECT_EQ(refs_RowCount(*m_, RefKind::Group, 1), 2);
    // A second event naming event 2 and group 1 in two variables of one row: listed once.
    m_->event_count = 4;
    MissionEvent& e = m_->events[3];
    e.trigger_count = 2;
    e.triggers[0] = EventTrigger{0, 2, 0, 2, 0, 0, 0, 0};
    e.triggers[1] = EventTrigger{0, 1, 1, 1, 1, 0, 0, 0};  // group 1 has seen group 1
    EXPECT_EQ(find(RefKind::Event, 2), (std::vector<Ref>{{T, 3, 0, -1}}));
    EXPECT_EQ(refs_RowCount(*m_, RefKind::Group, 1), 3);
    // Every reference reads as one line that names the record's holder.
    for (const Reference& r : refs_Find(*m_, RefKind::Group, 1))
        EXPECT_FALSE(refs_Describe(*m_, r, RefKind::Group, 1).empty());
}

}  // namespace
