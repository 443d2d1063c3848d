// sortie-cli strings: builds binary string tables from their readable source form and
// dumps them back.
#include "cli/cli.h"
#include "core/file.h"
#include "core/text.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "usage: sortie-cli strings build SOURCE... [--defaults SOURCE]... -o FILE.bin\n"
    "       sortie-cli strings dump FILE.bin [-o SOURCE]\n"
    "\n"
    "build  reads the sources in order into one table: a [Section] that appears again,\n"
    "       in the same or a later source, continues the first one; keys keep their order.\n"
    "       A --defaults source only fills in: its keys go in where no source has them\n"
    "       (a key both give keeps the source's text).\n"
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

// Splits the arguments after the subcommand into inputs, --defaults sources (when the caller
// takes them) and the -o path.
bool splitArgs(const CliArgs& args, std::vector<std::string>& inputs, std::string& output,
               std::vector<std::string>* defaults = nullptr) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            if (i + 1 >= args.size() || !output.empty()) return false;
            output = args[++i];
        } else if (a == "--defaults" && defaults) {
            if (i + 1 >= args.size()) return false;
            defaults->push_back(args[++i]);
        } else if (a.size() > 1 && a[0] == '-') {
            return false;
        } else {
            inputs.push_back(a);
        }
    }
    return true;
}

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = char(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = char(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

// Adds the keys of fill that source lacks, section by section (names compared as the table
// compares them); a section source lacks altogether goes at the end.
void fillIn(TextSource& source, const TextSource& fill) {
    for (const auto& fs : fill.sections) {
        TextSourceSection* target = nullptr;
        for (auto& s : source.sections)
            if (sameName(s.name, fs.name)) {
                target = &s;
                break;
            }
        if (!target) {
            source.sections.push_back(TextSourceSection{fs.name, {}});
            target = &source.sections.back();
        }
        for (const auto& fk : fs.keys) {
            bool present = false;
            for (const auto& k : target->keys)
                if (sameName(k.key, fk.key)) {
                    present = true;
                    break;
                }
            if (!present) target->keys.push_back(fk);
        }
    }
}

bool parseFile(const std::string& path, TextSource& source) {
    std::string text;
    if (!readFile(path, text)) {
        cli_Fail(kExitBadInput, "cannot read " + path);
        return false;
    }
    TextSourceError error;
    if (!text_ParseSource(text, source, error)) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), error.line, error.message.c_str());
        return false;
    }
    return true;
}

int build(const CliArgs& args) {
    std::vector<std::string> inputs, defaults;
    std::string output;
    if (!splitArgs(args, inputs, output, &defaults) || inputs.empty() || output.empty()) {
        std::fputs(kUsage, stderr);
        return kExitUsage;
    }
    TextSource source;
    for (const auto& path : inputs)
        if (!parseFile(path, source)) return kExitBadInput;
    // Each defaults source is checked on its own (a duplicate inside it is still an error).
    for (const auto& path : defaults) {
        TextSource fill;
        if (!parseFile(path, fill)) return kExitBadInput;
        fillIn(source, fill);
    }
    std::vector<std::uint8_t> table;
    if (!text_BuildTable(source, table)) return cli_Fail(kExitBadInput, "the table would exceed 4 GiB");
    if (!file_WriteAtomic(output, table.data(), table.size())) return cli_Fail(kExitBadInput, "cannot write " + output);
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
    if (!file_WriteAtomic(output, text.data(), text.size())) return cli_Fail(kExitBadInput, "cannot write " + output);
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
