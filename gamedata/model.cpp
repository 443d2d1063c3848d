#include "gamedata/model.h"
#include "core/bytes.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/text.h"
#include "gamedata/defwords.h"
#include "gamedata/itemdef.h"
#include "core/parser.h"
#include "platform/ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

// The cache is large (three fixed tables); it lives on the heap, made on first use.
std::unique_ptr<ModelCache> gCache;

constexpr auto rd16 = le_Read16;
constexpr auto rd32 = le_Read32;
std::int32_t rd32s(const std::uint8_t* p) { return static_cast<std::int32_t>(rd32(p)); }
void wr16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void wr32(std::uint8_t* p, std::uint32_t v) {
    wr16(p, v);
    wr16(p + 2, v >> 16);
}

// Copies a NUL-terminated name out of a fixed-size field that need not be terminated.
template <std::size_t N>
void nameFrom(char (&dst)[N], const std::uint8_t* field, std::size_t fieldSize) {
    std::size_t n = 0;
    while (n < fieldSize && n < N - 1 && field[n]) ++n;
    std::memcpy(dst, field, n);
    dst[n] = '\0';
}

// A cursor over the file's bytes that never reads past them.
struct ByteCursor {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;

    std::size_t left() const { return size - pos; }
    const std::uint8_t* take(std::uint64_t n) {
        if (n > left()) return nullptr;
        const std::uint8_t* p = data + pos;
        pos += static_cast<std::size_t>(n);
        return p;
    }
};

// Where each table's entry count stands in the mesh header, in block order; the table's
// start is stored in the word after its count.
constexpr std::size_t kCountAt[kMeshTableCount] = {128, 136, 144, 152, 160, 176, 184, 168};
constexpr std::size_t kEntrySize[kMeshTableCount] = {kModelVertexSize,  kModelNormalSize,  kModelPolygonSize,
                                                     kModelPartSize,    kModelUnnamedSize, kModelPointListSize,
                                                     kModelSubListSize, kModelFaceSize};

std::uint16_t log2Of(std::uint16_t v) {
    std::uint16_t n = 0;
    while (v > 1) {
        v >>= 1;
        ++n;
    }
    return n;
}

// Everything one model read has taken, so that a failed read can give it all back.
struct ReadUndo {
    std::int32_t textureCount;
    std::int32_t meshCount;
    std::vector<void*> blocks;
};

void rollBack(ModelCache& c, ReadUndo& undo) {
    for (void* b : undo.blocks) mem_Free(b);
    for (std::int32_t i = undo.textureCount; i < c.textureCount; ++i) c.textures[i] = ModelTexture{};
    for (std::int32_t i = undo.meshCount; i < c.meshCount && i < kModelMeshMax; ++i) c.meshes[i] = ModelMesh{};
    c.textureCount = undo.textureCount;
    c.meshCount = undo.meshCount;
}

