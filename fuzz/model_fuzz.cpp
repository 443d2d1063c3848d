// Fuzzes the model reader: every count and offset of a model file against its bytes.
#include "core/mem.h"
#include "gamedata/model.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (!mem_State().mainPool.base) mem_Startup();
    Model* m = model_ReadFromMemory(data, size, "fuzz.3di", 0);
    if (m) {
        // Touch what the map view would draw: every triangle's vertices and face.
        for (const ModelMesh* mesh : m->lod) {
            if (!mesh) continue;
            for (const ModelPolygon& p : mesh->polygons) {
                for (std::uint16_t v : p.vertex) {
                    if (v >= mesh->vertices.size()) __builtin_trap();
                    (void)mesh->vertices[v].x;
                }
                if (p.face && p.face->texture && !p.face->pixels) __builtin_trap();
            }
        }
    }
    model_ClearCache();   // releases the pool blocks, so runs do not fill the pool
    return 0;
}
