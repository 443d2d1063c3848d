// sortie-cli diff and dump: two missions compared by what they mean, and the canonical text
// of one mission for version control. Exit statuses follow diff(1): 0 the same, 1 different,
// 2 trouble (a usage error or a file that does not read).
#include "cli/cli.h"

#include "logic/diff.h"
#include "mission/metafile.h"
#include "mission/mission.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int kDiffSame = 0;
constexpr int kDiffDifferent = 1;
constexpr int kDiffTrouble = 2;

constexpr const char* kDiffUsage =
    "usage: sortie-cli [--data DIR] diff [--format=text|json] A.mis B.mis\n"
    "\n"
    "Compares two mission metafiles by what they mean, not line by line. Items are matched by\n"
    "their id: added, removed, moved (by how many metres) and every field changed, with its old\n"
    "and new value, named by the item's type and, for people, their name. Events are matched by\n"
    "number; a changed trigger or action row is shown in the words of the listings. The general\n"
    "information, briefing, area triggers, waypoint paths, groups, wav lists, layers and wind\n"
    "entries are compared field by field. The same content in another block order is equal.\n"
    "\n"
    "The text output has one line per change, grouped by kind; --format=json writes an object\n"
    "with \"equal\" and a \"changes\" array for tools. Type names, people's names and the event\n"
    "wording come from the game data (--data). Exit 0 when the missions are the same, 1 when\n"
    "they differ, 2 on trouble (a file that does not read is named with its line on stderr).\n";

constexpr const char* kDumpUsage =
    "usage: sortie-cli [--data DIR] dump MISSION.mis\n"
    "\n"
    "Prints the mission as canonical text: one line per field, \"BLOCK [NUMBER] FIELD VALUE\",\n"
    "in a fixed order with items by id, fields the metafile leaves out when zero left out, and\n"
    "what a value means after \"  #\" (item types, people's names, triggers and actions in the\n"
    "words of the listings). The same mission gives the same text whatever its block order, so\n"
    "version control can show changes by meaning:\n"
    "\n"
    "  .gitattributes:  *.mis diff=sortie-mission\n"
    "  git config diff.sortie-mission.textconv \"sortie-cli dump\"\n"
    "\n"
    "Exit 0, or 2 when the file does not read (named with its line on stderr).\n";

bool writeOut(const std::string& text) {
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
}

// ---------------------------------------------------------------------------------------
// The readable form

const char* heading(DiffSection s) {
    switch (s) {
    case DiffSection::General: return "general information";
    case DiffSection::Briefing: return "briefing";
    case DiffSection::Area: return "area triggers";
    case DiffSection::Waypoint: return "waypoint paths";
    case DiffSection::Group: return "groups";
    case DiffSection::WavList: return "wav lists";
    case DiffSection::Layer: return "layers";
    case DiffSection::Wind: return "wind";
    case DiffSection::Event: return "events";
    case DiffSection::Item: return "items";
    }
    return "";
}

// "item 57 Rifleman "Sergeant Amsel"", "event 2 "Ambush""; empty for the single blocks.
std::string subject(const DiffChange& c) {
    if (c.section == DiffSection::General || c.section == DiffSection::Briefing) return {};
    std::string s = std::string(diff_SectionKeyword(c.section)) + ' ' + std::to_string(c.number);
    if (c.duplicate > 0) s += '#' + std::to_string(c.duplicate + 1);
    if (!c.type.empty()) s += ' ' + c.type;
    if (!c.name.empty()) s += ' ' + diff_Quote(c.name);
    return s;
}

bool isRow(const std::string& field) { return field.rfind("trigger ", 0) == 0 || field.rfind("action ", 0) == 0; }

// A value as a reader wants it: a row by its words, a number with what it names.
std::string shown(const DiffChange& c, const std::string& value, const std::string& words) {
    const std::string v = c.isText ? diff_Quote(value) : value;
    if (words.empty()) return v;
    return isRow(c.field) ? words : v + " (" + words + ")";
}

std::string textLine(const DiffChange& c) {
    const std::string who = subject(c);
    const std::string prefix = who.empty() ? std::string() : who + ": ";
    char metres[32];
    switch (c.op) {
    case DiffOp::Added:
        if (c.field.empty()) return "added " + who;
        return prefix + c.field + " added: " + shown(c, c.after, c.afterWords);
    case DiffOp::Removed:
        if (c.field.empty()) return "removed " + who;
        return prefix + c.field + " removed: " + shown(c, c.before, c.beforeWords);
    case DiffOp::Moved:
        std::snprintf(metres, sizeof metres, "%.2f", c.metres);
        return "moved " + who + " by " + metres + " m: " + c.before + " -> " + c.after;
    case DiffOp::Changed: break;
    }
    std::string before = shown(c, c.before, c.beforeWords), after = shown(c, c.after, c.afterWords);
    // Words that read the same hide the difference: show the numbers too.
    if (before == after) {
        before += " [" + c.before + "]";
        after += " [" + c.after + "]";
    }
    return prefix + c.field + ": " + before + " -> " + after;
}

std::string formatText(const std::vector<DiffChange>& changes) {
    std::string s;
    const DiffChange* previous = nullptr;
    for (const DiffChange& c : changes) {
        if (!previous || previous->section != c.section) {
            s += heading(c.section);
            s += ":\n";
        }
        s += "  " + textLine(c) + '\n';
        previous = &c;
    }
    return s;
}

// ---------------------------------------------------------------------------------------
// JSON