// Decodes the tables of a mesh whose header and block are in place. false when a count,
// a range or a table position does not fit the block.
bool decodeMesh(ModelMesh& mesh) {
    const std::uint8_t* h = mesh.header.data();
    std::uint64_t offset = 0;
    for (int t = 0; t < kMeshTableCount; ++t) {
        std::int32_t n = rd32s(h + kCountAt[t]);
        if (n < 0) return false;
        mesh.count[t] = n;
        mesh.start[t] = static_cast<std::uint32_t>(offset);
        offset += static_cast<std::uint64_t>(n) * kEntrySize[t];
        if (offset > mesh.blockSize) return false;
        wr32(mesh.header.data() + kCountAt[t] + 4, mesh.start[t]);
    }
    const std::uint8_t* b = mesh.block;
    auto entry = [&](int table, std::int32_t i) { return b + mesh.start[table] + std::size_t(i) * kEntrySize[table]; };

    mesh.vertices.resize(mesh.count[kMeshVertices]);
    for (std::int32_t i = 0; i < mesh.count[kMeshVertices]; ++i) {
        const std::uint8_t* e = entry(kMeshVertices, i);
        mesh.vertices[i] = {static_cast<std::int16_t>(rd16(e)), static_cast<std::int16_t>(rd16(e + 2)),
                            static_cast<std::int16_t>(rd16(e + 4))};
    }

    mesh.faces.resize(mesh.count[kMeshFaces]);
    for (std::int32_t i = 0; i < mesh.count[kMeshFaces]; ++i) {
        const std::uint8_t* e = entry(kMeshFaces, i);
        ModelFace& f = mesh.faces[i];
        f.flags = rd32(e + 8);
        f.textureIndex = rd16(e + 24);
        f.drawParam = rd16(e + 26);
        f.value = static_cast<std::int16_t>(rd16(e + 28));
        f.sizeFactor = e[30];
        f.sizeClass = e[31];
        f.log2Width = rd16(e + 32);
        f.log2Height = rd16(e + 34);
        f.maskWidth = rd16(e + 36);
        f.maskHeight = rd16(e + 38);
        f.textureNumber = e[52];
        f.altTextureNumber = e[55];
    }

    // Polygons are triangles: 16-bit vertex indices at bytes 0, 2 and 4 (into the mesh's
    // vertex table), the flags word with the hidden-edge bits at byte 8, the face index at
    // byte 68. The map view draws their edges, so an index outside the vertex table makes
    // the whole file suspect.
    mesh.polygons.resize(mesh.count[kMeshPolygons]);
    for (std::int32_t i = 0; i < mesh.count[kMeshPolygons]; ++i) {
        const std::uint8_t* e = entry(kMeshPolygons, i);
        ModelPolygon& p = mesh.polygons[i];
        for (int k = 0; k < 3; ++k) {
            p.vertex[k] = rd16(e + 2 * k);
            if (p.vertex[k] >= mesh.count[kMeshVertices]) return false;
        }
        p.flags = rd32(e + 8);
        p.faceIndex = rd32s(e + 68);
        p.face = (p.faceIndex >= 0 && p.faceIndex < mesh.count[kMeshFaces]) ? &mesh.faces[p.faceIndex] : nullptr;
    }

    // Parts carry counts only; their starts are the running sums, which must stay inside
    // the tables they index.
    mesh.parts.resize(mesh.count[kMeshParts]);
    std::int64_t sum[4] = {};
    const int indexed[4] = {kMeshVertices, kMeshPolygons, kMeshNormals, kMeshSubLists};
    for (std::int32_t i = 0; i < mesh.count[kMeshParts]; ++i) {
        const std::uint8_t* e = entry(kMeshParts, i);
        ModelPart& p = mesh.parts[i];
        std::int32_t* counts[4] = {&p.vertexCount, &p.polygonCount, &p.normalCount, &p.subListCount};
        std::int32_t* starts[4] = {&p.vertexStart, &p.polygonStart, &p.normalStart, &p.subListStart};
        for (int k = 0; k < 4; ++k) {
            std::int32_t n = rd32s(e + 4 + 8 * k);
            if (n < 0 || sum[k] + n > mesh.count[indexed[k]]) return false;
            *counts[k] = n;
            *starts[k] = static_cast<std::int32_t>(sum[k]);
            sum[k] += n;
        }
        p.parent = rd32s(e + 36);
        for (int k = 0; k < 3; ++k) {
            p.relative[k] = rd32s(e + 40 + 4 * k);
            p.position[k] = rd32s(e + 52 + 4 * k);
        }
    }

    mesh.subLists.resize(mesh.count[kMeshSubLists]);
    std::int64_t points = 0;
    for (std::int32_t i = 0; i < mesh.count[kMeshSubLists]; ++i) {
        const std::uint8_t* e = entry(kMeshSubLists, i);
        std::int32_t n = rd32s(e + 72);
        if (n < 0 || points + n > mesh.count[kMeshPointLists]) return false;
        mesh.subLists[i] = {n, static_cast<std::int32_t>(points)};
        points += n;
    }
    return true;
}

const ModelTexture* findTexture(const ModelCache& c, const Model& m, std::uint8_t number, std::uint16_t& index) {
    for (std::uint16_t i = m.firstTexture; i < m.endTexture; ++i)
        if (c.textures[i].number == number) {
            index = i;
            return &c.textures[i];
        }
    return nullptr;
}

void setSizes(ModelFace& f, const ModelTexture& t) {
    f.log2Width = log2Of(t.width);
    f.log2Height = log2Of(t.height);
    f.maskWidth = static_cast<std::uint16_t>((1u << f.log2Width) - 1);
    f.maskHeight = static_cast<std::uint16_t>((1u << f.log2Height) - 1);
}

