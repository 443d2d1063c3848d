#include "core/dirlist.h"

#include "core/file.h"
#include "core/pff.h"
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<std::string> names(const DirList* list) {
    std::vector<std::string> out;
    if (list)
        for (const DirEntry* e = list->first; e; e = e->next) out.emplace_back(e->name);
    return out;
}

std::vector<std::string> names(const StrList* list) {
    std::vector<std::string> out;
    if (list)
        for (const StrEntry* e = list->first; e; e = e->next) out.emplace_back(e->string);
    return out;
}

// Every test checks that what it listed was released again.
class Lists : public ::testing::Test {
protected:
    void SetUp() override { liveBefore = gmem_State().liveCount; }
    void TearDown() override {
        gmem_State().failAfter = -1;
        EXPECT_EQ(gmem_State().liveCount, liveBefore) << "tracked blocks left behind";
    }
    int liveBefore = 0;
    ScopedTempDir dir;
};

using Strings = std::vector<std::string>;

}  // namespace

TEST(NameMatch, WildcardClasses) {
    EXPECT_EQ(name_Match("alps.trn", "*.trn"), 1);
    EXPECT_EQ(name_Match("ALPS.TRN", "*.trn"), 1);
    EXPECT_EQ(name_Match("alps.trn.bak", "*.trn"), 0);
    EXPECT_EQ(name_Match("map07.pcx", "map##.pcx"), 1);
    EXPECT_EQ(name_Match("mapab.pcx", "map##.pcx"), 0);
    EXPECT_EQ(name_Match("Zulu", "@*"), 1);
    EXPECT_EQ(name_Match("9lives", "@*"), 0);
    EXPECT_EQ(name_Match("a", "a+"), 0);
    EXPECT_EQ(name_Match("ab", "a+"), 1);
    EXPECT_EQ(name_Match("abcd", "a+"), 1);
    EXPECT_EQ(name_Match("", "*"), 1);
    EXPECT_EQ(name_Match("", "?"), 0);
    EXPECT_EQ(name_Match("abc", "ab"), 0) << "the pattern ends before the name";
    EXPECT_EQ(name_Match("ab", "abc"), 0);
    EXPECT_EQ(name_Match("a.b", "?.?"), 1);
    EXPECT_EQ(name_Match("x", nullptr), 0);
    // Many stars against a long name that almost matches stay quick.
    std::string longName(4000, 'a');
    EXPECT_EQ(name_Match(longName.c_str(), "*a*a*a*a*a*a*a*a*a*a*a*a*b"), 0);
}

TEST_F(Lists, TrackedBlocksAreZeroedTaggedAndCounted) {
    auto& g = gmem_State();
    std::uint32_t serial = g.serial;
    auto* a = static_cast<unsigned char*>(gmem_Alloc("_TEST", 24));
    ASSERT_NE(a, nullptr);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(a[i], 0);
    EXPECT_STREQ(gmem_Tag(a), "_TEST");
    EXPECT_EQ(g.liveCount, liveBefore + 1);
    EXPECT_EQ(g.head->serial, serial);
    EXPECT_EQ(g.head->size, 24u);
    EXPECT_EQ(gmem_Alloc("_TEST", 0), nullptr);
    gmem_Free(a);
    gmem_Free(a);  // twice: ignored
    int local = 0;
    gmem_Free(&local);
    gmem_Free(nullptr);
    EXPECT_EQ(g.liveCount, liveBefore);
    EXPECT_STREQ(gmem_Tag(a), "");
}

