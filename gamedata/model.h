// Item models: the "3di" model files the map view outlines placed items with, kept in a
// cache of three fixed tables (models, meshes, textures) for the whole run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kModelMax = 500;
constexpr int kModelMeshMax = 601;
constexpr int kModelTextureMax = 2000;
constexpr int kModelLodRefs = 4;  // levels of detail the model header refers to

// Record sizes fixed by the file format.
constexpr std::size_t kModelHeaderSize = 124;
constexpr std::size_t kModelTextureRecordSize = 52;
constexpr std::size_t kModelPaletteSize = 1024;    // 256 entries of 4 bytes
constexpr std::size_t kModelRgbPaletteSize = 768;  // 256 red, green, blue triples
constexpr std::size_t kModelMeshHeaderSize = 192;
constexpr std::size_t kModelVertexSize = 8;
constexpr std::size_t kModelNormalSize = 8;
constexpr std::size_t kModelPolygonSize = 72;
constexpr std::size_t kModelPartSize = 112;
constexpr std::size_t kModelUnnamedSize = 12;
constexpr std::size_t kModelPointListSize = 8;
constexpr std::size_t kModelSubListSize = 80;
constexpr std::size_t kModelFaceSize = 120;
constexpr std::uint8_t kModelMinVersion = 8;

// Texture record flags (record byte 34).
constexpr std::uint8_t kTexGreenSet = 0x01;   // camouflage sets: bit 0 green,
constexpr std::uint8_t kTexOtherSets = 0x06;  // bits 1 and 2 the others
constexpr std::uint8_t kTexLoadAlways = 0x08;
constexpr std::uint8_t kTexTransparent = 0x20;

// Face flags (face byte 8).
constexpr std::uint32_t kFaceTextured = 0x0001;
constexpr std::uint32_t kFaceTransparent = 0x0200;  // bit 1 of the second byte
constexpr std::uint32_t kFaceScaled = 0x4000;       // value at byte 28 is scaled by 0.62
constexpr std::uint32_t kFacePixelsOnly = 0x8000;   // texture from byte 55, pixels only

// Polygon flags (polygon byte 8): edge e (0: 0-1, 1: 1-2, 2: 2-0) is hidden when bit
// (2 << e) is set.
constexpr std::uint32_t kPolygonHiddenEdge0 = 0x2;

// Mesh header flags (byte 16).
constexpr std::uint32_t kMeshPartRelative = 0x1;

struct ModelTexture {
    std::array<std::uint8_t, kModelTextureRecordSize> record{};  // as read
    char name[13] = {};                                          // record bytes 0..11
    char altName[17] = {};                                       // record bytes 12..27
    std::uint32_t length = 0;                                    // pixel bytes (record byte 28)
    std::uint16_t number = 0;                                    // record byte 32; faces select textures by it
    std::uint8_t flags = 0;                                      // record byte 34
    std::uint16_t width = 0;                                     // record byte 36
    std::uint16_t height = 0;                                    // record byte 38
    // One main-pool block of length + 1792 bytes: pixels, the 1024-byte palette, then
    // the palette as 768 bytes of red, green, blue (filled when a face is prepared).
    std::uint8_t* pixels = nullptr;
    std::uint8_t* palette = nullptr;
    std::uint8_t* rgbPalette = nullptr;
    bool rgbReady = false;
};

struct ModelVertex {
    std::int16_t x = 0, y = 0, z = 0;
};

struct ModelFace;

struct ModelPolygon {
    std::uint16_t vertex[3] = {};  // indices into the mesh's vertex table
    std::uint32_t flags = 0;       // hidden-edge bits
    std::int32_t faceIndex = -1;   // polygon byte 68
    ModelFace* face = nullptr;     // null when the index names no face of the mesh
};

struct ModelPart {
    std::int32_t vertexCount = 0, vertexStart = 0;    // part bytes 4 / 8
    std::int32_t polygonCount = 0, polygonStart = 0;  // 12 / 16
    std::int32_t normalCount = 0, normalStart = 0;    // 20 / 24
    std::int32_t subListCount = 0, subListStart = 0;  // 28 / 32
    std::int32_t parent = -1;                         // 36; outside the parts: none
    std::int32_t relative[3] = {};                    // 40, 44, 48: position minus parent's
    std::int32_t position[3] = {};                    // 52, 56, 60
};

struct ModelSubList {
    std::int32_t pointCount = 0;  // sub-list byte 72
    std::int32_t pointStart = 0;  // byte 76
};

struct ModelFace {
    std::uint32_t flags = 0;                      // face byte 8
    std::uint16_t textureIndex = 0;               // 24: index in the texture table
    std::uint16_t drawParam = 0;                  // 26
    std::int16_t value = 0;                       // 28
    std::uint8_t sizeFactor = 0;                  // 30
    std::uint8_t sizeClass = 0;                   // 31
    std::uint16_t log2Width = 0, log2Height = 0;  // 32, 34
    std::uint16_t maskWidth = 0, maskHeight = 0;  // 36, 38
    std::uint8_t textureNumber = 0;               // 52
    std::uint8_t altTextureNumber = 0;            // 55
    const ModelTexture* texture = nullptr;
    const std::uint8_t* pixels = nullptr;
    const std::uint8_t* palette = nullptr;
    const std::uint8_t* rgbPalette = nullptr;
};