void bindFaces(ModelCache& c, const Model& m, ModelMesh& mesh, int drawParam) {
    for (ModelFace& f : mesh.faces) {
        std::uint16_t index = 0;
        if (f.flags & kFaceTextured) {
            if (const ModelTexture* t = findTexture(c, m, f.textureNumber, index)) {
                f.textureIndex = index;
                f.texture = t;
                f.pixels = t->pixels;
                f.palette = t->palette;
                f.rgbPalette = t->rgbPalette;
                setSizes(f, *t);
                if (t->flags & kTexTransparent) f.flags |= kFaceTransparent;
            } else {
                f.flags &= ~kFaceTextured;
            }
        } else if (f.flags & kFacePixelsOnly) {
            if (const ModelTexture* t = findTexture(c, m, f.altTextureNumber, index)) {
                f.pixels = t->pixels;
                setSizes(f, *t);
            }
            f.flags &= ~kFacePixelsOnly;
        }
        if (f.flags & kFaceScaled) f.value = static_cast<std::int16_t>(std::trunc(f.value * 0.62));
        f.drawParam = static_cast<std::uint16_t>(drawParam);
    }
}

std::int32_t wrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

void makePartRelative(ModelMesh& mesh) {
    for (ModelPart& p : mesh.parts) {
        for (std::int32_t v = p.vertexStart; v < p.vertexStart + p.vertexCount; ++v) {
            ModelVertex& x = mesh.vertices[v];
            x.x = static_cast<std::int16_t>(x.x - p.position[0] / 256);
            x.y = static_cast<std::int16_t>(x.y - p.position[1] / 256);
            x.z = static_cast<std::int16_t>(x.z - p.position[2] / 256);
        }
    }
    const auto n = static_cast<std::int32_t>(mesh.parts.size());
    for (std::int32_t i = 0; i < n; ++i) {
        ModelPart& p = mesh.parts[i];
        // A parent outside the table (the root's -1, or a bad index) counts as the origin.
        const bool hasParent = p.parent >= 0 && p.parent < n && p.parent != i;
        for (int k = 0; k < 3; ++k)
            p.relative[k] = hasParent ? wrapSub(p.position[k], mesh.parts[p.parent].position[k]) : p.position[k];
    }
}

// Fills the red, green, blue copy of each bound texture's palette. The palette entries
// are stored red, green, blue, unused.
void prepareFaces(ModelCache& c, ModelMesh& mesh) {
    for (ModelFace& f : mesh.faces) {
        if (!f.texture) continue;
        ModelTexture& t = c.textures[f.textureIndex];
        if (t.rgbReady || !t.palette || !t.rgbPalette) continue;
        for (std::size_t i = 0; i < 256; ++i)
            for (std::size_t k = 0; k < 3; ++k) t.rgbPalette[3 * i + k] = t.palette[4 * i + k];
        t.rgbReady = true;
    }
}

}  // namespace

ModelCache& model_Cache() {
    if (!gCache) gCache = std::make_unique<ModelCache>();
    return *gCache;
}

void model_Reset() { gCache.reset(); }

void model_ClearCache() {
    if (gCache) {
        // Emptied in place: the tables keep their memory for the next models.
        ModelCache& c = *gCache;
        for (std::int32_t i = 0; i < c.textureCount; ++i) {
            if (c.textures[i].pixels) mem_Free(c.textures[i].pixels);
            c.textures[i] = ModelTexture{};
        }
        for (std::int32_t i = 0; i < c.meshCount; ++i) {
            if (c.meshes[i].block) mem_Free(c.meshes[i].block);
            c.meshes[i] = ModelMesh{};
        }
        for (std::int32_t i = 0; i < c.modelCount; ++i) c.models[i] = Model{};
        c.textureCount = c.meshCount = c.modelCount = 0;
    }
    // Definitions must not keep pointing at emptied entries.
    for (std::int32_t i = 0; i < itemdef_Count(); ++i) itemdef_At(i)->model = nullptr;
}

