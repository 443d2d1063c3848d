// Scenes for the map renderer's tests: a small synthetic terrain, pictures compared with
// checked-in PNG files, and a surface filled with a marker colour.
#pragma once

#include "mapview/view.h"
#include "support/png_io.h"

#include <cstdint>
#include <string>

struct Mission;

// Gives page a terrain made up here: a colour map of bands, an elevation map that climbs
// from the south-west, its edge map, four detail tiles of stripes and spots, and a water
// level of 40.
void test_MakeTerrain(Mission& page);

// The pane-sized part of a surface (what the user sees) as an image.
TestImage test_PaneImage(const MapSurface& surface);

// Compares image with tests/data/render/NAME.png. With SORTIE_UPDATE_GOLDENS set in the
// environment the file is (re)written instead. On a difference the picture drawn is left in
// the build folder under render_failures/ for a look. Empty when they match, else a
// description of the first difference.
std::string test_CompareGolden(const std::string& name, const TestImage& image);
