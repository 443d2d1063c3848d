// Models: the reader against the writer, face binding, part-relative vertices, the cache,
// and files that are short or whose counts do not fit their bytes.
#include "gamedata/model.h"

#include "core/mem.h"
#include "gamedata/itemdef.h"
#include "gamedata/reset.h"
#include "mission/mission.h"
#include "mission/page_load.h"
#include "support/fake_platform.h"
#include "support/core_env.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace {

ModelDescTexture texture(const char* name, std::uint16_t number, std::uint8_t flags, std::uint16_t w, std::uint16_t h) {
    ModelDescTexture t;
    t.name = name;
    t.altName = std::string(name) + "_alt";
    t.number = number;
    t.flags = flags;
    t.width = w;
    t.height = h;
    t.pixels.resize(std::size_t(w) * h);
    for (std::size_t i = 0; i < t.pixels.size(); ++i) t.pixels[i] = static_cast<std::uint8_t>(i * 3 + number);
    for (std::size_t i = 0; i < 256; ++i) {
        t.palette[4 * i] = static_cast<std::uint8_t>(i);
        t.palette[4 * i + 1] = static_cast<std::uint8_t>(255 - i);
        t.palette[4 * i + 2] = static_cast<std::uint8_t>(i / 2);
    }
    return t;
}

ModelDescFace face(std::uint32_t flags, std::uint8_t tex, std::int16_t value, std::uint8_t factor, std::uint8_t cls) {
    ModelDescFace f;
    f.flags = flags;
    f.texture = tex;
    f.altTexture = tex;
    f.value = value;
    f.sizeFactor = factor;
    f.sizeClass = cls;
    return f;
}

// A tank with three textures (one of another camouflage set) and two levels of detail.
ModelDesc tankDesc() {
    ModelDesc d;
    d.name = "tank";
    d.textures.push_back(texture("camo", 3, kTexLoadAlways | kTexTransparent, 8, 4));
    d.textures.push_back(texture("desert", 4, 0x02, 4, 4));
    d.textures.push_back(texture("green", 5, kTexGreenSet, 16, 16));

    ModelDescMesh hi;
    hi.name = "hull";
    hi.radius = 5120;
    hi.vertices = {{0, 0, 0}, {100, 0, 0}, {100, 200, 0}, {0, 200, 10}};
    hi.triangles = {{{0, 1, 2}, 0x4, 0}, {{0, 2, 3}, 0, 7}};
    hi.faces = {face(kFaceTextured, 3, 100, 2, 1),                // bound to camo
                face(kFaceTextured | kFaceScaled, 9, 100, 5, 8),  // no texture 9; outside the measure
                face(kFacePixelsOnly, 5, -40, 3, 7)};             // pixels of green
    ModelDescMesh lo;
    lo.name = "hull_lo";
    lo.vertices = {{0, 0, 0}, {50, 0, 0}, {0, 50, 0}};
    lo.triangles = {{{0, 1, 2}, 0, -1}};
    d.lods = {hi, lo};
    return d;
}

// Offsets in the encoded tank: the texture count, and each level's mesh header.
constexpr std::size_t kTextureCountAt = kModelHeaderSize;
std::size_t meshHeaderAt(const ModelDesc& d, std::size_t level) {
    std::size_t at = kModelHeaderSize + 4;
    for (const auto& t : d.textures) at += kModelTextureRecordSize + t.pixels.size() + kModelPaletteSize;
    for (std::size_t i = 0; i < level; ++i) {
        const auto& m = d.lods[i];
        at += kModelMeshHeaderSize + m.vertices.size() * kModelVertexSize + m.triangles.size() * kModelPolygonSize +
              (m.parts.empty() ? 1 : m.parts.size()) * kModelPartSize + m.faces.size() * kModelFaceSize;
    }
    return at;
}

void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override { gamedata_ResetLayer(); }
    void TearDown() override { gamedata_ResetLayer(); }

    Model* read(const std::vector<std::uint8_t>& bytes, int drawParam = 0) {
        return model_ReadFromMemory(bytes.data(), bytes.size(), "tank.3di", drawParam);
    }
    void expectCacheEmpty() {
        const ModelCache& c = model_Cache();
        EXPECT_EQ(c.modelCount, 0);
        EXPECT_EQ(c.meshCount, 0);
        EXPECT_EQ(c.textureCount, 0);
    }

    ScopedCore core;
    ScopedTempDir dir;
    ScopedFakePlatform fake;
};

