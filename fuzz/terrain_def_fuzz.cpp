// Fuzzes the terrain definition keywords: the input is split into CR LF lines like a layer
// file, each line through the line parser's tokenizer and then the definition's line handler.
#include "gamedata/terrain.h"
#include "core/parser.h"

#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TerrainDef def;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        const LineTokens tokens = parser_SplitLine(line.c_str());
        if (tokens.count > 0 && tokens.at(0)[0] != '/') terrain_DefineLine(def, tokens);
        start = end + 2;
    }
    return 0;
}
