// What the definition-file and model fuzz targets do with one input, shared with the tests
// that replay the kept inputs (tests/gamedata/defs_replay_test.cpp). The callers set up the
// pools and a quiet platform first; every function leaves the main pool as it found it.
#pragma once

#include "core/file.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

// The definition readers read through the file layer by name: the input goes to a file of
// this process first.
inline std::string defs_WriteInput(const std::uint8_t* data, std::size_t size, const char* stem) {
    const char* dir = std::getenv("TMPDIR");
    std::string path = std::string(dir && *dir ? dir : "/tmp") + "/" + stem + "_" + std::to_string(getpid()) + ".def";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

inline void defs_ExerciseItems(const std::uint8_t* data, std::size_t size) {
    const std::string path = defs_WriteInput(data, size, "itemdef_input");
    if (itemdef_Load(path.c_str())) {
        for (std::int32_t i = 0; i < itemdef_Count(); ++i) {
            const ItemDef* d = itemdef_At(i);
            // The lookups answer the first match, never one behind it.
            if (itemdef_FindByName(d->name) > i || itemdef_FindByType(d->typeNumber) > i) std::abort();
        }
    }
    itemdef_Allocate(0);
    std::remove(path.c_str());
}

inline void defs_ExerciseSunsets(const std::uint8_t* data, std::size_t size) {
    const std::string path = defs_WriteInput(data, size, "sunsets_input");
    sky_Reset();
    sky_LoadSunsets(path.c_str());
    if (sky_Count() < 0 || sky_Count() > kSunsetMax) std::abort();
    std::remove(path.c_str());
}

inline void defs_ExerciseModel(const std::uint8_t* data, std::size_t size) {
    if (Model* m = model_ReadFromMemory(data, size, "fuzz.3di", 0)) {
        // Touch what the map view draws: every triangle's vertices and its face.
        for (const ModelMesh* mesh : m->lod) {
            if (!mesh) continue;
            for (const ModelPolygon& p : mesh->polygons) {
                for (std::uint16_t v : p.vertex)
                    if (v >= mesh->vertices.size()) std::abort();
                if (p.face && p.face->texture && !p.face->pixels) std::abort();
            }
        }
    }
    model_ClearCache();  // gives the pool blocks back, so inputs do not fill the pool
}