TEST_F(ModelTest, WriterAndReaderRoundTrip) {
    const ModelDesc desc = tankDesc();
    Model* m = read(model_Encode(desc), 7);
    ASSERT_NE(m, nullptr);
    const ModelCache& c = model_Cache();
    EXPECT_STREQ(m->name, "tank");
    EXPECT_EQ(m->version, 8);
    EXPECT_EQ(m->lodCount, 2);
    ASSERT_NE(m->lod[0], nullptr);
    ASSERT_NE(m->lod[1], nullptr);
    EXPECT_EQ(m->lod[2], nullptr);
    EXPECT_EQ(m->lod[3], nullptr);
    EXPECT_EQ(c.meshCount, 2);

    // The texture of another camouflage set is skipped and not counted.
    EXPECT_EQ(m->firstTexture, 0);
    EXPECT_EQ(m->endTexture, 2);
    EXPECT_STREQ(c.textures[0].name, "camo");
    EXPECT_STREQ(c.textures[0].altName, "camo_alt");
    EXPECT_STREQ(c.textures[1].name, "green");
    EXPECT_EQ(c.textures[1].width, 16);
    EXPECT_EQ(0, std::memcmp(c.textures[1].pixels, desc.textures[2].pixels.data(), 256));
    EXPECT_EQ(0, std::memcmp(c.textures[1].palette, desc.textures[2].palette.data(), kModelPaletteSize));

    const ModelMesh& hi = *m->lod[0];
    EXPECT_STREQ(hi.name, "tank");
    ASSERT_EQ(hi.vertices.size(), 4u);
    EXPECT_EQ(hi.vertices[3].y, 200);
    EXPECT_EQ(hi.vertices[3].z, 10);
    ASSERT_EQ(hi.polygons.size(), 2u);
    EXPECT_EQ(hi.polygons[1].vertex[2], 3);
    EXPECT_EQ(hi.polygons[0].flags, 0x4u);
    EXPECT_EQ(hi.polygons[0].face, &hi.faces[0]);
    EXPECT_EQ(hi.polygons[1].face, nullptr) << "a face index outside the mesh names no face";
    ASSERT_EQ(hi.parts.size(), 1u);
    EXPECT_EQ(hi.parts[0].vertexCount, 4);
    EXPECT_EQ(hi.parts[0].polygonCount, 2);

    const ModelFace& bound = hi.faces[0];
    EXPECT_EQ(bound.texture, &c.textures[0]);
    EXPECT_EQ(bound.textureIndex, 0);
    EXPECT_EQ(bound.pixels, c.textures[0].pixels);
    EXPECT_EQ(bound.log2Width, 3);
    EXPECT_EQ(bound.log2Height, 2);
    EXPECT_EQ(bound.maskWidth, 7);
    EXPECT_EQ(bound.maskHeight, 3);
    EXPECT_TRUE(bound.flags & kFaceTransparent);
    EXPECT_TRUE(bound.flags & kFaceTextured);
    EXPECT_EQ(bound.drawParam, 7);
    // Faces are prepared: the bound texture's palette as red, green, blue triples.
    ASSERT_TRUE(c.textures[0].rgbReady);
    EXPECT_EQ(c.textures[0].rgbPalette[3 * 10], 10);
    EXPECT_EQ(c.textures[0].rgbPalette[3 * 10 + 1], 245);
    EXPECT_EQ(c.textures[0].rgbPalette[3 * 10 + 2], 5);

    const ModelFace& unbound = hi.faces[1];
    EXPECT_FALSE(unbound.flags & kFaceTextured) << "no texture 9 among the model's own";
    EXPECT_EQ(unbound.texture, nullptr);
    EXPECT_EQ(unbound.value, 62) << "scaled by 0.62";

    const ModelFace& pixelsOnly = hi.faces[2];
    EXPECT_FALSE(pixelsOnly.flags & kFacePixelsOnly);
    EXPECT_EQ(pixelsOnly.pixels, c.textures[1].pixels);
    EXPECT_EQ(pixelsOnly.palette, nullptr);
    EXPECT_EQ(pixelsOnly.log2Width, 4);

    // Extent from the first level's radius; measure 2 x 100 (the -120 face and the one of
    // class 8 do not win or do not count).
    EXPECT_EQ(m->extent, 5120);
    EXPECT_EQ(m->sizeMeasure, 200);
    EXPECT_EQ(m->header[112] | (m->header[113] << 8), 0);
    EXPECT_EQ(m->header[114] | (m->header[115] << 8), 2);
    EXPECT_EQ(m->header[116] | (m->header[117] << 8), 200);
}

