// Splitting file paths into drive, directory, name and extension, as the terrain loader and
// the image readers need them (a map's extension picks its reader; an image keeps its name).
#pragma once

#include <string>
#include <string_view>

// Selection bits of path_Parts.
constexpr int kPathDrive = 1;      // "C:"
constexpr int kPathDirectory = 2;  // everything up to and including the last '\' or '/'
constexpr int kPathName = 4;       // the file name without its extension
constexpr int kPathExtension = 8;  // from the last '.' of the file name on, the dot included

// The path rebuilt from the selected parts only, in their order.
std::string path_Parts(std::string_view path, int parts);
