// Drives the line parser over one buffer: token splitting and both line-end rules with a
// callback that refuses a chosen line, then the SCR unscrambling in front of a parse, and
// scrambling must undo it exactly. The first four bytes are the seed, the fifth picks the
// refused line. The body of the parser fuzz target and of the test that replays saved
// inputs; false when an invariant breaks.
#pragma once

#include "core/file.h"
#include "core/parser.h"
#include "support/fake_platform.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline bool parser_ExerciseBuffer(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return true;
    std::uint32_t seed;
    std::memcpy(&seed, data, 4);
    const int failOn = data[4] % 32;  // 0: every line accepted
    data += 5;
    size -= 5;

    FakePlatform quiet;
    platform_Set(&quiet);
    bool ok = true;

    int last = 0;
    bool ended = false;
    LineCallback cb = [&](const LineTokens* t, int line) -> std::int32_t {
        // Nothing after the end; numbers never fall (the pieces of a long line share one),
        // and the end comes after every line.
        if (ended || line < last || (!t && line <= last)) ok = false;
        last = line;
        if (!t) {
            ended = true;
            return 0;
        }
        if (t->count < 1 || t->count > kLineMaxTokens) ok = false;
        std::size_t total = 0;
        for (int i = 0; i < t->count; ++i) total += std::strlen(t->at(i));
        if (total > kLineBufferChars) ok = false;
        return line == failOn ? 5 : 0;
    };

    std::vector<char> text(data, data + size);
    for (LineEnds ends : {LineEnds::DiskText, LineEnds::CrLf}) {
        last = 0;
        ended = false;
        const std::int32_t rc = parser_ParseBuffer(text.data(), text.size(), ends, "fuzz", cb);
        if (rc != 0 && rc != 5) ok = false;
        if ((rc == 5) == ended) ok = false;  // a refusal ends without the final call
    }

    std::vector<std::uint8_t> bytes(data, data + size);
    const auto length = static_cast<std::uint32_t>(bytes.size());
    parser_Unscramble(bytes.data(), length, seed);
    last = 0;
    ended = false;
    parser_ParseBuffer(reinterpret_cast<const char*>(bytes.data()), bytes.size(), LineEnds::CrLf, "fuzz", cb);
    parser_Scramble(bytes.data(), length, seed);
    if (size && std::memcmp(bytes.data(), data, size) != 0) ok = false;

    std::string line(reinterpret_cast<const char*>(data), size);
    (void)parser_SplitLine(line.c_str());
    char name[32] = "file.trn";
    set_Extension(name, sizeof name, line.substr(0, 40).c_str());
    platform_Set(nullptr);
    return ok;
}
