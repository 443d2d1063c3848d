// text_Get lookups per second on a table of 5,000 keys in 40 sections, the size of a full
// UI table. Every caption, menu text and message goes through this lookup.
#include "core/text.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kSections = 40;
constexpr int kKeysPerSection = 125;

struct Query {
    std::string section, key;
};

TextTable* buildTable() {
    TextSource src;
    for (int s = 0; s < kSections; ++s) {
        TextSourceSection sec;
        sec.name = "Section Number " + std::to_string(s);
        for (int k = 0; k < kKeysPerSection; ++k) {
            char key[32];
            std::snprintf(key, sizeof key, "STR_KEY_%02d_%04d", s, k);
            sec.keys.push_back({key, "Text of " + std::string(key)});
        }
        src.sections.push_back(std::move(sec));
    }
    std::vector<std::uint8_t> bytes;
    text_BuildTable(src, bytes);
    return text_LoadTableFromMemory(bytes.data(), bytes.size());
}

// Present keys in a scattered order, written in mixed case as callers do.
std::vector<Query> queries(bool present) {
    std::vector<Query> out;
    for (int i = 0; i < 4096; ++i) {
        const int s = (i * 7) % kSections;
        const int k = (i * 131) % kKeysPerSection;
        char key[32];
        std::snprintf(key, sizeof key, present ? "str_key_%02d_%04d" : "STR_KEY_%02d_%04dX", s, k);
        out.push_back({"section number " + std::to_string(s), key});
    }
    return out;
}

void BM_TextGetFound(benchmark::State& state) {
    TextTable* t = buildTable();
    text_SetCurrent(t);
    const auto q = queries(true);
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& x = q[i++ & 4095];
        benchmark::DoNotOptimize(text_Get(x.section.c_str(), x.key.c_str()));
    }
    state.SetItemsProcessed(state.iterations());
    text_SetCurrent(nullptr);
    text_FreeTable(t);
}
BENCHMARK(BM_TextGetFound);

void BM_TextGetMissing(benchmark::State& state) {
    TextTable* t = buildTable();
    text_SetCurrent(t);
    const auto q = queries(false);
    std::size_t i = 0;
    for (auto _ : state) {
        const Query& x = q[i++ & 4095];
        benchmark::DoNotOptimize(text_Get(x.section.c_str(), x.key.c_str()));
    }
    state.SetItemsProcessed(state.iterations());
    text_SetCurrent(nullptr);
    text_FreeTable(t);
}
BENCHMARK(BM_TextGetMissing);

void BM_TextLoad(benchmark::State& state) {
    TextTable* t = buildTable();
    // Rebuild the bytes once and time only the checked load.
    TextSource src;
    TextSourceError err;
    text_ParseSource(text_DumpSource(t), src, err);
    text_FreeTable(t);
    std::vector<std::uint8_t> bytes;
    text_BuildTable(src, bytes);
    for (auto _ : state) {
        TextTable* l = text_LoadTableFromMemory(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(l);
        text_FreeTable(l);
    }
}
BENCHMARK(BM_TextLoad);

}  // namespace
