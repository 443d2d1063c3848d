// sortie-cli pff: packs files into a PFF archive, lists one, extracts its members.
#include "cli/cli.h"
#include "core/nocase.h"

#include "core/file.h"
#include "core/mem.h"
#include "core/pff.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "usage: sortie-cli pff pack -o FILE.pff [--scramble NAME]... FILES...\n"
    "       sortie-cli pff list FILE.pff\n"
    "       sortie-cli pff extract FILE.pff [NAMES...] [-C DIR]\n"
    "\n"
    "pack     stores each file under its own name (at most 15 characters); members named\n"
    "         by --scramble are stored scrambled\n"
    "list     prints size, offset, S for a scrambled member, and name, one member a line\n"
    "extract  writes the named members (all when none is named), unscrambled, into DIR\n"
    "         (the current folder by default)\n";

int usageError(const std::string& message) {
    std::fputs(kUsage, stderr);
    return cli_Fail(kExitUsage, "pff: " + message);
}

constexpr auto lower = nocase_ToLower;

bool readFile(const std::string& path, std::vector<std::uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Archives and their directories live in the memory pools.
bool ensurePools() {
    if (mem_State().archivePool.base != nullptr) return true;
    return mem_Startup() == 0;
}

int pack(const CliArgs& args) {
    std::string output;
    std::vector<std::string> scramble, files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--scramble") {
            if (i + 1 >= args.size()) return usageError(a + " needs a value");
            (a == "-o" ? output : scramble.emplace_back()) = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a);
        } else {
            files.push_back(a);
        }
    }
    if (output.empty()) return usageError("pack needs -o FILE.pff");
    if (files.empty()) return usageError("pack needs files to store");

    std::vector<PffPackMember> members;
    for (const auto& f : files) {
        PffPackMember m;
        m.name = fs::path(f).filename().string();
        if (!readFile(f, m.data)) return cli_Fail(kExitBadInput, "pff: cannot read " + f);
        members.push_back(std::move(m));
    }
    for (const auto& s : scramble) {
        bool found = false;
        for (auto& m : members)
            if (lower(m.name) == lower(s)) found = m.scramble = true;
        if (!found) return cli_Fail(kExitBadInput, "pff: no file named " + s + " to scramble");
    }
    std::string error;
    if (!pff_WriteArchive(output, members, error)) return cli_Fail(kExitBadInput, "pff: " + error);
    return kExitOk;
}

PffArchive* openArchive(const std::string& path) {
    if (!ensurePools()) return nullptr;
    return pff_OpenArchive(file_DiskPath(path).c_str());
}

int list(const CliArgs& args) {
    if (args.size() != 1 || args[0].empty() || args[0][0] == '-') return usageError("list needs one archive");
    PffArchive* a = openArchive(args[0]);
    if (a == nullptr) return cli_Fail(kExitBadInput, "pff: " + args[0] + " is not a readable PFF archive");
    for (int i = 0; i < pff_EntryCount(a); ++i) {
        const PffEntry* e = pff_Entry(a, i);
        std::printf("%10u %10u %c %s\n", e->size, e->offset, (e->flags & 1) ? 'S' : '-', e->name);
    }
    pff_CloseArchive(a);
    return kExitOk;
}

// A member name that is safe to use as a file name in the target folder: no folder part
// and not a name that stands for a folder.
bool safeName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

int extract(const CliArgs& args) {
    std::string archivePath, outDir = ".";
    std::vector<std::string> names;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-C") {
            if (i + 1 >= args.size()) return usageError("-C needs a folder");
            outDir = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option " + a);
        } else if (archivePath.empty()) {
            archivePath = a;
        } else {
            names.push_back(a);
        }
    }
    if (archivePath.empty()) return usageError("extract needs an archive");
    PffArchive* a = openArchive(archivePath);
    if (a == nullptr) return cli_Fail(kExitBadInput, "pff: " + archivePath + " is not a readable PFF archive");

    std::vector<const PffEntry*> chosen;
    int rc = kExitOk;
    if (names.empty()) {
        // Every member, but each name once: a later entry of the same name is never found
        // by a lookup, so the first one is the member the editor would read.
        std::set<std::string> seen;
        for (int i = 0; i < pff_EntryCount(a); ++i) {
            const PffEntry* e = pff_Entry(a, i);
            if (seen.insert(lower(e->name)).second)
                chosen.push_back(e);
            else
                std::fprintf(stderr, "sortie-cli: pff: skipping the second member named %s\n", e->name);
        }
    } else {
        for (const auto& n : names) {
            const PffEntry* e = pff_FindMember(n.c_str(), a);
            if (e)
                chosen.push_back(e);
            else
                rc = cli_Fail(kExitBadInput, "pff: no member named " + n);
        }
    }

    std::error_code ec;
    fs::create_directories(outDir, ec);
    std::vector<std::uint8_t> bytes;
    for (const PffEntry* e : chosen) {
        if (!safeName(e->name)) {
            rc = cli_Fail(kExitBadInput,
                          std::string("pff: member name '") + e->name + "' is not a plain file name; skipped");
            continue;
        }
        pff_ReadMember(a, *e, bytes);
        if (bytes.size() < e->size)
            std::fprintf(stderr, "sortie-cli: pff: %s is cut short by the end of the archive\n", e->name);
        std::string target = (fs::path(outDir) / e->name).string();
        if (!file_WriteAtomic(target, bytes.data(), bytes.size()))
            rc = cli_Fail(kExitBadInput, "pff: cannot write " + target);
    }
    pff_CloseArchive(a);
    return rc;
}

}  // namespace

int cmd_Pff(CliContext&, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    if (args.empty()) return usageError("missing subcommand");
    CliArgs rest(args.begin() + 1, args.end());
    if (args[0] == "pack") return pack(rest);
    if (args[0] == "list") return list(rest);
    if (args[0] == "extract") return extract(rest);
    return usageError("unknown subcommand " + args[0]);
}
