#include "shell/reset.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/image.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"
#include "logic/events.h"
#include "mission/mission.h"
#include "shell/dialogs.h"
#include "shell/shell.h"

void sortie_ResetProcess() {
    // From the top down: the shell forgets its view, surface, gesture and interaction first.
    shell_Reset();
    dialogs_Reset();
    event_ResetClipboard();
    mission_ResetPages();
    model_Reset();
    sky_Reset();
    itemdef_Reset();
    terrain_ResetState();
    img_Settings() = ImageSettings{};
    text_FreeTables();
    text_SetCurrent(nullptr);
    file_Reset();
    mem_Shutdown();
}
