// The mission file commands: check, resave, export, dump-bms and refs.
#include "cli/cli.h"

#include "core/file.h"

#include "core/text.h"
#include "gamedata/itemdef.h"
#include "logic/checks.h"
#include "logic/refs.h"
#include "mission/export.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>

namespace {

struct InOut {
    std::string in;
    std::string out;
};

// Parses "FILE [-o OUT]"; "--" ends the options. false (after a usage message) when the
// arguments do not fit.
bool parseInOut(const char* command, const CliArgs& args, bool wantOut, InOut& io) {
    bool options = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options && a == "--") {
            options = false;
        } else if (!options) {
            if (!io.in.empty()) {
                cli_Fail(kExitUsage, std::string(command) + ": one input file only");
                return false;
            }
            io.in = a;
        } else if (wantOut && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size()) {
                cli_Fail(kExitUsage, std::string(command) + ": -o needs a file name");
                return false;
            }
            io.out = args[++i];
        } else if (wantOut && a.rfind("-o", 0) == 0 && a.size() > 2) {
            io.out = a.substr(2);
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            cli_Fail(kExitUsage, std::string(command) + ": unknown option " + a);
            return false;
        } else if (io.in.empty()) {
            io.in = a;
        } else {
            cli_Fail(kExitUsage, std::string(command) + ": one input file only");
            return false;
        }
    }
    if (io.in.empty() || (wantOut && io.out.empty())) {
        cli_Fail(kExitUsage, std::string(command) + (wantOut ? ": usage: FILE -o OUT" : ": usage: FILE"));
        return false;
    }
    return true;
}

bool readable(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    std::ifstream f(path, std::ios::binary);
    return static_cast<bool>(f);
}

// A JSON string: quotes, backslashes and control bytes escaped. Text that is not UTF-8 (an
// older file's Latin-1 names) is read as Latin-1, so the output stays valid JSON.
std::string jsonString(std::string_view text) {
    const bool utf8 = file_ValidUtf8(text);
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += '\\', out += c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (u < 0x20 || (u >= 0x80 && !utf8)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", u);
            out += buf;
        } else
            out += c;
    }
    return out + "\"";
}