TEST_F(Lists, StringListsFindWithoutCaseAndKeepOrder) {
    StrList* l = strlist_Create();
    ASSERT_NE(l, nullptr);
    ASSERT_NE(strlist_Add(l, "Alps"), nullptr);
    ASSERT_NE(strlist_Add(l, "desert"), nullptr);
    ASSERT_NE(strlist_Add(l, "alps"), nullptr);
    EXPECT_EQ(l->count, 3);
    EXPECT_EQ(names(l), (Strings{"Alps", "desert", "alps"}));
    EXPECT_STREQ(strlist_Find(l, "ALPS")->string, "Alps");
    EXPECT_EQ(strlist_Find(l, "alp"), nullptr);
    EXPECT_EQ(strlist_Find(l, "alpsx"), nullptr);
    EXPECT_EQ(strlist_Find(nullptr, "x"), nullptr);
    EXPECT_EQ(l->last->prev->owner, l);
    EXPECT_STREQ(gmem_Tag(l->first), "_STRINGLIST_ENTRY");
    EXPECT_STREQ(gmem_Tag(l), "_STRINGLIST");
    strlist_Free(l);
}

TEST_F(Lists, DirectoryListingsSortAndFilter) {
    dir.write("maps/beta.trn", "bb");
    dir.write("maps/Alpha.trn", "a");
    dir.write("maps/gamma.TRN", "ggg");
    dir.write("maps/gamma.trn.bak", "");
    dir.write("maps/_under.trn", "");
    std::filesystem::create_directory(dir.file("maps/sub.trn"));
    std::string folder = dir.file("maps");

    DirList* l = dir_List((folder + "/*.trn").c_str(), 0);
    EXPECT_EQ(names(l), (Strings{"Alpha.trn", "_under.trn", "beta.trn", "gamma.TRN", "sub.trn"})) << "byte order";
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->count, 5);
    EXPECT_STREQ(gmem_Tag(l), "_EDIRLIST");
    EXPECT_STREQ(gmem_Tag(l->first), "_EDIRLIST_ENTRY");
    for (const DirEntry* e = l->first; e; e = e->next) {
        EXPECT_EQ(e->owner, l);
        if (std::strcmp(e->name, "gamma.TRN") == 0) {
            EXPECT_EQ(e->size, 3u);
            EXPECT_EQ(e->attributes, kDirAttrNormal);
        }
        if (std::strcmp(e->name, "sub.trn") == 0) {
            EXPECT_EQ(e->attributes & kDirAttrDirectory, kDirAttrDirectory);
        }
    }
    dir_Free(l);

    l = dir_List((folder + "\\*.trn").c_str(), kDirSortNoCase | kDirPrefixFolder);
    EXPECT_EQ(names(l), (Strings{folder + "\\_under.trn", folder + "\\Alpha.trn", folder + "\\beta.trn",
                                 folder + "\\gamma.TRN", folder + "\\sub.trn"}));
    dir_Free(l);

    // A folder written in another case is still found; ".." only on request.
    std::string upper = dir.path().string() + "/MAPS/*";
    l = dir_List(upper.c_str(), kDirSortNoCase);
    EXPECT_EQ(l ? l->count : 0, 6);
    dir_Free(l);
    l = dir_List(upper.c_str(), kDirSortNoCase | kDirKeepParent);
    ASSERT_NE(l, nullptr);
    EXPECT_STREQ(l->first->name, "..");
    dir_Free(l);

    EXPECT_EQ(dir_List((folder + "/*.xyz").c_str(), 0), nullptr) << "nothing matches";
    EXPECT_EQ(dir_List((dir.path().string() + "/nowhere/*").c_str(), kDirKeepParent), nullptr);
    EXPECT_EQ(dir_List((folder + "/").c_str(), 0), nullptr);
}

