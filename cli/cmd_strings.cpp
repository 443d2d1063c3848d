// sortie-cli strings: builds binary string tables from their readable source form and
// dumps them back.
#include "cli/cli.h"
#include "core/file.h"
#include "core/text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

constexpr const char* kUsage =
    "usage: sortie-cli strings build SOURCE... -o FILE.bin\n"
    "       sortie-cli strings dump FILE.bin [-o SOURCE]\n"
    "\n"
    "build  reads the sources in order into one table: a [Section] that appears again,\n"
    "       in the same or a later source, continues the first one; keys keep their order.\n"
    "dump   prints a table in the source form (build then dump gives the source back).\n"
    "\n"
    "Source form: '[Section]' lines, then 'KEY = text' lines; escapes \\n \\t \\\\ \\xHH;\n"
    "blank lines and lines starting with '#' or ';' are comments.\n";

bool readFile(const std::string& path, std::string& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Splits the arguments after the subcommand into inputs and the -o path.
bool splitArgs(const CliArgs& args, std::vector<std::string>& inputs, std::string& output) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            if (i + 1 >= args.size() || !output.empty()) return false;
            output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return false;
        } else {
            inputs.push_back(a);
        }
    }
    return true;
}

int build(const CliArgs& args) {
    std::vector<std::string> inputs;
    std::string output;
    if (!splitArgs(args, inputs, output) || inputs.empty() || output.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    TextSource source;
    for (const auto& path : inputs) {
        std::string text;
        if (!readFile(path, text)) return cli_Fail(kExitBadInput, "cannot read " + path);
        TextSourceError error;
        if (!text_ParseSource(text, source, error)) {
            std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
            return kExitBadInput;
        }
    }
    std::vector<std::uint8_t> table;
    if (!text_BuildTable(source, table)) return cli_Fail(kExitBadInput, "the table would exceed 4 GiB");
    if (!file_WriteAtomic(output, table.data(), table.size()))
        return cli_Fail(kExitBadInput, "cannot write " + output);
    return kExitOk;
}

int dump(const CliArgs& args) {
    std::vector<std::string> inputs;
    std::string output;
    if (!splitArgs(args, inputs, output) || inputs.size() != 1) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    std::string bytes;
    if (!readFile(inputs[0], bytes)) return cli_Fail(kExitBadInput, "cannot read " + inputs[0]);
    TextTable* table = text_LoadTableFromMemory(bytes.data(), bytes.size());
    if (!table) return cli_Fail(kExitBadInput, inputs[0] + ": not a valid string table");
    const std::string text = text_DumpSource(table);
    text_FreeTable(table);
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return std::fflush(stdout) == 0 ? kExitOk : kExitBadInput;
    }
    if (!file_WriteAtomic(output, text.data(), text.size()))
        return cli_Fail(kExitBadInput, "cannot write " + output);
    return kExitOk;
}

}  // namespace

int cmd_Strings(CliContext&, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    if (args[0] == "build") return build(args);
    if (args[0] == "dump") return dump(args);
    std::fputs(kUsage, stderr);
    return cli_Fail(kExitUsage, "strings: unknown subcommand " + args[0]);
}
