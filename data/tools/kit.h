// sortie-kit: the generators of the sample game data kit (terrains, models, the large sample
// mission) and the small file conversions the kit's build needs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes the maps of the terrain NAME ("greenvale" or "dustbowl") into outDir. 0 on success.
int kit_Terrain(const std::string& name, std::uint32_t seed, const std::string& outDir);

// Writes every model of the kit into outDir as NAME.3di. 0 on success.
int kit_Models(const std::string& outDir);
// The file names kit_Models writes.
std::vector<std::string> kit_ModelNames();

// The large sample mission: about `items` items on the terrain, as metafile text.
std::string kit_LargeMission(std::uint32_t seed, int items);