TEST_F(Lists, DirectoryEntryTimesAreUniversalTime) {
    std::string path = dir.write("t.trn", "x");
    // 2021-03-04 05:06:07.250 UTC
    struct timespec times[2] = {{1614834367, 250000000}, {1614834367, 250000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    ::chmod(path.c_str(), 0444);
    DirList* l = dir_List(dir.file("*.trn").c_str(), 0);
    ASSERT_NE(l, nullptr);
    const DirTime& w = l->first->written;
    EXPECT_EQ(w.year, 2021);
    EXPECT_EQ(w.month, 3);
    EXPECT_EQ(w.day, 4);
    EXPECT_EQ(w.hour, 5);
    EXPECT_EQ(w.minute, 6);
    EXPECT_EQ(w.second, 7);
    EXPECT_EQ(w.millisecondLow, 250);
    EXPECT_EQ(l->first->accessed.year, 2021);
    EXPECT_NE(l->first->created.year, 0);
    EXPECT_EQ(l->first->attributes, kDirAttrReadOnly);
    dir_Free(l);
}

TEST_F(Lists, ListingThatRunsOutOfMemoryLeavesNothing) {
    for (const char* n : {"a.trn", "b.trn", "c.trn"}) dir.write(n, "");
    std::string pattern = dir.file("*.trn");
    for (long fail = 0; fail < 4; ++fail) {
        gmem_State().failAfter = fail;
        EXPECT_EQ(dir_List(pattern.c_str(), 0), nullptr) << "failing allocation " << fail;
        EXPECT_EQ(gmem_State().liveCount, liveBefore);
    }
    gmem_State().failAfter = -1;
}

class ListFiles : public Lists {
protected:
    ScopedCore core;
    std::filesystem::path cwd = std::filesystem::current_path();
    void SetUp() override {
        Lists::SetUp();
        std::filesystem::current_path(dir.path());
    }
    void TearDown() override {
        std::filesystem::current_path(cwd);
        Lists::TearDown();
    }
    void registerArchive(const std::vector<std::string>& members) {
        std::vector<PffPackMember> m;
        for (const auto& n : members) m.push_back({n, {'x'}, false});
        std::string error;
        ASSERT_TRUE(pff_WriteArchive(dir.file("t.pff"), m, error)) << error;
        pff_RegisterArchives(dir.file("t.pff").c_str(), nullptr);
    }
};

TEST_F(ListFiles, DiskThenArchivesLowerCaseAndUnique) {
    dir.write("Alps.trn", "");
    dir.write("desert.TRN", "");
    dir.write("README", "");
    registerArchive({"zulu.trn", "alps.trn", "Coast.trn", "map.pcx", "DESERT.trn"});
    file_SetDiskFirst(1);
    StrList* l = file_ListFiles("*.trn");
    EXPECT_EQ(names(l), (Strings{"alps.trn", "desert.trn", "zulu.trn", "coast.trn"}));
    strlist_Free(l);

    // Switch off: the archives only, as long as one is registered.
    file_SetDiskFirst(0);
    l = file_ListFiles("*.trn");
    EXPECT_EQ(names(l), (Strings{"zulu.trn", "alps.trn", "coast.trn", "desert.trn"}));
    strlist_Free(l);
    EXPECT_EQ(file_ListFiles("*.xyz"), nullptr);

    file_Reset();
    l = file_ListFiles("*.trn");
    EXPECT_EQ(names(l), (Strings{"alps.trn", "desert.trn"})) << "no archive: the disk";
    strlist_Free(l);
}

TEST_F(ListFiles, FailureToAddReleasesTheList) {
    dir.write("a.trn", "");
    registerArchive({"b.trn", "c.trn"});
    file_SetDiskFirst(1);
    // Whichever allocation fails, nothing stays allocated. A disk listing that cannot be
    // made counts as a disk without matches; a failure to add gives no list at all.
    gmem_State().failAfter = 0;
    EXPECT_EQ(file_ListFiles("*.trn"), nullptr);
    // Allocations: the list, the disk listing, its one entry, then a string entry per name.
    for (long fail = 1; fail < 6; ++fail) {
        gmem_State().failAfter = fail;
        StrList* partial = file_ListFiles("*.trn");
        gmem_State().failAfter = -1;
        if (fail <= 2) {
            EXPECT_EQ(names(partial), (Strings{"b.trn", "c.trn"})) << "failing allocation " << fail;
            strlist_Free(partial);
        } else {
            EXPECT_EQ(partial, nullptr) << "failing allocation " << fail;
        }
        EXPECT_EQ(gmem_State().liveCount, liveBefore) << "failing allocation " << fail;
    }
    gmem_State().failAfter = -1;
    StrList* l = file_ListFiles("*.trn");
    EXPECT_EQ(names(l).size(), 3u);
    strlist_Free(l);
}