Model* model_ReadFromMemory(const std::uint8_t* data, std::size_t size, const char* fileName, int drawParam) {
    ModelCache& c = model_Cache();
    if (!data || c.modelCount >= kModelMax) return nullptr;
    ByteCursor in{data, size};

    const std::uint8_t* h = in.take(kModelHeaderSize);
    if (!h || h[0] != '3' || h[1] != 'D' || h[2] != 'I' || h[3] < kModelMinVersion) return nullptr;
    Model m;
    std::memcpy(m.header.data(), h, kModelHeaderSize);
    nameFrom(m.name, h + 4, 16);
    m.version = h[3];
    m.lodCount = rd32s(h + 20);
    if (m.lodCount < 0) return nullptr;

    ReadUndo undo{c.textureCount, c.meshCount, {}};
    auto fail = [&]() -> Model* {
        rollBack(c, undo);
        return nullptr;
    };

    // Textures.
    const std::uint8_t* countField = in.take(4);
    if (!countField) return fail();
    std::int32_t textures = rd32s(countField);
    if (textures < 0 || std::uint64_t(textures) * (kModelTextureRecordSize + kModelPaletteSize) > in.left())
        return fail();
    m.firstTexture = static_cast<std::uint16_t>(c.textureCount);
    for (std::int32_t t = 0; t < textures; ++t) {
        const std::uint8_t* rec = in.take(kModelTextureRecordSize);
        if (!rec) return fail();
        const std::uint32_t length = rd32(rec + 28);
        const std::uint64_t payload = std::uint64_t{length} + kModelPaletteSize;
        const std::uint8_t* bytes = in.take(payload);
        if (!bytes) return fail();
        if (c.textureCount >= kModelTextureMax) continue;  // full: passed over
        ModelTexture& tex = c.textures[c.textureCount];
        tex = ModelTexture{};
        std::memcpy(tex.record.data(), rec, kModelTextureRecordSize);
        nameFrom(tex.name, rec, 12);
        nameFrom(tex.altName, rec + 12, 16);
        tex.length = length;
        tex.number = rd16(rec + 32);
        tex.flags = rec[34];
        tex.width = rd16(rec + 36);
        tex.height = rd16(rec + 38);
        // Only the green camouflage set and the always-loaded textures are kept.
        if (!(tex.flags & (kTexLoadAlways | kTexGreenSet))) continue;
        const std::uint64_t blockSize = payload + kModelRgbPaletteSize;
        if (blockSize > 0xFFFFFFFFu) continue;
        auto* block = static_cast<std::uint8_t*>(mem_GetMemEx(static_cast<std::uint32_t>(blockSize), 16, 0, tex.name));
        if (!block) continue;
        undo.blocks.push_back(block);
        std::memcpy(block, bytes, static_cast<std::size_t>(payload));
        std::memset(block + payload, 0, kModelRgbPaletteSize);
        tex.pixels = block;
        tex.palette = block + length;
        tex.rgbPalette = block + payload;
        ++c.textureCount;
    }
    m.endTexture = static_cast<std::uint16_t>(c.textureCount);

    // Levels of detail.
    char meshName[17] = {};
    defs_CopyName(meshName, sizeof meshName, fileName ? fileName : "", 16);
    if (std::size_t n = std::strlen(meshName); n >= 4) meshName[n - 4] = '\0';
    for (std::int32_t level = 0; level < m.lodCount; ++level) {
        const std::uint8_t* mh = in.take(kModelMeshHeaderSize);
        if (!mh) return fail();
        const std::uint32_t blockSize = rd32(mh + 20);
        const std::uint8_t* bytes = in.take(blockSize);
        if (!bytes) return fail();
        if (c.meshCount >= kModelMeshMax) continue;  // full: the level stays empty
        ModelMesh& mesh = c.meshes[c.meshCount];
        mesh = ModelMesh{};
        std::memcpy(mesh.header.data(), mh, kModelMeshHeaderSize);
        mesh.flags = rd32(mh + 16);
        mesh.blockSize = blockSize;
        mesh.radius = rd32s(mh + 24);
        char tag[17];
        nameFrom(tag, mh, 16);
        if (blockSize > 0) {
            mesh.block = static_cast<std::uint8_t*>(mem_GetMemEx(blockSize, 32, 0, tag));
            if (!mesh.block) {  // no memory: this level stays empty
                mesh = ModelMesh{};
                continue;
            }
            undo.blocks.push_back(mesh.block);
            std::memcpy(mesh.block, bytes, blockSize);
        }
        ++c.meshCount;
        if (!decodeMesh(mesh)) return fail();
        bindFaces(c, m, mesh, drawParam);
        if (mesh.flags & kMeshPartRelative) makePartRelative(mesh);
        prepareFaces(c, mesh);
        std::memcpy(mesh.name, meshName, sizeof mesh.name);
        if (level < kModelLodRefs) m.lod[level] = &mesh;
    }

    // The header words the loader owns: the extent, the texture range and the size measure.
    // (The level references are held in m.lod; a 32-bit header word cannot hold them.)
    if (const ModelMesh* first = m.lod[0]) {
        m.extent = first->radius;
        bool any = false;
        for (const ModelFace& f : first->faces)
            if (f.sizeClass >= 1 && f.sizeClass <= 7) {
                std::int32_t product = std::int32_t{f.sizeFactor} * f.value;
                if (!any || product > m.sizeMeasure) m.sizeMeasure = product;
                any = true;
            }
    }
    wr32(m.header.data() + 104, static_cast<std::uint32_t>(m.extent));
    wr16(m.header.data() + 112, m.firstTexture);
    wr16(m.header.data() + 114, m.endTexture);
    wr32(m.header.data() + 116, static_cast<std::uint32_t>(m.sizeMeasure));

    Model& slot = c.models[c.modelCount++];
    slot = m;
    return &slot;
}