TEST_F(ModelTest, PartRelativeVerticesAndPositions) {
    ModelDesc d;
    d.name = "crane";
    ModelDescMesh m;
    m.flags = kMeshPartRelative;
    m.vertices = {{10, 20, 30}, {11, 21, 31}, {100, 100, 100}, {-30000, 0, 0}};
    m.triangles = {{{0, 1, 2}, 0, -1}};
    ModelDescPart base;
    base.vertexCount = 2;
    base.polygonCount = 1;
    base.position[0] = 256 * 10;
    base.position[1] = 256 * 20;
    base.position[2] = -256 * 2;
    ModelDescPart arm;
    arm.vertexCount = 2;
    arm.parent = 0;
    arm.position[0] = 256 * 50;
    arm.position[1] = 256 * 30;
    arm.position[2] = 300;  // 300 / 256 truncates to 1
    m.parts = {base, arm};
    d.lods = {m};

    Model* model = read(model_Encode(d));
    ASSERT_NE(model, nullptr);
    const ModelMesh& mesh = *model->lod[0];
    EXPECT_EQ(mesh.vertices[0].x, 0);
    EXPECT_EQ(mesh.vertices[0].y, 0);
    EXPECT_EQ(mesh.vertices[0].z, 32);
    EXPECT_EQ(mesh.vertices[2].x, 50);
    EXPECT_EQ(mesh.vertices[2].y, 70);
    EXPECT_EQ(mesh.vertices[2].z, 99);
    EXPECT_EQ(mesh.vertices[3].x, -30050);
    EXPECT_EQ(mesh.parts[1].vertexStart, 2);
    EXPECT_EQ(mesh.parts[0].relative[0], 256 * 10) << "the root is relative to the origin";
    EXPECT_EQ(mesh.parts[1].relative[0], 256 * 40);
    EXPECT_EQ(mesh.parts[1].relative[1], 256 * 10);
    EXPECT_EQ(mesh.parts[1].relative[2], 300 + 512);
}

TEST_F(ModelTest, ShortFilesGiveNoneAndLeaveTheTables) {
    const auto bytes = model_Encode(tankDesc());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        ASSERT_EQ(model_ReadFromMemory(bytes.data(), n, "tank.3di", 0), nullptr) << "length " << n;
        expectCacheEmpty();
    }
    EXPECT_NE(read(bytes), nullptr);
}

