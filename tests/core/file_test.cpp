#include "core/file.h"

#include "core/mem.h"
#include "core/pff.h"
#include "support/fake_platform.h"
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::vector<std::uint8_t> bytes(std::string_view s) { return {s.begin(), s.end()}; }

std::string str(const void* p, std::size_t n) { return std::string(static_cast<const char*>(p), n); }

class FileLayer : public ::testing::Test {
protected:
    ScopedCore core;
    ScopedTempDir dir;

    std::string archive(const std::string& name, const std::vector<PffPackMember>& members) {
        std::string error;
        std::string path = dir.file(name);
        EXPECT_TRUE(pff_WriteArchive(path, members, error)) << error;
        return path;
    }
};

}  // namespace

TEST_F(FileLayer, ReadsSeeksAndLoadsDiskFiles) {
    std::string path = dir.write("notes.txt", "0123456789");
    int h = file_OpenEx(path.c_str());
    ASSERT_GE(h, 0);
    char buf[16] = {};
    EXPECT_EQ(file_Read(buf, 4), 4);
    EXPECT_EQ(str(buf, 4), "0123");
    EXPECT_EQ(file_Seek(-2, 2), 8);
    EXPECT_EQ(file_Read(buf, 16), 2);
    EXPECT_EQ(str(buf, 2), "89");
    EXPECT_EQ(file_Seek(1, 0), 1);
    EXPECT_EQ(file_Seek(2, 1), 3);
    file_Close();
    EXPECT_EQ(file_Read(buf, 4), 0) << "nothing is current after a close";

    EXPECT_EQ(file_FileSizeEx(path.c_str()), 10);
    EXPECT_EQ(file_Exists(path.c_str()), 1);
    void* block = file_LoadFileEx(path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(str(block, 10), "0123456789");
    EXPECT_EQ(mem_BlockSize(block), 10u);
    EXPECT_STREQ(mem_BlockName(block), "LOADED FILE");
    EXPECT_EQ(file_LastLoadedSize(), 10u);

    std::string missing = dir.file("missing.txt");
    EXPECT_EQ(file_OpenEx(missing.c_str()), -1);
    EXPECT_EQ(file_FileSizeEx(missing.c_str()), -1);
    EXPECT_EQ(file_LoadFileEx(missing.c_str()), nullptr);
    EXPECT_EQ(file_Exists(missing.c_str()), 0);
    EXPECT_EQ(file_Exists(dir.path().string().c_str()), 0) << "a folder is not a file";
    EXPECT_EQ(file_Exists(""), 0);
    EXPECT_EQ(file_Exists(nullptr), 0);
}

TEST_F(FileLayer, DiskNamesFromGameDataResolveWithBackslashesAndAnyCase) {
    dir.write("Maps/Alps/ALPS.trn", "alps");
    std::string root = dir.path().string();
    EXPECT_EQ(file_FileSizeEx((root + "/maps/alps/alps.TRN").c_str()), 4);
    EXPECT_EQ(file_FileSizeEx((root + "\\MAPS\\Alps\\alps.trn").c_str()), 4);
    EXPECT_EQ(file_DiskPath(root + "\\maps\\alps\\alps.trn"), root + "/Maps/Alps/ALPS.trn");
    EXPECT_EQ(file_Exists((root + "/maps/alpine/alps.trn").c_str()), 0);
    // The exact spelling wins over another that differs only in case.
    dir.write("Maps/Alps/alps.trn", "exact");
    EXPECT_EQ(file_FileSizeEx((root + "/Maps/Alps/alps.trn").c_str()), 5);
    EXPECT_EQ(file_FileSizeEx((root + "/Maps/Alps/ALPS.trn").c_str()), 4);
}

TEST_F(FileLayer, CreatesAndWritesDiskFiles) {
    std::string path = dir.file("out.bin");
    int h = file_Create(path.c_str());
    ASSERT_GE(h, 0);
    EXPECT_EQ(file_Write("abc", 3), 3);
    EXPECT_EQ(file_Write("de", 2), 2);
    file_Close();
    EXPECT_EQ(readWholeFile(path), "abcde");
    // Creating again empties the file; a differently cased name replaces the same file.
    ASSERT_GE(file_Create(dir.file("OUT.BIN").c_str()), 0);
    EXPECT_EQ(file_Write("x", 1), 1);
    file_Close();
    EXPECT_EQ(readWholeFile(path), "x");
    EXPECT_FALSE(std::filesystem::exists(dir.file("OUT.BIN")));

    // A failed create leaves nothing to write to.
    EXPECT_EQ(file_Create(dir.file("no/such/folder/x.bin").c_str()), -1);
    EXPECT_EQ(file_Write("abc", 3), -1);
    file_Close();
    EXPECT_EQ(file_Write("abc", 3), -1) << "after a close";
}

TEST_F(FileLayer, AtomicWritesReplaceWholeOrNotAtAll) {
    std::string path = dir.write("mission.mis", "old contents");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(file_WriteAtomic(path, "new", 3));
    EXPECT_EQ(readWholeFile(path), "new");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the file keeps its permissions";
    EXPECT_TRUE(file_WriteAtomic(dir.file("empty.bin"), nullptr, 0));
    EXPECT_EQ(readWholeFile(dir.file("empty.bin")), "");

    // Failures: a folder in the way, a missing folder, a read-only folder.
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_FALSE(file_WriteAtomic(dir.file("taken"), "x", 1));
    EXPECT_FALSE(file_WriteAtomic(dir.file("missing/x.mis"), "x", 1));
    std::filesystem::create_directory(dir.file("locked"));
    std::string locked = dir.write("locked/keep.mis", "keep");
    ::chmod(dir.file("locked").c_str(), 0555);
    if (::access(dir.file("locked").c_str(), W_OK) != 0) {  // root may write anyway
        EXPECT_FALSE(file_WriteAtomic(locked, "lost", 4));
        EXPECT_EQ(readWholeFile(locked), "keep");
    }
    ::chmod(dir.file("locked").c_str(), 0755);
    // No temporary files are left behind.
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.path()))
        n += e.path().filename().string().find(".mis.") != std::string::npos;
    EXPECT_EQ(n, 0);
}