void printFindingsJson(const std::string& file, const std::vector<CheckFinding>& findings) {
    std::string out = "[";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& f = findings[i];
        out += i ? ",\n " : "\n ";
        out += "{\"file\": " + jsonString(file) + ", \"line\": " + std::to_string(f.line) + ", \"severity\": \"" +
               check_SeverityName(f.severity) + "\", \"message\": " + jsonString(f.message) + ", \"kind\": \"" +
               check_TargetName(f.target) + "\", \"number\": " + std::to_string(f.number) + ", \"check\": \"" +
               check_KindName(f.kind) + "\"}";
    }
    out += findings.empty() ? "]\n" : "\n]\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int cmd_Check(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] check [--format=text|json] MISSION.mis\n\n"
            "Reads the metafile and runs the checks the editor's Problems panel shows. Errors: the bad\n"
            "line that stops the read, item types no definition knows, ids used twice, waypoint markers\n"
            "outside paths 1..127 or numbered above 31, area markers outside 1..99, groups outside 1..63,\n"
            "blocks beyond num_items or num_events, triggers and actions naming an event, group, path,\n"
            "area or sub-goal that does not exist or a group with no members or a path or area with no\n"
            "markers, paths with one marker or gaps in their numbering, areas with fewer than three\n"
            "corners, item sections beyond what the game takes, a terrain the game data does not hold.\n"
            "Warnings: events nothing can fire, units following another path than their group, items\n"
            "outside the terrain, two items of one type at one spot, sections near the game's limits,\n"
            "the same condition as a win and a lose sub-goal, a win action for a team with no unit.\n"
            "From the file itself: counts larger than the blocks it has (errors; an event number without\n"
            "a block is a warning) and texts longer than their field, cut when the file is opened.\n\n"
            "Text output: one finding a line on stderr, FILE:LINE: message (warnings marked).\n"
            "--format=json: an array on stdout of {file, line, severity, message, kind, number, check}:\n"
            "kind is what the finding points at (item, event, group, path, area, general), number the\n"
            "item or event index or the record number (-1 for general), check the finding's name.\n"
            "Exit 0 without errors, 1 with errors, 2 when the file cannot be opened.\n");
        return kExitOk;
    }
    bool json = false;
    CliArgs rest;
    for (const std::string& a : args) {
        if (a == "--format=json")
            json = true;
        else if (a == "--format=text")
            json = false;
        else if (a.rfind("--format", 0) == 0)
            return cli_Fail(kExitUsage, "check: --format takes text or json");
        else
            rest.push_back(a);
    }
    InOut io;
    if (!parseInOut("check", rest, false, io)) return kExitUsage;
    if (!readable(io.in)) {
        std::fprintf(stderr, "%s: cannot open the file\n", io.in.c_str());
        return 2;
    }
    if (cli_RefuseBinaryMission("check", io.in)) return kExitBadInput;
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return 2;
    auto m = std::make_unique<Mission>();
    MetafileLines lines;
    std::vector<MetafileCut> cuts;
    if (!cli_ReadMission(ctx, *m, io.in, &lines, &cuts)) {
        if (json) printFindingsJson(io.in, {});
        return kExitBadInput;
    }
    CheckOptions options;
    options.lines = &lines;
    options.cuts = &cuts;
    // Without definitions every type would be unknown and no terrain could be found.
    options.itemTypes = data.items;
    options.terrain = data.items;
    const std::vector<CheckFinding> findings = check_Mission(*m, options);
    if (json) {
        printFindingsJson(io.in, findings);
    } else {
        for (const CheckFinding& f : findings) {
            const char* mark = f.severity == CheckSeverity::Warning ? "warning: " : "";
            if (f.line > 0)
                std::fprintf(stderr, "%s:%d: %s%s\n", io.in.c_str(), f.line, mark, f.message.c_str());
            else
                std::fprintf(stderr, "%s: %s%s\n", io.in.c_str(), mark, f.message.c_str());
        }
    }
    if (!data.items)
        std::fprintf(stderr,
                     "sortie-cli: check: no item definitions under %s; item types and the terrain were not checked\n",
                     ctx.dataDir.c_str());
    return check_ErrorCount(findings) ? kExitBadInput : kExitOk;
}

int cmd_Resave(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] resave MISSION.mis -o OUT.mis\n\n"
            "Reads the metafile and writes it again in the current format. The header date is\n"
            "SOURCE_DATE_EPOCH when set, so the output can be reproduced byte for byte.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("resave", args, true, io)) return kExitUsage;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "resave: cannot open " + io.in);
    if (cli_RefuseBinaryMission("resave", io.in)) return kExitBadInput;
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kExitBadInput;
    auto m = std::make_unique<Mission>();
    if (!cli_ReadMission(ctx, *m, io.in, nullptr)) return kExitBadInput;
    if (metafile_Write(*m, io.out.c_str()) != 1) return cli_Fail(kExitBadInput, "resave: " + cli_CannotWrite(io.out));
    return kExitOk;
}

int cmd_Export(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] export MISSION.mis -o OUT.bms\n\n"
            "Reads the metafile and writes the binary mission. Sections beyond what the game accepts\n"
            "are cut, with a warning on stderr.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("export", args, true, io)) return kExitUsage;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "export: cannot open " + io.in);
    if (cli_OutputIsInput("export", io.in, io.out)) return kExitUsage;
    if (cli_RefuseBinaryMission("export", io.in)) return kExitBadInput;
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems | kCliDataSunsets, data)) return kExitBadInput;
    auto m = std::make_unique<Mission>();
    if (!cli_ReadMission(ctx, *m, io.in, nullptr)) return kExitBadInput;
    if (mission_ExportBinary(*m, io.out.c_str()) != 1)
        return cli_Fail(kExitBadInput, "export: " + cli_CannotWrite(io.out));
    return kExitOk;
}