TEST_F(ModelTest, CountsThatDoNotFitTheFileGiveNone) {
    const ModelDesc desc = tankDesc();
    const auto good = model_Encode(desc);
    const std::size_t mesh0 = meshHeaderAt(desc, 0);
    const std::size_t block0 = mesh0 + kModelMeshHeaderSize;
    const std::size_t polygon0 = block0 + 4 * kModelVertexSize;
    const std::size_t part0 = polygon0 + 2 * kModelPolygonSize;

    struct Lie {
        const char* what;
        std::size_t at;
        std::uint32_t value;
    };
    const Lie lies[] = {
        {"negative texture count", kTextureCountAt, 0xFFFFFFFFu},
        {"huge texture count", kTextureCountAt, 0x7FFFFFFFu},
        {"pixel length past the end", kTextureCountAt + 4 + 28, 0xFFFFFFF0u},
        {"negative level count", 20, 0x80000000u},
        {"one level too many", 20, 3},
        {"block size past the end", mesh0 + 20, 0x7FFFFFFFu},
        {"vertex table past the block", mesh0 + 128, 5},
        {"negative face count", mesh0 + 168, 0xFFFFFFFFu},
        {"huge polygon count", mesh0 + 144, 0x40000000u},
        {"vertex index outside the table", polygon0 + 2, 4},
        {"part vertices beyond the table", part0 + 4, 5},
        {"negative part polygon count", part0 + 12, 0xFFFFFFFFu},
        {"part normals beyond the table", part0 + 20, 1},
    };
    for (const Lie& lie : lies) {
        auto bytes = good;
        if (lie.what == std::string("vertex index outside the table")) {
            bytes[lie.at] = static_cast<std::uint8_t>(lie.value);
            bytes[lie.at + 1] = 0;
        } else {
            put32(bytes, lie.at, lie.value);
        }
        EXPECT_EQ(read(bytes), nullptr) << lie.what;
        expectCacheEmpty();
    }

    auto magic = good;
    magic[1] = 'X';
    EXPECT_EQ(read(magic), nullptr);
    auto old = good;
    old[3] = 7;
    EXPECT_EQ(read(old), nullptr);
    expectCacheEmpty();

    // A failed read gives back the pool blocks it took: a second failure after thousands
    // of first ones would otherwise find the pool full.
    auto late = good;
    put32(late, meshHeaderAt(desc, 1) + 128, 1000);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(read(late), nullptr);
    EXPECT_NE(read(good), nullptr);
}

TEST_F(ModelTest, FullTablesPassOverWhatDoesNotFit) {
    ModelCache& c = model_Cache();
    c.textureCount = kModelTextureMax - 1;
    Model* m = read(model_Encode(tankDesc()));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(c.textureCount, kModelTextureMax);
    EXPECT_EQ(m->firstTexture, kModelTextureMax - 1);
    EXPECT_EQ(m->endTexture, kModelTextureMax);
    EXPECT_STREQ(c.textures[kModelTextureMax - 1].name, "camo");
    ASSERT_NE(m->lod[1], nullptr) << "the levels after passed-over textures are still found";
    EXPECT_EQ(m->lod[1]->vertices.size(), 3u);

    model_Reset();
    model_Cache().meshCount = kModelMeshMax - 1;
    m = read(model_Encode(tankDesc()));
    ASSERT_NE(m, nullptr);
    EXPECT_NE(m->lod[0], nullptr);
    EXPECT_EQ(m->lod[1], nullptr);
    EXPECT_EQ(model_Cache().meshCount, kModelMeshMax);

    model_Reset();
    model_Cache().modelCount = kModelMax;
    EXPECT_EQ(read(model_Encode(tankDesc())), nullptr);
}

class ModelFileTest : public ModelTest {
protected:
    void SetUp() override {
        ModelTest::SetUp();
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        ModelTest::TearDown();
    }
    std::filesystem::path previous;
};

TEST_F(ModelFileTest, LoadReadsOnceAndSharesByName) {
    ASSERT_TRUE(model_WriteFile(dir.file("tank.3di"), tankDesc()));
    ModelDesc other = tankDesc();
    other.name = "inner";
    ASSERT_TRUE(model_WriteFile(dir.file("outer.3di"), other));
    dir.write("bad.3di", std::string("3DX\x08", 4) + std::string(200, '\0'));

    int loaded = -1;
    Model* a = model_Load("TANK", 0, &loaded);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(loaded, 1);
    Model* b = model_Load("Tank", 0, &loaded);
    EXPECT_EQ(b, a);
    EXPECT_EQ(loaded, 0);

    Model* outer = model_Load("outer", 0, &loaded);
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(model_Load("outer", 0, &loaded), outer) << "found by the name it was asked for";
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(model_Cache().modelCount, 2);

    EXPECT_EQ(model_Load("nothing", 0, &loaded), nullptr);
    EXPECT_EQ(loaded, 0);
    EXPECT_EQ(model_Load("bad", 0, &loaded), nullptr);
    EXPECT_EQ(model_Load("", 0, &loaded), nullptr);
    EXPECT_EQ(model_Cache().modelCount, 2);
    EXPECT_TRUE(fake->boxes.empty()) << "missing and bad models are not reported";
}