TEST_F(FileLayer, MembersReadSeekAndLoadThroughTheRegistry) {
    std::string path = archive("kz.pff", {{"text.bin", bytes("TEXTDATA"), false},
                                          {"items.def", bytes("item 1\nitem 2\n"), true},
                                          {"next.bin", bytes("NEXT"), false}});
    pff_RegisterArchives(path.c_str(), nullptr);
    ASSERT_EQ(pff_ArchiveCount(), 1);

    EXPECT_EQ(file_OpenEx("TEXT.BIN"), 1);
    char buf[32] = {};
    EXPECT_EQ(file_Read(buf, 4), 4);
    EXPECT_EQ(str(buf, 4), "TEXT");
    EXPECT_EQ(file_Seek(0, 2), 8);
    EXPECT_EQ(file_Seek(-3, 1), 5);
    EXPECT_EQ(file_Read(buf, 3), 3);
    EXPECT_EQ(str(buf, 3), "ATA");
    EXPECT_EQ(file_Seek(0, 0), 0);
    EXPECT_EQ(file_Seek(-1, 0), -1) << "before the archive's start";
    file_Close();

    void* block = file_LoadFileEx("items.def");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(str(block, 14), "item 1\nitem 2\n") << "a flagged member loads unscrambled";
    EXPECT_STREQ(mem_BlockName(block), "PFF LOADED FILE");
    EXPECT_EQ(file_LastLoadedSize(), 14u);
    EXPECT_EQ(pff_Archive(0)->lastSize, 14u);
    EXPECT_EQ(file_FileSizeEx("Next.Bin"), 4);
    EXPECT_EQ(file_Exists("next.bin"), 1);
    EXPECT_EQ(file_Exists("maps\\next.bin"), 0) << "a folder part is never found in an archive";
    EXPECT_EQ(file_Exists("nope.bin"), 0);
}

