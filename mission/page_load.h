// Loading what a page draws from the game data: the terrain it names and the models of its
// placed items. The readers live in gamedata/; these walk the pages.
#pragma once

struct Mission;

// Loads the page's terrain (by its terrain name) into its maps, created when it has none yet.
// As terrain_LoadMaps: 1 when done, 0 when the definition file has an error.
int pageload_TerrainMaps(Mission& page);
// Loads the models the item definitions of every placed item of both mission pages need.
void pageload_Models();
// The same for one page, which need not be one of the two (a page read aside).
void pageload_Models(const Mission& page);