// Indices of the eight mesh tables, in the order they lie in the data block.
enum MeshTable {
    kMeshVertices,
    kMeshNormals,
    kMeshPolygons,
    kMeshParts,
    kMeshUnnamed,
    kMeshPointLists,
    kMeshSubLists,
    kMeshFaces,
    kMeshTableCount
};

struct ModelMesh {
    std::array<std::uint8_t, kModelMeshHeaderSize> header{};  // as read
    char name[17] = {};                                       // the model file name without its extension
    std::uint32_t flags = 0;                                  // header byte 16
    std::uint32_t blockSize = 0;                              // header byte 20
    std::int32_t radius = 0;                                  // header byte 24; becomes the model's extent
    std::uint8_t* block = nullptr;                            // main-pool data block, as read
    std::int32_t count[kMeshTableCount] = {};
    std::uint32_t start[kMeshTableCount] = {};  // byte offsets of the tables in the block
    // The tables the editor uses, decoded from the block (the block keeps the rest as read).
    std::vector<ModelVertex> vertices;
    std::vector<ModelPolygon> polygons;
    std::vector<ModelPart> parts;
    std::vector<ModelSubList> subLists;
    std::vector<ModelFace> faces;
};

struct Model {
    std::array<std::uint8_t, kModelHeaderSize> header{};  // as read
    char name[17] = {};                                   // header bytes 4..19
    char loadedAs[17] = {};                               // the name model_Load was asked for
    std::uint8_t version = 0;                             // header byte 3
    std::int32_t lodCount = 0;                            // header byte 20
    ModelMesh* lod[kModelLodRefs] = {};                   // null beyond the count or for an empty level
    // The map view's symbol radius comes from here (extent >> 8, world units): the first
    // level's mesh radius (mesh header byte 24).
    std::int32_t extent = 0;
    std::uint16_t firstTexture = 0, endTexture = 0;  // the model's textures in the table
    std::int32_t sizeMeasure = 0;
};

// The cache: models stay loaded for the whole run.
struct ModelCache {
    std::array<Model, kModelMax> models;
    std::int32_t modelCount = 0;
    std::array<ModelMesh, kModelMeshMax> meshes;
    std::int32_t meshCount = 0;
    std::array<ModelTexture, kModelTextureMax> textures;
    std::int32_t textureCount = 0;
};
ModelCache& model_Cache();

// Empties all three tables, releases their pool blocks and forgets the item definitions'
// model references (which would otherwise point at emptied entries).
void model_ClearCache();
// Forgets everything without releasing (tests, after the pools were reset).
void model_Reset();

// The cached model named name (without regard to case), else reads name with extension
// "3di" through the file layer. Null when missing, bad, or the table is full. *loaded (may be
// null) is 1 only when this call read the file.
Model* model_Load(const char* name, int drawParam, int* loaded);

// Reads a model from bytes in memory as if from fileName (which names the meshes). Every
// count and offset is checked against size: a short or inconsistent file gives null and
// leaves the tables as they were.
Model* model_ReadFromMemory(const std::uint8_t* data, std::size_t size, const char* fileName, int drawParam);

// Loads the models that the given item definitions need: those without a model, with a
// graphic name, that are not persons. Shows the status window while it loads.
void model_LoadForDefs(const std::vector<std::int32_t>& defIndices);

// ----------------------------------------------------------------------------------------
// Writing models (the sample data kit, tests): the inverse of the reader for models made of
// triangle meshes.

struct ModelDescTexture {
    std::string name;
    std::string altName;
    std::uint16_t number = 0;
    std::uint8_t flags = kTexLoadAlways;
    std::uint16_t width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    std::array<std::uint8_t, kModelPaletteSize> palette{};  // r, g, b, 0 per entry
};

struct ModelDescTriangle {
    std::uint16_t v[3] = {};
    std::uint32_t flags = 0;  // hidden-edge bits
    std::int32_t face = -1;   // index into the mesh's faces, -1 for none
};

struct ModelDescFace {
    std::uint32_t flags = 0;
    std::uint8_t texture = 0;     // byte 52
    std::uint8_t altTexture = 0;  // byte 55
    std::int16_t value = 0;       // byte 28
    std::uint8_t sizeFactor = 0;  // byte 30
    std::uint8_t sizeClass = 0;   // byte 31
};

struct ModelDescPart {
    std::int32_t vertexCount = 0;
    std::int32_t polygonCount = 0;
    std::int32_t parent = -1;
    std::int32_t position[3] = {};
};

struct ModelDescMesh {
    std::string name;
    std::uint32_t flags = 0;
    std::int32_t radius = 0;
    std::vector<ModelVertex> vertices;
    std::vector<ModelDescTriangle> triangles;
    std::vector<ModelDescFace> faces;
    std::vector<ModelDescPart> parts;  // empty: one part holding everything
};

struct ModelDesc {
    std::string name;
    std::uint8_t version = kModelMinVersion;
    std::vector<ModelDescTexture> textures;
    std::vector<ModelDescMesh> lods;
};

std::vector<std::uint8_t> model_Encode(const ModelDesc& desc);
// Writes the model to path (through a temporary beside it). true on success.
bool model_WriteFile(const std::string& path, const ModelDesc& desc);