int cmd_DumpBms(CliContext&, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli dump-bms FILE.bms\n\n"
            "Prints the binary mission as text, one record per line with every field named. A file\n"
            "that is short or whose counts do not fit its size is refused with where it ends.\n");
        return kExitOk;
    }
    InOut io;
    if (!parseInOut("dump-bms", args, false, io)) return kExitUsage;
    std::error_code ec;
    if (!readable(io.in)) return cli_Fail(kExitBadInput, "dump-bms: cannot open " + io.in);
    const std::uintmax_t size = std::filesystem::file_size(io.in, ec);
    if (ec || size > kCliMaxBmsFileSize)
        return cli_Fail(kExitBadInput, "dump-bms: " + io.in + " is too large for a binary mission");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream f(io.in, std::ios::binary);
    f.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::size_t>(f.gcount()) != bytes.size())
        return cli_Fail(kExitBadInput, "dump-bms: cannot read " + io.in);
    BmsFile bms;
    std::string error;
    if (!bms_Parse(bytes.data(), bytes.size(), bms, error)) {
        std::fprintf(stderr, "%s: %s\n", io.in.c_str(), error.c_str());
        return kExitBadInput;
    }
    const std::string text = bms_Dump(bms);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
}

int cmd_Refs(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::printf(
            "usage: sortie-cli [--data DIR] refs MISSION.mis group|path|area|event|item N\n\n"
            "Prints on stdout, one a line as FILE:LINE: text, every event trigger, action and item\n"
            "of the mission that refers to the record: the rows naming a group, path, area or event,\n"
            "a group's members, a path's markers and the units following it, an area's corners.\n"
            "For an item (N counted from 0 in the file's order): the references to its group and to\n"
            "its path (or to the path or area a marker outlines). Groups are 1..63, paths 1..127,\n"
            "areas 1..99, events 0..num_events-1. Exit 0, 1 when the record does not exist or the\n"
            "file cannot be read, 2 for bad arguments.\n");
        return kExitOk;
    }
    RefKind kind{};
    int number = 0;
    if (args.size() != 3 || !refs_KindFromWord(args[1], kind)) {
        cli_Fail(kExitUsage, "refs: usage: MISSION.mis group|path|area|event|item N");
        return kExitUsage;
    }
    const std::string& n = args[2];
    const auto [end, ec] = std::from_chars(n.data(), n.data() + n.size(), number);
    if (ec != std::errc() || end != n.data() + n.size())
        return cli_Fail(kExitUsage, "refs: " + n + " is not a record number");
    const std::string& in = args[0];
    if (!readable(in)) return cli_Fail(kExitBadInput, "refs: cannot open " + in);
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kExitBadInput;
    auto m = std::make_unique<Mission>();
    MetafileLines lines;
    if (!cli_ReadMission(ctx, *m, in, &lines)) return kExitBadInput;
    if (!refs_RecordExists(*m, kind, number))
        return cli_Fail(kExitBadInput, "refs: " + in + " has no " + args[1] + " " + n);
    auto lineIn = [](const std::vector<int>& v, std::int32_t i) {
        return i >= 0 && std::size_t(i) < v.size() ? v[std::size_t(i)] : 0;
    };
    for (const Reference& r : refs_Find(*m, kind, number)) {
        int line = 0;
        if (r.from == ReferenceFrom::Item) {
            line = lineIn(lines.item, r.item);
        } else {
            const auto& rows = r.from == ReferenceFrom::Action ? lines.action : lines.trigger;
            line = std::size_t(r.event) < rows.size() ? lineIn(rows[std::size_t(r.event)], r.row) : 0;
            if (line == 0) line = lineIn(lines.event, r.event);
        }
        const std::string text = refs_Describe(*m, r, kind, number);
        std::printf("%s:%d: %s\n", in.c_str(), line, text.c_str());
    }
    return kExitOk;
}
