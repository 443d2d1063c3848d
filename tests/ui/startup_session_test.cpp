// Start-up with its read-ahead against start-up alone, in the real window: the same page,
// terrain, models and title, and the same messages in the same order, whether the mission
// reads cleanly, has a bad line, names a terrain nobody has, or is not there at all.
#include "session_support.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/terrain.h"
#include "mapview/view.h"
#include "mapview/zoom.h"
#include "mission/mission.h"
#include "shell/prefetch.h"

#include <fstream>
#include <string_view>

namespace {

// What a start leaves that the user could tell apart.
struct Started {
    std::vector<std::string> shown;
    std::string tables;  // page 1's tables, byte for byte
    std::string path;
    std::size_t colour = 0, elevation = 0;  // hashes of the terrain maps (0: none)
    int models = 0;                         // item definitions with their model loaded
    std::string title;
    bool scaleShown = false;  // the status bar's scale is the view's, after the zoom to the mission
    bool operator==(const Started&) const = default;
};

template <typename T>
std::size_t hashOf(const LargeArray<T>& map) {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(map.data()), map.size() * sizeof(T)));
}

class StartupSession : public EditorSessionTest {
protected:
    Started startOnce(const std::string& mission, bool readAhead) {
        ShellArgs args;
        args.dataDir = kit;
        args.mission = mission;
        if (readAhead) prefetch_Start(args);
        start(args);
        Started s;
        s.shown = qt.shown;
        const Mission& page = mission_Pages().page[0];
        s.tables.assign(reinterpret_cast<const char*>(static_cast<const MissionTables*>(&page)), sizeof(MissionTables));
        s.path = page.file_path;
        if (page.terrain) {
            s.colour = hashOf(page.terrain->colour);
            s.elevation = hashOf(page.terrain->elevation);
        }
        for (int i = 0; i < itemdef_Count(); ++i) s.models += itemdef_At(i)->model != nullptr;
        s.title = qt.mainWindow().windowTitle().toStdString();
        s.scaleShown = qt.mainWindow().statusText(StatusField::Scale).toStdString() ==
                       zoom_ScaleText(view_State().zoom);
        // As a new process would find it, for the next start.
        TearDown();
        qt.shown.clear();
        SetUp();
        return s;
    }
};

TEST_F(StartupSession, ReadingAheadChangesNothingTheUserCanSee) {
    const std::string source = std::string(SORTIE_SOURCE_DIR) + "/data/missions/";
    const std::string tutorial = readFile(source + "tutorial.mis");
    ASSERT_FALSE(tutorial.empty());
    const auto write = [this](const std::string& name, const std::string& text) {
        std::ofstream(file(name), std::ios::binary) << text;
        return file(name);
    };
    std::string unknownTerrain = tutorial;
    unknownTerrain.replace(unknownTerrain.find("terrain greenvale"), 17, "terrain nowhere");
    const struct {
        const char* what;
        std::string mission;
        bool opens;
    } cases[] = {
        {"the large sample", source + "large.mis", true},
        {"the tutorial", sampleMission, true},
        {"no mission", "", false},
        {"a bad line", write("bad.mis", tutorial + "begin item 0\nwobble 3\nend\n"), false},
        {"an unknown terrain", write("nowhere.mis", unknownTerrain), true},
        {"a missing file", file("gone.mis"), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Started alone = startOnce(c.mission, false);
        const Started ahead = startOnce(c.mission, true);
        EXPECT_EQ(alone.path.empty(), !c.opens);
        EXPECT_TRUE(alone.scaleShown);
        EXPECT_EQ(ahead.shown, alone.shown);
        EXPECT_TRUE(ahead == alone);
    }
}

}  // namespace
