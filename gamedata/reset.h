// The game data's process-wide records: item definitions, skies, models, terrain state and
// the image readers' settings. shell/reset.h puts back every layer's.
#pragma once

// Puts them all back to their start values (run before the core's reset: some hold pool
// blocks).
void gamedata_ResetLayer();
