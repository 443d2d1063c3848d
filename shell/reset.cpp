#include "shell/reset.h"

#include "core/reset.h"
#include "gamedata/reset.h"
#include "logic/reset.h"
#include "mapview/reset.h"
#include "mission/reset.h"
#include "shell/dialogs.h"
#include "shell/prefetch.h"
#include "shell/shell.h"

void shell_ResetLayer() {
    // The shell forgets its view, surface, gesture and interaction with its own state.
    prefetch_Reset();  // first: a read-ahead still running uses every layer below
    shell_Reset();
    dialogs_Reset();
}

void sortie_ResetProcess() {
    // From the top down: records of a layer may hold blocks of the layers below it.
    shell_ResetLayer();
    mapview_ResetLayer();
    logic_ResetLayer();
    mission_ResetLayer();
    gamedata_ResetLayer();
    core_ResetLayer();
}
