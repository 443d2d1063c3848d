// Loading what a page draws from the game data: its terrain's maps, and the models its
// placed items need (after a mission is opened, an item inserted, or the item attributes
// editor used).
#include "mission/page_load.h"

#include "gamedata/model.h"
#include "gamedata/terrain.h"
#include "core/text.h"
#include "mission/index.h"
#include "mission/mission.h"
#include "platform/ui.h"

#include <algorithm>
#include <memory>
#include <cstring>
#include <initializer_list>

namespace {

void loadModels(std::initializer_list<const Mission*> pages) {
    std::vector<std::int32_t> defs;
    const auto index = std::make_unique<MissionIndex>();
    for (const Mission* page : pages) {
        mission_BuildIndex(*page, *index);
        defs.insert(defs.end(), index->def_index.begin(), index->def_index.begin() + index->item_count);
    }
    model_LoadForDefs(defs);
}

}  // namespace

void pageload_Models() {
    const MissionPages& pages = mission_Pages();
    loadModels({&pages.page[0], &pages.page[1]});
}

void pageload_Models(const Mission& page) { loadModels({&page}); }

int pageload_TerrainMaps(Mission& page) {
    // Loading sizes and clears the maps itself: a new set is left unsized until then, so that
    // its megabytes are not cleared twice.
    if (!page.terrain) page.terrain = TerrainMapsPtr(new TerrainMaps, terrain_FreeMaps);
    char name[sizeof page.info.terrain + 1] = {};
    std::memcpy(name, page.info.terrain, sizeof page.info.terrain);
    if (name[0] == '\0') return terrain_LoadMaps(*page.terrain, name);
    // A terrain takes a moment to load: the status box says what the editor is doing.
    Platform& ui = platform();
    ui.statusOpen(text_Get("Dialog Message", "STATUSDIALOG"));
    ui.statusLine(text_Printf("Dialog Message", "LOADING...", {std::string_view(name)}));
    const int rc = terrain_LoadMaps(*page.terrain, name);
    ui.statusClose();
    return rc;
}
