// sortie-cli scr: scrambles definition files into the "SCR" form the line parser reads,
// and back.
#include "cli/cli.h"
#include "core/file.h"
#include "core/parser.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: sortie-cli scr scramble --seed HEX IN -o OUT\n"
    "       sortie-cli scr unscramble --seed HEX IN -o OUT\n"
    "\n"
    "scramble    writes OUT as the header 'SCR' 0x01 followed by IN scrambled with the seed.\n"
    "unscramble  undoes it: IN must start with that header.\n"
    "The seed is a non-zero 32-bit hexadecimal number (0 means a file is not scrambled).\n";

int usage() {
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

bool parseSeed(const std::string& text, std::uint32_t& seed) {
    std::string_view s = text;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.remove_prefix(2);
    if (s.empty() || s.size() > 8) return false;
    std::uint32_t v = 0;
    for (char c : s) {
        int d = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
        if (d < 0) return false;
        v = v << 4 | static_cast<std::uint32_t>(d);
    }
    seed = v;
    return true;
}

}  // namespace

int cmd_Scr(CliContext&, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.empty()) return usage();
    const std::string& mode = args[0];
    if (mode != "scramble" && mode != "unscramble") return cli_Fail(usage(), "scr: unknown subcommand " + mode);

    std::string input, output, seedText;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--seed" || a == "-o") && i + 1 < args.size()) {
            std::string& slot = a == "--seed" ? seedText : output;
            if (!slot.empty()) return usage();
            slot = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usage();
        } else if (input.empty()) {
            input = a;
        } else {
            return usage();
        }
    }
    std::uint32_t seed = 0;
    if (input.empty() || output.empty() || seedText.empty()) return usage();
    if (!parseSeed(seedText, seed)) return cli_Fail(usage(), "scr: bad seed " + seedText);
    if (seed == 0) return cli_Fail(usage(), "scr: seed 0 turns scrambling off");

    std::ifstream in(input, std::ios::binary);
    if (!in) return cli_Fail(kExitBadInput, "cannot read " + input);
    std::vector<std::uint8_t> data{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return cli_Fail(kExitBadInput, "cannot read " + input);
    if (data.size() > 0xFFFFFFF0u) return cli_Fail(kExitBadInput, input + ": too large");

    if (mode == "scramble") {
        parser_Scramble(data.data(), static_cast<std::uint32_t>(data.size()), seed);
        data.insert(data.begin(), kScrHeader.begin(), kScrHeader.end());
    } else {
        if (data.size() < kScrHeader.size() || !std::equal(kScrHeader.begin(), kScrHeader.end(), data.begin()))
            return cli_Fail(kExitBadInput, input + ": not a scrambled file (no SCR header)");
        data.erase(data.begin(), data.begin() + kScrHeader.size());
        parser_Unscramble(data.data(), static_cast<std::uint32_t>(data.size()), seed);
    }
    if (!file_WriteAtomic(output, data.data(), data.size())) return cli_Fail(kExitBadInput, "cannot write " + output);
    return kExitOk;
}