Model* model_Load(const char* name, int drawParam, int* loaded) {
    if (loaded) *loaded = 0;
    if (!name || !*name) return nullptr;
    ModelCache& c = model_Cache();
    for (std::int32_t i = 0; i < c.modelCount; ++i)
        if (defs_SameWord(c.models[i].name, name) || defs_SameWord(c.models[i].loadedAs, name)) return &c.models[i];
    if (c.modelCount >= kModelMax) return nullptr;

    char fileName[260];
    defs_CopyName(fileName, sizeof fileName, name, sizeof fileName - 5);
    set_Extension(fileName, sizeof fileName, "3di");

    const std::int32_t size = file_FileSizeEx(fileName);
    if (size < 0 || file_OpenEx(fileName) < 0) return nullptr;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    const int got = size > 0 ? file_Read(bytes.data(), size) : 0;
    file_Close();
    if (got != size) return nullptr;

    Model* m = model_ReadFromMemory(bytes.data(), bytes.size(), fileName, drawParam);
    if (!m) return nullptr;
    // Remembered as well as the header's own name, so a model whose file calls it
    // differently is still found again instead of being read once more per request.
    defs_CopyName(m->loadedAs, sizeof m->loadedAs, name, sizeof m->loadedAs - 1);
    if (loaded) *loaded = 1;
    return m;
}

void model_LoadForDefs(const std::vector<std::int32_t>& defIndices) {
    bool open = false;
    std::vector<std::int32_t> tried;
    for (std::int32_t index : defIndices) {
        ItemDef* def = itemdef_At(index);
        if (!def || def->model || !def->graphic[0] || def->type == kItemPerson) continue;
        // A definition whose model cannot be had is tried once per call, not once per item.
        if (std::find(tried.begin(), tried.end(), index) != tried.end()) continue;
        tried.push_back(index);
        if (!open) {
            platform().statusOpen(text_Get("Dialog Message", "STATUSDIALOG"));
            platform().statusLine(text_Get("Dialog Message", "LOADINGMODELS"));
            open = true;
        }
        platform().statusLine(text_Printf("Dialog Message", "LOADING...", {def->graphic}));
        def->model = model_Load(def->graphic, 0, nullptr);
    }
    if (open) platform().statusClose();
}

// ----------------------------------------------------------------------------------------
// Writer

