// sortie-cli diff and dump on the sample missions, run as version control runs them: exit
// statuses, bad files named with their line, block order that must not matter, the JSON form
// against the text form, and a dump that a resave leaves as it was.
#include "support/core_env.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

#ifdef SORTIE_GAMEDATA_DIR
const std::string kData = SORTIE_GAMEDATA_DIR;
#else
const std::string kData;
#endif
const std::string kMissions = std::string(SORTIE_SOURCE_DIR) + "/data/missions/";

struct CliRun {
    int status = -1;
    std::string out, err;
};

// A small JSON reader: enough to hold the tool's output to the grammar and look inside.
struct Json {
    enum Kind { Null, Bool, Number, String, Array, Object } kind = Null;
    std::string text;  // String; Number and Bool as written
    std::vector<Json> items;
    std::map<std::string, Json> members;
    const Json& operator[](const std::string& k) const {
        static const Json none;
        auto at = members.find(k);
        return at == members.end() ? none : at->second;
    }
};

class JsonReader {
public:
    explicit JsonReader(const std::string& s) : s_(s) {}
    bool read(Json& out) {
        if (!value(out)) return false;
        blanks();
        return i_ == s_.size();
    }

private:
    void blanks() {
        while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    bool eat(char c) {
        blanks();
        if (i_ < s_.size() && s_[i_] == c) return ++i_, true;
        return false;
    }
    bool string(std::string& out) {
        if (!eat('"')) return false;
        while (i_ < s_.size() && s_[i_] != '"') {
            const unsigned char c = static_cast<unsigned char>(s_[i_++]);
            if (c < 0x20) return false;
            if (c != '\\') {
                out += char(c);
                continue;
            }
            if (i_ >= s_.size()) return false;
            const char e = s_[i_++];
            if (e == 'u') {
                if (i_ + 4 > s_.size()) return false;
                const unsigned long v = std::strtoul(s_.substr(i_, 4).c_str(), nullptr, 16);
                i_ += 4;
                out += v < 0x80 ? char(v) : '?';
            } else if (std::string("\"\\/bfnrt").find(e) != std::string::npos) {
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                return false;
            }
        }
        return eat('"');
    }
    bool value(Json& v) {
        blanks();
        if (i_ >= s_.size()) return false;
        const char c = s_[i_];
        if (c == '"') return v.kind = Json::String, string(v.text);
        if (eat('[')) {
            v.kind = Json::Array;
            if (eat(']')) return true;
            do {
                if (!value(v.items.emplace_back())) return false;
            } while (eat(','));
            return eat(']');
        }
        if (eat('{')) {
            v.kind = Json::Object;
            if (eat('}')) return true;
            do {
                std::string key;
                if (!string(key) || !eat(':') || !value(v.members[key])) return false;
            } while (eat(','));
            return eat('}');
        }
        for (const char* word : {"true", "false", "null"})
            if (s_.compare(i_, std::strlen(word), word) == 0) {
                v.kind = word[0] == 'n' ? Json::Null : Json::Bool;
                v.text = word;
                i_ += std::strlen(word);
                return true;
            }
        const std::size_t start = i_;
        while (i_ < s_.size() && std::strchr("+-0123456789.eE", s_[i_])) ++i_;
        v.kind = Json::Number;
        v.text = s_.substr(start, i_ - start);
        return i_ > start;
    }
    const std::string& s_;
    std::size_t i_ = 0;
};

class DiffCli : public ::testing::Test {
protected:
    void SetUp() override {
        if (kData.empty()) GTEST_SKIP() << "built without the sample data kit";
    }
    CliRun run(const std::string& args) {
        const std::string out = dir_.file("out.txt"), err = dir_.file("err.txt");
        const std::string cmd = "\"" + std::string(SORTIE_CLI_PATH) + "\" --data \"" + kData + "\" " + args + " >\"" +
                                out + "\" 2>\"" + err + "\"";
        const int rc = std::system(cmd.c_str());
        CliRun r;
        r.status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
        r.out = readWholeFile(out);
        r.err = readWholeFile(err);
        return r;
    }
    std::string sample(const std::string& name) { return "\"" + kMissions + name + "\""; }
    std::string write(const std::string& name, const std::string& text) { return "\"" + dir_.write(name, text) + "\""; }
    ScopedTempDir dir_;
};

// Replaces the first `from` in text; fails the test when there is none.
std::string replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

const char* const kSmall =
    "begin general_information\r\nname \"Small\"\r\nnum_items 2\r\nnum_events 1\r\nend general_information\r\n"
    "begin group 4\r\ndescription \"Hill\"\r\nend group\r\n"
    "begin event 0\r\nname \"Go\"\r\nbegin triggers 1\r\n0 4 0 30 -1 -1 -1 0\r\nend triggers\r\nend event\r\n"
    "begin item 0\r\nid 7\r\ntype_id 1001\r\nposition 256 512 0\r\nend item\r\n"
    "begin item 1\r\nid 9\r\ntype_id 1001\r\nposition 0 0 0\r\nteam 2\r\nend item\r\n";

TEST_F(DiffCli, ExitStatusesAndBadFilesNamedWithTheirLine) {
    const std::string small = write("small.mis", kSmall);
    // The same blocks in another order, the items under each other's block numbers.
    const std::string shuffled = write(
        "shuffled.mis",
        "begin item 1\r\nid 7\r\ntype_id 1001\r\nposition 256 512 0\r\nend item\r\n"
        "begin event 0\r\nname \"Go\"\r\nbegin triggers 1\r\n0 4 0 30 -1 -1 -1 0\r\nend triggers\r\nend event\r\n"
        "begin item 0\r\nposition 0 0 0\r\nteam 2\r\nid 9\r\ntype_id 1001\r\nend item\r\n"
        "begin group 4\r\ndescription \"Hill\"\r\nend group\r\n"
        "begin general_information\r\nnum_events 1\r\nnum_items 2\r\nname \"Small\"\r\nend general_information\r\n");
    const std::string moved = write("moved.mis", replaced(kSmall, "position 0 0 0", "position 2560 0 0"));
    const std::string bad = write("bad.mis", replaced(kSmall, "team 2", "teem 2"));
    // Ends inside the block of item 1.
    const std::string open = write("open.mis", std::string(kSmall).substr(0, std::string(kSmall).size() - 10));
    const struct {
        std::string args;
        int status;
        std::string err;  // expected in stderr
    } cases[] = {
        {"diff " + sample("full.mis") + " " + sample("full.mis"), 0, ""},
        {"diff " + small + " " + shuffled, 0, ""},
        {"diff --format=json " + shuffled + " " + small, 0, ""},
        {"diff " + small + " " + moved, 1, ""},
        {"diff " + sample("tutorial.mis") + " " + sample("full.mis"), 1, ""},
        {"diff " + small + " " + bad, 2, "bad.mis:24: "},
        {"dump " + bad, 2, "bad.mis:24: "},
        {"diff " + open + " " + small, 2, "open.mis:20: "},
        {"diff " + small + " \"" + dir_.file("none.mis") + "\"", 2, "none.mis: "},
        {"diff " + small, 2, "two mission files"},
        {"diff --format=xml " + small + " " + small, 2, "xml"},
        {"dump", 2, "one mission file"},
        {"diff --help", 0, ""},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        if (!c.err.empty()) {
            EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
        }
        if (c.status == 0 && c.args.rfind("diff -", 0) != 0) {
            EXPECT_EQ(r.out, "") << c.args;
        }
    }
    EXPECT_EQ(run("dump " + small).out, run("dump " + shuffled).out);
}

TEST_F(DiffCli, TextAndJsonHoldTheSameChanges) {
    std::string full = readWholeFile(kMissions + "full.mis");
    // One item moved 10 m east, the last item removed, an event renamed, the fog changed.
    const std::size_t position = full.find("position ", full.find("begin item 3\r\n"));
    const std::size_t end = full.find(' ', position + 9);
    full.replace(position + 9, end - position - 9, std::to_string(std::stol(full.substr(position + 9)) + 2560));
    full = replaced(full, "num_items 105", "num_items 104");
    full.erase(full.find("begin item 104\r\n"));
    full = replaced(full, "fog_level 0", "fog_level 40");
    const std::size_t name = full.find("name \"", full.find("begin event 2\r\n"));
    full.insert(name + 6, "Renamed ");
    const std::string a = sample("full.mis"), b = write("b.mis", full);

    const CliRun text = run("diff " + a + " " + b), json = run("diff --format=json " + a + " " + b);
    ASSERT_EQ(text.status, 1) << text.err;
    ASSERT_EQ(json.status, 1) << json.err;
    Json doc;
    ASSERT_TRUE(JsonReader(json.out).read(doc)) << json.out;
    EXPECT_EQ(doc["equal"].text, "false");
    const std::vector<Json>& changes = doc["changes"].items;
    ASSERT_EQ(changes.size(), 4u);

    // One text line per change, under a heading per kind.
    std::vector<std::string> lines;
    for (std::size_t at = 0, next; (next = text.out.find('\n', at)) != std::string::npos; at = next + 1)
        if (text.out.compare(at, 2, "  ") == 0) lines.push_back(text.out.substr(at + 2, next - at - 2));
    ASSERT_EQ(lines.size(), changes.size()) << text.out;
    std::map<std::string, int> found;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const Json& c = changes[i];
        const std::string what = c["section"].text + " " + c["change"].text + " " + c["field"].text;
        ++found[what];
        // The text line names the same record and field.
        if (c["section"].text != "general_information") {
            EXPECT_NE(lines[i].find(c["section"].text + " " + c["number"].text), std::string::npos) << lines[i];
        }
        if (c["change"].text != "moved") {
            EXPECT_NE(lines[i].find(c["field"].text), std::string::npos) << lines[i];
        } else {
            EXPECT_EQ(c["metres"].text, "10.000");
            EXPECT_NE(lines[i].find("10.00 m"), std::string::npos) << lines[i];
        }
        if (c["change"].text == "removed") {
            EXPECT_EQ(c["fields"].kind, Json::Object);
        }
        if (c["field"].text == "name") {
            EXPECT_EQ(c["after"].text.rfind("Renamed ", 0), 0u);
        }
    }
    const std::map<std::string, int> expected = {{"general_information changed fog_level", 1},
                                                 {"event changed name", 1},
                                                 {"item moved position", 1},
                                                 {"item removed ", 1}};
    EXPECT_EQ(found, expected);
}

TEST_F(DiffCli, DumpIsStableAcrossAResave) {
    for (const char* name : {"tutorial.mis", "full.mis", "large.mis"}) {
        SCOPED_TRACE(name);
        const std::string resaved = "\"" + dir_.file(std::string("resaved-") + name) + "\"";
        ASSERT_EQ(run("resave " + sample(name) + " -o " + resaved).status, 0);
        const CliRun before = run("dump " + sample(name)), after = run("dump " + resaved);
        EXPECT_EQ(before.status, 0) << before.err;
        EXPECT_GT(before.out.size(), 1000u);
        EXPECT_EQ(before.out, after.out);
        EXPECT_EQ(run("diff " + sample(name) + " " + resaved).status, 0);
    }
}

}  // namespace
