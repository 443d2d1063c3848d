#include "core/pff.h"

#include "core/file.h"
#include "core/mem.h"
#include "support/fake_platform.h"
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

void putU32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = std::uint8_t(x >> (8 * i));
}

std::vector<std::uint8_t> build(const std::vector<PffPackMember>& members) {
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_TRUE(pff_BuildArchive(members, out, error)) << error;
    return out;
}

class Pff : public ::testing::Test {
protected:
    ScopedCore core;
    ScopedTempDir dir;
};

}  // namespace

TEST_F(Pff, WriterLaysOutHeaderDirectoryAndMembers) {
    auto a = build({{"alps.trn", bytes("terrain"), false}, {"sixteen_chars_x", bytes("xy"), true}});
    ASSERT_EQ(a.size(), 20u + 2 * 32 + 7 + 2);
    EXPECT_EQ(a[0], 20);   // header size
    EXPECT_EQ(a[8], 2);    // entry count
    EXPECT_EQ(a[12], 32);  // entry size
    EXPECT_EQ(a[16], 20);  // directory right behind the header
    const std::uint8_t* e0 = &a[20];
    EXPECT_EQ(e0[2], 0);
    EXPECT_EQ(e0[4], 84);  // first member behind the directory
    EXPECT_EQ(e0[8], 7);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(e0 + 16)), "alps.trn");
    const std::uint8_t* e1 = &a[52];
    EXPECT_EQ(e1[2], 1);
    EXPECT_EQ(e1[4], 91);
    // The scrambled member differs from its plain bytes and unscrambles back.
    EXPECT_NE(a[91], 'x');
    pff_Unscramble(&a[91], 2);
    EXPECT_EQ(std::string(a.begin() + 91, a.end()), "xy");
}

TEST_F(Pff, ScramblingIsTheRotatingSeedStream) {
    std::vector<std::uint8_t> zeros(8, 0);
    pff_Unscramble(zeros.data(), zeros.size());
    EXPECT_EQ(zeros, (std::vector<std::uint8_t>{0x35, 0xcb, 0xb2, 0x1f, 0xa3, 0xac, 0x5b, 0x91}));
    pff_Unscramble(zeros.data(), zeros.size());
    EXPECT_EQ(zeros, std::vector<std::uint8_t>(8, 0));

    // Long runs, unaligned starts and odd lengths give the same stream as byte by byte.
    std::vector<std::uint8_t> data(1000);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = std::uint8_t(i * 37);
    std::vector<std::uint8_t> expect = data;
    std::uint32_t state = kPffScrambleSeed;
    for (std::size_t i = 3; i < 3 + 997; ++i) {
        state = (state << 7) | (state >> 25);
        expect[i] ^= std::uint8_t(state);
    }
    pff_Unscramble(data.data() + 3, 997);
    EXPECT_EQ(data, expect);
}

TEST_F(Pff, WriterRefusesNamesTheReaderCouldNotFindAgain) {
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_FALSE(pff_BuildArchive({{"", {}, false}}, out, error));
    EXPECT_FALSE(pff_BuildArchive({{"a_name_too_long_", {}, false}}, out, error));  // 16 characters
    EXPECT_FALSE(pff_BuildArchive({{"maps\\a.trn", {}, false}}, out, error));
    EXPECT_FALSE(pff_BuildArchive({{"maps/a.trn", {}, false}}, out, error));
    EXPECT_FALSE(pff_BuildArchive({{"Text.bin", {}, false}, {"TEXT.BIN", {}, false}}, out, error));
    EXPECT_NE(error.find("twice"), std::string::npos);
    EXPECT_TRUE(pff_BuildArchive({}, out, error));  // an empty archive is valid
    EXPECT_EQ(out.size(), 20u);
}

TEST_F(Pff, OpensWrittenArchivesFromDiskAndMemory) {
    auto a = build({{"text.bin", bytes("hello"), false}, {"items.def", bytes("defs"), true}});
    std::string path = dir.write("kz.pff", a);
    std::string error;
    ASSERT_TRUE(
        pff_WriteArchive(path, {{"text.bin", bytes("hello"), false}, {"items.def", bytes("defs"), true}}, error));
    EXPECT_EQ(readWholeFile(path), std::string(a.begin(), a.end()));

    for (PffArchive* arch : {pff_OpenArchive(path.c_str()), pff_OpenArchiveMemory(a.data(), a.size(), "mem")}) {
        ASSERT_NE(arch, nullptr);
        EXPECT_TRUE(arch->open);
        EXPECT_EQ(pff_EntryCount(arch), 2);
        EXPECT_STREQ(mem_BlockName(arch), "PFF STRUCT");
        EXPECT_STREQ(mem_BlockName(arch->directory), "PFF HEADERS");
        const PffEntry* e = pff_FindMember("ITEMS.DEF", arch);
        ASSERT_NE(e, nullptr);
        EXPECT_FALSE(arch->failed);
        EXPECT_EQ(e->flags, 1);
        std::vector<std::uint8_t> got;
        ASSERT_TRUE(pff_ReadMember(arch, *e, got));
        EXPECT_EQ(got, bytes("defs"));
        EXPECT_EQ(pff_FindMember("missing", arch), nullptr);
        EXPECT_TRUE(arch->failed);
        EXPECT_EQ(pff_Entry(arch, 2), nullptr);
        EXPECT_EQ(pff_Entry(arch, -1), nullptr);
        pff_CloseArchive(arch);
    }
    EXPECT_EQ(mem_LiveBlocks(mem_State().archivePool), 0);
}