// Length of the UTF-8 sequence starting at s[i], 0 when it is not one.
std::size_t utf8Length(const std::string& s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

// A JSON string. Mission texts need not be UTF-8: a byte that starts no valid sequence is
// taken as Latin-1, so the output always parses.
std::string json(const std::string& text) {
    std::string s = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        char buf[8];
        if (c == '"' || c == '\\') {
            s += '\\';
            s += char(c);
        } else if (c == '\n') {
            s += "\\n";
        } else if (c == '\r') {
            s += "\\r";
        } else if (c == '\t') {
            s += "\\t";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            s += buf;
        } else if (c < 0x80) {
            s += char(c);
        } else if (const std::size_t n = utf8Length(text, i)) {
            s.append(text, i, n);
            i += n - 1;
        } else {
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            s += buf;
        }
    }
    s += '"';
    return s;
}

const char* opName(DiffOp op) {
    switch (op) {
    case DiffOp::Added: return "added";
    case DiffOp::Removed: return "removed";
    case DiffOp::Moved: return "moved";
    case DiffOp::Changed: return "changed";
    }
    return "";
}

std::string formatJson(const std::string& a, const std::string& b, const std::vector<DiffChange>& changes) {
    std::string s = "{\n  \"a\": " + json(a) + ",\n  \"b\": " + json(b) +
                    ",\n  \"equal\": " + (changes.empty() ? "true" : "false") + ",\n  \"changes\": [";
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const DiffChange& c = changes[i];
        s += i ? ",\n    {" : "\n    {";
        s += "\"section\": " + json(diff_SectionKeyword(c.section)) + ", \"change\": " + json(opName(c.op)) +
             ", \"number\": " + std::to_string(c.number);
        if (c.duplicate > 0) s += ", \"duplicate\": " + std::to_string(c.duplicate);
        if (!c.type.empty()) s += ", \"type\": " + json(c.type);
        if (!c.name.empty()) s += ", \"name\": " + json(c.name);
        if (!c.field.empty()) s += ", \"field\": " + json(c.field);
        if (c.op != DiffOp::Added && !c.field.empty()) s += ", \"before\": " + json(c.before);
        if (c.op != DiffOp::Removed && !c.field.empty()) s += ", \"after\": " + json(c.after);
        if (!c.beforeWords.empty()) s += ", \"before_words\": " + json(c.beforeWords);
        if (!c.afterWords.empty()) s += ", \"after_words\": " + json(c.afterWords);
        if (c.op == DiffOp::Moved) {
            char metres[32];
            std::snprintf(metres, sizeof metres, "%.3f", c.metres);
            s += std::string(", \"metres\": ") + metres;
        }
        if (c.field.empty()) {
            s += ", \"fields\": {";
            for (std::size_t f = 0; f < c.fields.size(); ++f)
                s += (f ? ", " : "") + json(c.fields[f].name) + ": " + json(c.fields[f].value);
            s += '}';
        }
        s += '}';
    }
    s += changes.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return s;
}

bool formatOption(const std::string& a, const CliArgs& args, std::size_t& i, std::string& format) {
    if (a.rfind("--format=", 0) == 0) {
        format = a.substr(9);
        return true;
    }
    if (a == "--format" && i + 1 < args.size()) {
        format = args[++i];
        return true;
    }
    return false;
}

}  // namespace

int cmd_Diff(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kDiffUsage, stdout);
        return kDiffSame;
    }
    std::string format = "text";
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (formatOption(a, args, i, format)) continue;
        if (a.size() > 1 && a[0] == '-') return cli_Fail(kDiffTrouble, "diff: unknown option " + a);
        files.push_back(a);
    }
    if (format != "text" && format != "json")
        return cli_Fail(kDiffTrouble, "diff: --format is text or json, not " + format);
    if (files.size() != 2) {
        std::fputs(kDiffUsage, stderr);
        return cli_Fail(kDiffTrouble, "diff: needs two mission files");
    }
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kDiffTrouble;
    auto a = std::make_unique<Mission>(), b = std::make_unique<Mission>();
    // Both are read, so that a second bad file is named in the same run.
    const bool readA = cli_ReadMission(ctx, *a, files[0]);
    const bool readB = cli_ReadMission(ctx, *b, files[1]);
    if (!readA || !readB) return kDiffTrouble;

    const std::vector<DiffChange> changes = diff_Missions(*a, *b);
    const std::string out = format == "json" ? formatJson(files[0], files[1], changes) : formatText(changes);
    if (!writeOut(out)) return cli_Fail(kDiffTrouble, "diff: cannot write to standard output");
    return changes.empty() ? kDiffSame : kDiffDifferent;
}

int cmd_Dump(CliContext& ctx, const CliArgs& args) {
    if (cli_WantsHelp(args)) {
        std::fputs(kDumpUsage, stdout);
        return kExitOk;
    }
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a.size() > 1 && a[0] == '-') return cli_Fail(kDiffTrouble, "dump: unknown option " + a);
        files.push_back(a);
    }
    if (files.size() != 1) {
        std::fputs(kDumpUsage, stderr);
        return cli_Fail(kDiffTrouble, "dump: needs one mission file");
    }
    CliGameData data;
    if (!cli_LoadGameData(ctx, kCliDataTexts | kCliDataItems, data)) return kDiffTrouble;
    auto m = std::make_unique<Mission>();
    if (!cli_ReadMission(ctx, *m, files[0])) return kDiffTrouble;
    if (!writeOut(diff_Dump(*m))) return cli_Fail(kDiffTrouble, "dump: cannot write to standard output");
    return kExitOk;
}