TEST_F(ModelFileTest, LoadForDefsSkipsPersonsAndShowsTheStatusOnce) {
    ScopedTextTable texts(
        "[Dialog Message]\n"
        "STATUSDIALOG = STATUSDIALOG\n"
        "LOADINGMODELS = Loading models\n"
        "LOADING... = Loading %s\n");
    ASSERT_TRUE(model_WriteFile(dir.file("tank.3di"), tankDesc()));
    ItemDef* defs = itemdef_Allocate(5);
    ASSERT_NE(defs, nullptr);
    std::strcpy(defs[0].graphic, "tank");
    defs[0].type = kItemPerson;
    std::strcpy(defs[1].graphic, "tank");
    defs[1].type = kItemVehicle;
    std::strcpy(defs[2].graphic, "TANK");
    defs[2].type = kItemBuilding;
    defs[3].type = kItemVehicle;  // no graphic
    std::strcpy(defs[4].graphic, "gone");
    defs[4].type = kItemObject;

    model_LoadForDefs({0, 1, 2, 3, 1, 4, 4, 99, -1});
    EXPECT_EQ(defs[0].model, nullptr);
    ASSERT_NE(defs[1].model, nullptr);
    EXPECT_EQ(defs[2].model, defs[1].model);
    EXPECT_EQ(defs[4].model, nullptr);
    EXPECT_EQ(model_Cache().modelCount, 1);
    const std::vector<std::string> lines = {"Loading models", "Loading tank", "Loading TANK", "Loading gone"};
    EXPECT_EQ(fake->statusLines, lines);
    const std::vector<std::string> log = {"statusOpen STATUSDIALOG", "statusClose"};
    EXPECT_EQ(fake->log, log);

    fake->log.clear();
    model_LoadForDefs({1, 2, 0});
    EXPECT_TRUE(fake->log.empty()) << "nothing to load, no status window";

    model_ClearCache();
    EXPECT_EQ(defs[1].model, nullptr) << "clearing the cache forgets the definitions' models";
    EXPECT_EQ(model_Cache().modelCount, 0);
}

TEST_F(ModelFileTest, LoadForItemsCoversBothPages) {
    ASSERT_TRUE(model_WriteFile(dir.file("jeep.3di"), tankDesc()));
    ASSERT_TRUE(model_WriteFile(dir.file("hut.3di"), tankDesc()));
    ItemDef* defs = itemdef_Allocate(3);
    ASSERT_NE(defs, nullptr);
    const char* graphics[] = {"jeep", "hut", "jeep"};
    const std::int32_t types[] = {kItemVehicle, kItemBuilding, kItemPerson};
    for (int i = 0; i < 3; ++i) {
        std::strcpy(defs[i].graphic, graphics[i]);
        defs[i].type = types[i];
        defs[i].typeNumber = 10 + i;
    }
    mission_ResetPages();
    Mission& first = mission_Pages().page[0];
    Mission& second = mission_Pages().page[1];
    ASSERT_GE(mission_AddItem(first, 12, 0, 0, 0), 0);   // a person: never a model
    ASSERT_GE(mission_AddItem(second, 11, 0, 0, 0), 0);  // the hut, only on page 2
    ASSERT_EQ(mission_DefIndex(second.items[0]), 1);

    pageload_Models();
    EXPECT_EQ(defs[0].model, nullptr) << "no item uses the jeep";
    EXPECT_NE(defs[1].model, nullptr);
    EXPECT_EQ(defs[2].model, nullptr);
    EXPECT_EQ(fake->statusLines.size(), 2u);
    mission_ResetPages();
}

TEST(ModelWording, StatusTextsFitWhatTheLoaderPasses) {
    ScopedTextTable texts(test_ReadSourceFile("data/text/gamedata.txt"));
    EXPECT_EQ(std::string(text_Get("Dialog Message", "STATUSDIALOG")), "STATUSDIALOG") << "names the status template";
    EXPECT_NE(std::string(text_Get("Dialog Message", "LOADINGMODELS")), kTextFallback);
    const std::string line = text_Printf("Dialog Message", "LOADING...", {"tank01"});
    EXPECT_NE(line, kTextFallback);
    EXPECT_NE(line.find("tank01"), std::string::npos);
}

}  // namespace