namespace {

void put(std::vector<std::uint8_t>& out, const void* p, std::size_t n) {
    const std::size_t at = out.size();
    out.resize(at + n);
    if (n) std::memcpy(out.data() + at, p, n);
}

void putName(std::uint8_t* field, std::size_t fieldSize, const std::string& name) {
    std::size_t n = std::min(name.size(), fieldSize - 1);
    std::memcpy(field, name.data(), n);
}

std::vector<std::uint8_t> encodeMesh(const ModelDescMesh& m) {
    std::vector<ModelDescPart> parts = m.parts;
    if (parts.empty()) {
        ModelDescPart whole;
        whole.vertexCount = static_cast<std::int32_t>(m.vertices.size());
        whole.polygonCount = static_cast<std::int32_t>(m.triangles.size());
        parts.push_back(whole);
    }
    std::int32_t counts[kMeshTableCount] = {};
    counts[kMeshVertices] = static_cast<std::int32_t>(m.vertices.size());
    counts[kMeshPolygons] = static_cast<std::int32_t>(m.triangles.size());
    counts[kMeshParts] = static_cast<std::int32_t>(parts.size());
    counts[kMeshFaces] = static_cast<std::int32_t>(m.faces.size());

    std::vector<std::uint8_t> header(kModelMeshHeaderSize, 0);
    std::vector<std::uint8_t> block;
    putName(header.data(), 16, m.name);
    wr32(header.data() + 16, m.flags);
    wr32(header.data() + 24, static_cast<std::uint32_t>(m.radius));
    for (int t = 0; t < kMeshTableCount; ++t) {
        wr32(header.data() + kCountAt[t], static_cast<std::uint32_t>(counts[t]));
        wr32(header.data() + kCountAt[t] + 4, static_cast<std::uint32_t>(block.size()));
        std::vector<std::uint8_t> table(std::size_t(counts[t]) * kEntrySize[t], 0);
        for (std::int32_t i = 0; i < counts[t]; ++i) {
            std::uint8_t* e = table.data() + std::size_t(i) * kEntrySize[t];
            switch (t) {
            case kMeshVertices:
                wr16(e, static_cast<std::uint16_t>(m.vertices[i].x));
                wr16(e + 2, static_cast<std::uint16_t>(m.vertices[i].y));
                wr16(e + 4, static_cast<std::uint16_t>(m.vertices[i].z));
                break;
            case kMeshPolygons:
                for (int k = 0; k < 3; ++k) wr16(e + 2 * k, m.triangles[i].v[k]);
                wr16(e + 6, 3);
                wr32(e + 8, m.triangles[i].flags);
                wr32(e + 68, static_cast<std::uint32_t>(m.triangles[i].face));
                break;
            case kMeshParts:
                wr32(e + 4, static_cast<std::uint32_t>(parts[i].vertexCount));
                wr32(e + 12, static_cast<std::uint32_t>(parts[i].polygonCount));
                wr32(e + 36, static_cast<std::uint32_t>(parts[i].parent));
                for (int k = 0; k < 3; ++k) wr32(e + 52 + 4 * k, static_cast<std::uint32_t>(parts[i].position[k]));
                break;
            case kMeshFaces: {
                const ModelDescFace& f = m.faces[i];
                wr32(e + 8, f.flags);
                wr16(e + 28, static_cast<std::uint16_t>(f.value));
                e[30] = f.sizeFactor;
                e[31] = f.sizeClass;
                e[52] = f.texture;
                e[55] = f.altTexture;
                break;
            }
            default: break;
            }
        }
        block.insert(block.end(), table.begin(), table.end());
    }
    wr32(header.data() + 20, static_cast<std::uint32_t>(block.size()));
    header.insert(header.end(), block.begin(), block.end());
    return header;
}

}  // namespace

std::vector<std::uint8_t> model_Encode(const ModelDesc& desc) {
    std::vector<std::uint8_t> out(kModelHeaderSize, 0);
    out[0] = '3';
    out[1] = 'D';
    out[2] = 'I';
    out[3] = desc.version;
    putName(out.data() + 4, 16, desc.name);
    wr32(out.data() + 20, static_cast<std::uint32_t>(desc.lods.size()));

    std::uint8_t word[4];
    wr32(word, static_cast<std::uint32_t>(desc.textures.size()));
    put(out, word, 4);
    for (const ModelDescTexture& t : desc.textures) {
        std::uint8_t rec[kModelTextureRecordSize] = {};
        putName(rec, 12, t.name);
        putName(rec + 12, 16, t.altName);
        wr32(rec + 28, static_cast<std::uint32_t>(t.pixels.size()));
        wr16(rec + 32, t.number);
        rec[34] = t.flags;
        wr16(rec + 36, t.width);
        wr16(rec + 38, t.height);
        put(out, rec, sizeof rec);
        put(out, t.pixels.data(), t.pixels.size());
        put(out, t.palette.data(), t.palette.size());
    }
    for (const ModelDescMesh& m : desc.lods) {
        std::vector<std::uint8_t> mesh = encodeMesh(m);
        out.insert(out.end(), mesh.begin(), mesh.end());
    }
    return out;
}

bool model_WriteFile(const std::string& path, const ModelDesc& desc) {
    std::vector<std::uint8_t> bytes = model_Encode(desc);
    return file_WriteAtomic(path, bytes.data(), bytes.size());
}
