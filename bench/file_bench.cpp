// Loading a 4 MiB member out of a 500-member archive through the file layer, against a
// plain positioned read of the same bytes from the same file (the limit the layer can reach:
// it adds a directory walk, a pool allocation and, for a scrambled member, the unscrambling).
#include "core/file.h"
#include "core/mem.h"
#include "core/pff.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::size_t kBigSize = 4u << 20;
constexpr int kMembers = 500;

struct Fixture {
    std::string folder, archive;
    std::uint32_t bigOffset = 0;

    Fixture() {
        char tmpl[] = "/tmp/sortie-bench-XXXXXX";
        folder = ::mkdtemp(tmpl);
        archive = folder + "/bench.pff";
        // 498 small members, then the big one plain and scrambled, last in the directory so
        // every lookup walks the whole of it.
        std::vector<PffPackMember> members;
        for (int i = 0; i < kMembers - 2; ++i)
            members.push_back(
                {"m" + std::to_string(i) + ".bin", std::vector<std::uint8_t>(1024 + i * 16, std::uint8_t(i)), false});
        std::vector<std::uint8_t> big(kBigSize);
        for (std::size_t i = 0; i < big.size(); ++i) big[i] = std::uint8_t(i * 2654435761u >> 24);
        members.push_back({"big.bin", big, false});
        members.push_back({"bigscr.bin", big, true});
        std::string error;
        if (!pff_WriteArchive(archive, members, error)) std::abort();

        if (mem_Startup() != 0) std::abort();
        file_Reset();
        pff_RegisterArchives(archive.c_str(), nullptr);
        file_SetDiskFirst(1);
        bigOffset = pff_FindMember("big.bin", pff_Archive(0))->offset;
    }
    ~Fixture() {
        file_Reset();
        mem_Shutdown();
        std::filesystem::remove_all(folder);
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void loadMember(benchmark::State& state, const char* name) {
    fixture();
    for (auto _ : state) {
        void* block = file_LoadFileEx(name);
        if (block == nullptr) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(block);
        mem_Free(block);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBigSize);
}

void BM_LoadFileEx_Member(benchmark::State& state) { loadMember(state, "big.bin"); }
void BM_LoadFileEx_ScrambledMember(benchmark::State& state) { loadMember(state, "bigscr.bin"); }

void BM_PosixRead_SameBytes(benchmark::State& state) {
    Fixture& f = fixture();
    std::vector<std::uint8_t> buffer(kBigSize);
    for (auto _ : state) {
        int fd = ::open(f.archive.c_str(), O_RDONLY);
        ::lseek(fd, f.bigOffset, SEEK_SET);
        std::size_t done = 0;
        while (done < kBigSize) {
            ssize_t n = ::read(fd, buffer.data() + done, kBigSize - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kBigSize);
}

}  // namespace

BENCHMARK(BM_LoadFileEx_Member)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadFileEx_ScrambledMember)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PosixRead_SameBytes)->Unit(benchmark::kMicrosecond);