TEST_F(FileLayer, SearchOrderFollowsTheDiskFirstSwitch) {
    std::string first = archive("one.pff", {{"shared.txt", bytes("one"), false}, {"only1.txt", bytes("1"), false}});
    std::string second = archive("two.pff", {{"SHARED.TXT", bytes("two!"), false}, {"only2.txt", bytes("2"), false}});
    std::string disk = dir.write("shared.txt", "disk file");
    std::string onlyDisk = dir.write("ondisk.txt", "d");

    // Nothing registered: the disk serves whatever the switch says.
    EXPECT_EQ(file_FileSizeEx(onlyDisk.c_str()), 1);

    pff_RegisterArchives(first.c_str(), second.c_str());
    EXPECT_EQ(pff_ArchiveCount(), 2);
    EXPECT_EQ(file_SetDiskFirst(0), 0);
    // Switch off: archives only, the lower slot first.
    EXPECT_EQ(file_FileSizeEx("shared.txt"), 3);
    EXPECT_EQ(file_FileSizeEx("only2.txt"), 1);
    EXPECT_EQ(file_FileSizeEx(onlyDisk.c_str()), -1);

    EXPECT_EQ(file_SetDiskFirst(1), 0);
    EXPECT_EQ(file_SetDiskFirst(1), 1);
    EXPECT_EQ(file_FileSizeEx(disk.c_str()), 9) << "disk first";
    EXPECT_EQ(file_FileSizeEx(onlyDisk.c_str()), 1);
    EXPECT_EQ(file_FileSizeEx("only1.txt"), 1);

    // A new registration replaces the old one; a refused archive is left out.
    std::string bad = dir.write("bad.pff", "short");
    pff_RegisterArchives(second.c_str(), bad.c_str(), dir.file("absent.pff").c_str());
    EXPECT_EQ(pff_ArchiveCount(), 1);
    EXPECT_EQ(file_Exists("only1.txt"), 0);
    EXPECT_EQ(file_FileSizeEx("shared.txt"), 4);
}

TEST_F(FileLayer, RegistryHoldsSixteenArchives) {
    std::string path = archive("a.pff", {{"x", bytes("x"), false}});
    pff_RegisterArchives(nullptr, nullptr);
    for (int i = 0; i < 16; ++i) pff_AddArchive(pff_OpenArchive(path.c_str()));
    EXPECT_EQ(pff_ArchiveCount(), 16);
    PffArchive* extra = pff_OpenArchive(path.c_str());
    ASSERT_NE(extra, nullptr);
    pff_AddArchive(extra);
    EXPECT_EQ(pff_ArchiveCount(), 16);
    for (int i = 0; i < 16; ++i) EXPECT_NE(pff_Archive(i), extra);
    pff_CloseArchive(extra);
    pff_AddArchive(nullptr);  // storing none changes nothing
    EXPECT_EQ(pff_ArchiveCount(), 16);
    EXPECT_EQ(pff_Archive(16), nullptr);
    EXPECT_EQ(pff_Archive(-1), nullptr);
    file_Reset();
    EXPECT_EQ(pff_ArchiveCount(), 0);
    EXPECT_EQ(mem_LiveBlocks(mem_State().archivePool), 0) << "a reset closes every archive";
}

TEST_F(FileLayer, LoadsThatThePoolCannotHoldFailCleanly) {
    ScopedFakePlatform fake;
    std::string big(kMemMainPoolSize, 'x');
    std::string path = dir.write("big.bin", big);
    EXPECT_EQ(file_LoadFileEx(path.c_str()), nullptr);
    EXPECT_EQ(mem_LiveBlocks(mem_State().mainPool), 0);
    // The registered archive is not tried after the disk refused for want of memory.
    std::string arch = archive("a.pff", {{"big.bin", bytes("small"), false}});
    pff_RegisterArchives(arch.c_str(), nullptr);
    file_SetDiskFirst(1);
    auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(file_LoadFileEx("big.bin"), nullptr);
    std::filesystem::remove(path);
    void* small = file_LoadFileEx("big.bin");
    std::filesystem::current_path(cwd);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(str(small, 5), "small");
    EXPECT_EQ(fake->debugLines.size(), 2u);
}

TEST_F(FileLayer, RestartingThePoolsForgetsTheRegistry) {
    std::string path = archive("a.pff", {{"x.txt", bytes("x"), false}});
    pff_RegisterArchives(path.c_str(), nullptr);
    ASSERT_EQ(pff_ArchiveCount(), 1);
    ASSERT_EQ(mem_Startup(), 0);
    EXPECT_EQ(pff_ArchiveCount(), 0);
    EXPECT_EQ(file_Exists("x.txt"), 0);
    pff_RegisterArchives(path.c_str(), nullptr);
    mem_Shutdown();
    EXPECT_EQ(pff_ArchiveCount(), 0);
    EXPECT_EQ(pff_Archive(0), nullptr);
    ASSERT_EQ(mem_Startup(), 0);
}