TEST_F(Pff, RefusesArchivesWhoseHeaderOrDirectoryTheFileDoesNotHold) {
    auto good = build({{"a", bytes("1234"), false}});
    auto refused = [&](std::vector<std::uint8_t> v) {
        PffArchive* a = pff_OpenArchive(dir.write("bad.pff", v).c_str());
        PffArchive* m = pff_OpenArchiveMemory(v.data(), v.size(), "bad");
        bool both = a == nullptr && m == nullptr;
        pff_CloseArchive(a);
        pff_CloseArchive(m);
        return both;
    };
    auto v = good;
    putU32(v, 0, 19);
    EXPECT_TRUE(refused(v)) << "header size 19";
    EXPECT_TRUE(refused(std::vector<std::uint8_t>(good.begin(), good.begin() + 19))) << "short header";
    EXPECT_TRUE(refused({})) << "empty file";
    v = good;
    putU32(v, 8, 2);
    EXPECT_TRUE(refused(v)) << "directory runs past the end";
    v = good;
    putU32(v, 16, 0xFFFFFFF0u);
    EXPECT_TRUE(refused(v)) << "directory offset outside";
    v = good;
    putU32(v, 8, 0x08000000u);  // count * 32 wraps to 0 in 32 bits
    EXPECT_TRUE(refused(v)) << "entry count wrapping";
    EXPECT_EQ(pff_OpenArchive(dir.file("none.pff").c_str()), nullptr);
    EXPECT_EQ(pff_OpenArchive(dir.path().string().c_str()), nullptr) << "a folder";
    EXPECT_EQ(pff_OpenArchive(nullptr), nullptr);
    EXPECT_EQ(mem_LiveBlocks(mem_State().archivePool), 0) << "refused archives leave nothing behind";
    EXPECT_FALSE(refused(good));
}

TEST_F(Pff, RefusesADirectoryTheArchivePoolCannotHold) {
    ScopedFakePlatform fake;
    // 600000 entries (19 MB of directory) fit the file but not the 15 MiB pool.
    std::vector<std::uint8_t> v(20 + 600000u * 32, 0);
    putU32(v, 0, 20);
    putU32(v, 8, 600000);
    putU32(v, 16, 20);
    EXPECT_EQ(pff_OpenArchiveMemory(v.data(), v.size(), "huge"), nullptr);
    EXPECT_EQ(mem_LiveBlocks(mem_State().archivePool), 0);
}

TEST_F(Pff, MemberNamesEndAtSixteenBytesAndMembersAtTheFileEnd) {
    auto v = build({{"a", bytes("1234"), false}, {"b", bytes("5678"), false}});
    // Fill the first name's 16 bytes without a terminator, and let the second member run
    // 100 bytes past the end of the file.
    std::memcpy(&v[20 + 16], "ABCDEFGHIJKLMNOP", 16);
    putU32(v, 52 + 8, 104);
    PffArchive* a = pff_OpenArchiveMemory(v.data(), v.size(), "mem");
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(pff_Entry(a, 0)->name, "ABCDEFGHIJKLMNOP");
    EXPECT_NE(pff_FindMember("abcdefghijklmnop", a), nullptr);
    const PffEntry* b = pff_FindMember("b", a);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(pff_MemberSize(a, *b), 4u);
    std::vector<std::uint8_t> got;
    ASSERT_TRUE(pff_ReadMember(a, *b, got));
    EXPECT_EQ(got, bytes("5678"));
    // A member starting beyond the end has no bytes at all.
    putU32(v, 52 + 4, 0xFFFFFF00u);
    pff_CloseArchive(a);
    a = pff_OpenArchiveMemory(v.data(), v.size(), "mem");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(pff_MemberSize(a, *pff_FindMember("b", a)), 0u);
    ASSERT_TRUE(pff_ReadMember(a, *pff_FindMember("b", a), got));
    EXPECT_TRUE(got.empty());
    pff_CloseArchive(a);
}
