// Loading the models the placed items of both pages need (after a mission is opened, an
// item inserted, or the item attributes editor used).
#include "gamedata/model.h"

#include "mission/mission.h"

#include <algorithm>

void model_LoadForItems() {
    std::vector<std::int32_t> defs;
    for (const Mission& page : mission_Pages().page) {
        const std::int32_t n = std::min<std::int32_t>(std::max(page.item_count, 0), static_cast<std::int32_t>(page.items.size()));
        for (std::int32_t i = 0; i < n; ++i) defs.push_back(page.items[i].def_index);
    }
    model_LoadForDefs(defs);
}
