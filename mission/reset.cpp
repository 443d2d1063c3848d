#include "mission/reset.h"

#include "mission/itemattr.h"
#include "mission/mission.h"
#include "mission/undo.h"

void mission_ResetLayer() {
    for (int page = 0; page < 2; ++page) undo_PageHistory(page).forget();
    itemattr_Hooks() = {};
    mission_ResetPages();
}
