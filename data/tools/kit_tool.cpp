// sortie-kit: builds the generated parts of the sample game data kit.
//
//   sortie-kit crlf IN OUT                 copy a text file with CR LF line ends (the file
//                                          layer's line reader splits lines only at CR LF)
//   sortie-kit terrain NAME SEED OUTDIR    the maps of a procedural terrain
//   sortie-kit models OUTDIR               every item model, NAME.3di
//   sortie-kit mission SEED ITEMS OUT      the large sample mission
#include "data/tools/kit.h"

#include "core/file.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

namespace {

int usage() {
    std::fputs("usage: sortie-kit crlf IN OUT | terrain NAME SEED OUTDIR | models OUTDIR | mission SEED ITEMS OUT\n",
               stderr);
    return 2;
}

bool parseNumber(const char* text, std::uint32_t& out) {
    char* end = nullptr;
    const unsigned long v = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0' || v > 0xFFFFFFFFul) return false;
    out = static_cast<std::uint32_t>(v);
    return true;
}

int crlf(const std::string& in, const std::string& out) {
    std::ifstream f(in, std::ios::binary);
    if (!f) {
        std::fprintf(stderr, "sortie-kit: cannot read %s\n", in.c_str());
        return 1;
    }
    const std::string text{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') continue;  // an existing CR LF is written once
        if (text[i] == '\n') result += '\r';
        result += text[i];
    }
    if (!result.empty() && result.back() != '\n') result += "\r\n";
    if (!file_WriteAtomic(out, result.data(), result.size())) {
        std::fprintf(stderr, "sortie-kit: cannot write %s\n", out.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string cmd = argv[1];
    if (cmd == "crlf" && argc == 4) return crlf(argv[2], argv[3]);
    if (cmd == "terrain" && argc == 5) {
        std::uint32_t seed = 0;
        if (!parseNumber(argv[3], seed)) return usage();
        const int rc = kit_Terrain(argv[2], seed, argv[4]);
        if (rc != 0) std::fprintf(stderr, "sortie-kit: cannot write the maps of %s\n", argv[2]);
        return rc;
    }
    if (cmd == "models" && argc == 3) {
        const int rc = kit_Models(argv[2]);
        if (rc != 0) std::fprintf(stderr, "sortie-kit: cannot write the models\n");
        return rc;
    }
    if (cmd == "mission" && argc == 5) {
        std::uint32_t seed = 0, items = 0;
        if (!parseNumber(argv[2], seed) || !parseNumber(argv[3], items) || items > 4000) return usage();
        const std::string text = kit_LargeMission(seed, static_cast<int>(items));
        return file_WriteAtomic(argv[4], text.data(), text.size()) ? 0 : 1;
    }
    return usage();
}
