#include "gamedata/reset.h"

#include "gamedata/image.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "gamedata/terrain.h"

void gamedata_ResetLayer() {
    model_Reset();
    sky_Reset();
    itemdef_Reset();
    terrain_ResetState();
    img_Settings() = ImageSettings{};
}
