// The sample game data kit against the program: every string-table key the code looks up has
// wording whose format fits what the code passes, the vocabulary lists are gapless, and the
// archives alone carry definitions, models and terrains that load.
#include "core/file.h"
#include "core/pff.h"
#include "core/text.h"
#include "gamedata/itemdef.h"
#include "gamedata/model.h"
#include "gamedata/sky.h"
#include "mission/mission.h"
#include "core/parser.h"
#include "support/fake_platform.h"
#include "resources/templates.h"
#include "shell/reset.h"
#include "support/core_env.h"
#include "support/key_scan.h"

#include "shell/actions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#if __has_include("logic/vocab.h") && __has_include("logic/listings.h")
#include "logic/listings.h"
#include "logic/vocab.h"
#include <sstream>
#define SORTIE_KIT_HAS_VOCAB 1
#endif

#if __has_include("gamedata/terrain.h")
#include "gamedata/terrain.h"
#define SORTIE_KIT_HAS_TERRAIN 1
#endif

namespace {

// ---------------------------------------------------------------------------------------
// The scanner, on small sources (it has to be right for the coverage test to mean anything).

TEST(KeyScan, FindsLiteralAndNamedSectionsAndKeys) {
    const auto found = keyscan_Source(R"(
        namespace { constexpr const char* kSec = "Triggers"; constexpr char kKey[] = "NULL"; }
        // text_Get("Commented", "OUT") is not a call
        void f() {
            show(text_Get("Dialog Message", "OK"));
            show(text_Get(kSec, kKey));
            show(text_Get(kSec, runtimeKey));
            /* text_Get("Block", "COMMENT") */
        })",
                                      "a.cpp");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_TRUE(found[0].resolved);
    EXPECT_EQ(found[0].section, "Dialog Message");
    EXPECT_EQ(found[0].key, "OK");
    EXPECT_EQ(found[0].line, 5);
    EXPECT_TRUE(found[1].resolved);
    EXPECT_EQ(found[1].section, "Triggers");
    EXPECT_EQ(found[1].key, "NULL");
    EXPECT_FALSE(found[2].resolved);
}

TEST(KeyScan, FormatsCarryTheirArgumentsAndDeclarationsAreNoCalls) {
    const auto found = keyscan_Source(R"(
        std::string text_Printf(const char* section, const char* key, std::initializer_list<FmtArg> args);
        void g(int n, const std::string& s) {
            a = text_Printf("Triggers", "EVENT_NUM", {n});
            b = text_Format(text_Get("Dialog Message", "BAD_LINE_NUMBER"), {12, s.c_str()});
            c = text_Printf("Items", "SSN", {f(1, 2), "x, y"});
        })",
                                      "b.cpp");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].key, "EVENT_NUM");
    EXPECT_EQ(found[0].args, std::vector<std::string>{"n"});
    EXPECT_EQ(found[1].function, "text_Format");
    EXPECT_EQ(found[1].key, "BAD_LINE_NUMBER");
    EXPECT_EQ(found[1].args, (std::vector<std::string>{"12", "s.c_str()"}));
    EXPECT_EQ(found[2].args, (std::vector<std::string>{"f(1, 2)", "\"x, y\""}));
}

TEST(KeyScan, ArgumentAndConversionKinds) {
    EXPECT_EQ(keyscan_ArgKind("12"), 'i');
    EXPECT_EQ(keyscan_ArgKind("-3"), 'i');
    EXPECT_EQ(keyscan_ArgKind("0.5"), 'f');
    EXPECT_EQ(keyscan_ArgKind("\"2001\""), 's');
    EXPECT_EQ(keyscan_ArgKind("name.c_str()"), 's');
    EXPECT_EQ(keyscan_ArgKind("static_cast<long>(size)"), 'i');
    EXPECT_EQ(keyscan_ArgKind("count"), '?');
    bool ok = false;
    EXPECT_EQ(keyscan_FormatKinds("Line %i could not be understood:\n%s (100%%)", ok), "is");
    EXPECT_TRUE(ok);
    EXPECT_EQ(keyscan_FormatKinds("%-*.*f %02li %c %.3s", ok), "iifiis");
    EXPECT_TRUE(ok);
    keyscan_FormatKinds("broken %", ok);
    EXPECT_FALSE(ok);
    keyscan_FormatKinds("%n", ok);
    EXPECT_FALSE(ok);
}

#ifdef SORTIE_GAMEDATA_DIR

const std::string kKit = SORTIE_GAMEDATA_DIR;

// The kit brought up the way start-up does, from the two archives alone: nothing on disk is
// looked at (disk-first lookup off), so a member missing from an archive cannot hide behind a
// loose file.
class Kit : public ::testing::Test {
protected:
    void SetUp() override {
        pff_RegisterArchives((kKit + "/kz7.pff").c_str(), (kKit + "/terrains.pff").c_str());
        ASSERT_EQ(pff_ArchiveCount(), 2) << "the kit's archives are missing from " << kKit;
        file_SetDiskFirst(0);
        TextTables& t = text_Tables();
        t.ui = text_LoadTable("text.bin");
        t.vocab = text_LoadTable("kz7wpn.bin");
        t.names = text_LoadTable("kz7items.bin");
        ASSERT_NE(t.ui, nullptr);
        ASSERT_NE(t.vocab, nullptr);
        ASSERT_NE(t.names, nullptr);
        text_SetCurrent(t.ui);
    }
    void TearDown() override { sortie_ResetProcess(); }

    // The table a section lives in.
    static const TextTable* tableFor(const std::string& section) {
        static const std::set<std::string> names = {"KZ7 Item Names", "KZ7 Sunsets"};
        static const std::set<std::string> vocab = {"WinConditions", "LoseConditions", "PeopleNames", "WPNames"};
        if (names.count(section)) return text_Tables().names;
        if (vocab.count(section)) return text_Tables().vocab;
        return text_Tables().ui;
    }
    static std::string wording(const std::string& section, const std::string& key) {
        const TextTable* table = tableFor(section);
        const char* text = text_EntryText(table, text_Find(table, section.c_str(), key.c_str()));
        return text ? text : "";
    }

    ScopedCore core_;
    ScopedFakePlatform platform_;
};

std::string where(const KeyLookup& k) { return k.file + ":" + std::to_string(k.line); }

// Lookups whose key the code forms at run time, with the kinds of the arguments their texts
// are formatted with ("" for a text shown as it stands). The key scan cannot see these.
struct RuntimeKey {
    const char* section;
    const char* key;
    const char* kinds;
};
constexpr RuntimeKey kRuntimeKeys[] = {
    // The binary export's section warnings: the count found, then the limit.
    {"Dialog Message", "TOO_MANY_DECOR", "ii"},
    {"Dialog Message", "TOO_MANY_MARKERS", "ii"},
    {"Dialog Message", "TOO_MANY_ORGANICS", "ii"},
    {"Dialog Message", "TOO_MANY_ITEMS", "ii"},
    // The Edit menu's Undo and Redo take the name of the step.
    {"Undo", "MENU_UNDO_NAMED", "s"},
    {"Undo", "MENU_REDO_NAMED", "s"},
};

// Argument kinds of call sites whose argument expressions do not show their type, by
// section and key.
const std::map<std::pair<std::string, std::string>, std::string> kArgKinds = {
    {{"Dialog Message", "BAD_LINE_NUMBER"}, "is"},  // line number, line text
    {{"Dialog Message", "LOADING..."}, "s"},        // the model's graphic name
    {{"Triggers", "EVENT_NUM"}, "i"},               // the new event's index
};

// Checks a format against the argument kinds ('?' for unknown); a message when it does not fit.
std::string formatProblem(const std::string& text, const std::string& kinds) {
    bool ok = false;
    const std::string conv = keyscan_FormatKinds(text, ok);
    if (!ok) return "malformed format \"" + text + "\"";
    if (conv.size() != kinds.size())
        return "takes " + std::to_string(conv.size()) + " arguments, the code passes " + std::to_string(kinds.size()) +
               ": \"" + text + "\"";
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        const char want = conv[i], have = kinds[i];
        const bool fits = have == '?' || want == have || (want == 'f' && have == 'i');
        if (!fits)
            return "argument " + std::to_string(i + 1) + " is " + std::string(1, have) + " but the text asks for " +
                   std::string(1, want) + ": \"" + text + "\"";
    }
    // The checked formatter must agree where every kind is known.
    if (kinds.find('?') == std::string::npos) {
        std::vector<FmtArg> args;
        std::string out;
        auto run = [&](std::initializer_list<FmtArg> list) { return text_TryFormat(text, list, out); };
        bool formatted = true;
        switch (kinds.size()) {
        case 0: formatted = run({}); break;
        default: {
            // Up to eight arguments: enough for every lookup of the program.
            FmtArg a[8] = {0, 0, 0, 0, 0, 0, 0, 0};
            for (std::size_t i = 0; i < kinds.size() && i < 8; ++i)
                a[i] = kinds[i] == 's' ? FmtArg("x") : kinds[i] == 'f' ? FmtArg(1.5) : FmtArg(7);
            formatted = run({a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]});
        }
        }
        if (!formatted) return "the checked formatter refuses \"" + text + "\" with kinds " + kinds;
    }
    return "";
}

TEST_F(Kit, EveryKeyTheCodeLooksUpHasWordingThatFitsItsArguments) {
    const auto lookups = keyscan_Tree(SORTIE_SOURCE_DIR, {"core", "gamedata", "mission", "logic", "mapview", "shell",
                                                          "platform", "resources", "cli"});
    int checked = 0;
    std::vector<std::string> runtimeSites;
    for (const KeyLookup& k : lookups) {
        if (!k.resolved) {
            runtimeSites.push_back(where(k) + " " + k.function + k.call);
            continue;
        }
        ++checked;
        const std::string text = wording(k.section, k.key);
        EXPECT_FALSE(text.empty()) << where(k) << ": no wording for [" << k.section << "] " << k.key;
        if (text.empty()) continue;
        if (k.formatted) {
            std::string kinds;
            for (const std::string& a : k.args) kinds += keyscan_ArgKind(a);
            auto it = kArgKinds.find({k.section, k.key});
            if (it != kArgKinds.end() && it->second.size() == kinds.size()) kinds = it->second;
            const std::string problem = formatProblem(text, kinds);
            EXPECT_EQ(problem, "") << where(k) << ": [" << k.section << "] " << k.key;
        }
    }
    EXPECT_GT(checked, 5) << "the scan found almost no lookups: is it still reading the sources?";
    for (const RuntimeKey& r : kRuntimeKeys) {
        const std::string text = wording(r.section, r.key);
        EXPECT_FALSE(text.empty()) << "no wording for [" << r.section << "] " << r.key;
        if (!text.empty()) {
            EXPECT_EQ(formatProblem(text, r.kinds), "") << "[" << r.section << "] " << r.key;
        }
    }
    // Lookups with a key formed at run time are covered by the tests below and by the list
    // above; they are printed so a reader can see what the scan left to them.
    for (const std::string& s : runtimeSites) std::printf("run-time key: %s\n", s.c_str());
}

// Every dialog opens worded from its template's keys: a placeholder the kit cannot word would
// show the fallback text.
TEST_F(Kit, EveryDialogCaptionHasItsText) {
    int captions = 0;
    for (const DialogTemplate* t : resources_Dialogs()) {
        EXPECT_NE(resources_Caption(t->caption), "Bad Texttool String") << t->name;
        for (const ControlTemplate& c : t->controls) {
            if (c.text.empty() || (c.style & kCtlHidden) || c.kind == ControlKind::Icon) continue;
            ++captions;
            const std::string shown = resources_Caption(c.text);
            EXPECT_NE(shown, "Bad Texttool String") << t->name << ": " << c.text;
            // The dialogs' own section comes first: "GROUP" is a label, not the checks' "group %i".
            const std::string key(c.text);
            if (const char* own = text_Lookup("Dialog Message", key.c_str())) {
                EXPECT_EQ(shown, own) << key;
            }
        }
    }
    EXPECT_GT(captions, 100);
}

// Menu entries name their string-table keys as data (their own, or their row's in the action
// table); the scan of calls cannot see them, so every menu of the resources is walked.
TEST_F(Kit, EveryMenuEntryHasItsText) {
    int keys = 0;
    std::function<void(const std::vector<MenuEntry>&, const std::string&)> walk =
        [&](const std::vector<MenuEntry>& entries, const std::string& menu) {
            for (const MenuEntry& e : entries) {
                const Action* row = e.key.empty() ? actions_Find(e.id) : nullptr;
                const std::string section = row ? std::string(row->menuSection) : "Menu Text";
                const std::string key = row ? std::string(row->menuKey) : e.key;
                if (!key.empty()) {
                    ++keys;
                    EXPECT_FALSE(wording(section, key).empty()) << menu << ": [" << section << "] " << key;
                }
                walk(e.children, menu);
            }
        };
    for (std::string_view name : resources_MenuNames()) walk(resources_Menu(name), std::string(name));
    EXPECT_GT(keys, 20);
}

TEST_F(Kit, VocabularyListsAreGaplessFromZero) {
    struct List {
        const char* section;
        const char* pattern;
    };
    for (const List& l : {List{"WinConditions", "STRWINCOND%03d"}, List{"LoseConditions", "STRLOSECOND%03d"},
                          List{"PeopleNames", "STRNAME%03d"}, List{"WPNames", "STRWPNAME%03d"}}) {
        // Lists are read until the first missing number; every key of the section must be
        // reachable that way, and each must have a text.
        int run = 0;
        for (;; ++run) {
            char key[32];
            std::snprintf(key, sizeof key, l.pattern, run);
            if (!text_Find(text_Tables().vocab, l.section, key)) break;
            EXPECT_FALSE(wording(l.section, key).empty()) << l.section << " " << key;
        }
        EXPECT_GE(run, 12) << l.section;
        std::uint32_t keys = 0;
        for (std::uint32_t s = 0; s < text_SectionCount(text_Tables().vocab); ++s)
            if (std::string(text_SectionName(text_Tables().vocab, s)) == l.section)
                keys += text_SectionKeyCount(text_Tables().vocab, s);
        EXPECT_EQ(keys, static_cast<std::uint32_t>(run)) << l.section << " has keys beyond a gap";
    }
}

TEST_F(Kit, ItemDefinitionsComeScrambledFromTheArchiveAndCoverEveryKind) {
    // The archive member is in the "SCR" form.
    const PffEntry* member = nullptr;
    PffArchive* holder = nullptr;
    for (int a = 0; a < pff_ArchiveCount() && !member; ++a)
        if ((holder = pff_Archive(a)) != nullptr) member = pff_FindMember("items.def", holder);
    ASSERT_NE(member, nullptr);
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(pff_ReadMember(holder, *member, raw));
    ASSERT_GE(raw.size(), 3u);
    EXPECT_EQ(std::string(raw.begin(), raw.begin() + 3), "SCR");

    ASSERT_EQ(itemdef_Load("items.def"), 1);
    EXPECT_TRUE(platform_->boxes.empty()) << platform_->boxes.front().text;
    const ItemDefTable& t = itemdef_Table();
    ASSERT_GE(t.count, 60);
    std::set<std::int32_t> kinds, types;
    int good = 0, evil = 0, hidden = 0;
    for (std::int32_t i = 0; i < t.count; ++i) {
        const ItemDef& d = t.defs[i];
        kinds.insert(d.type);
        EXPECT_TRUE(types.insert(d.typeNumber).second) << "type " << d.typeNumber << " defined twice";
        good += (d.attributes & kItemAttrGood) != 0;
        evil += (d.attributes & kItemAttrEvil) != 0;
        hidden += !itemdef_Listed(d, false);
        EXPECT_TRUE(itemdef_Listed(d, true));
    }
    EXPECT_EQ(kinds, (std::set<std::int32_t>{1, 2, 3, 4, 5, 6, 8}));
    EXPECT_GT(good, 0);
    EXPECT_GT(evil, 0);
    EXPECT_GE(hidden, 2);
    // The type numbers the item attributes editor treats specially.
    for (std::int32_t special : {1041, 1042, 6001, 6002, 6003, 6004, 6005, 6006, 6013, 6026, 6027, 6028, 6088,
                                 6090, 6091, 6092, 6093, 6094, 6095, 6096, 6097, 6098, 6099, 4015, 4035, 4036,
                                 4043, 4044, 4047, 4048, 4049, 4126, 4127, 4128, 4129, 4130, 4136, 4137})
        EXPECT_TRUE(types.count(special)) << "no definition of type " << special;

    // Every definition has a display name in the names table, which the name pass applies.
    itemdef_NamePass(text_Tables().names);
    for (std::int32_t i = 0; i < t.count; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "STR_ITM%04d", t.defs[i].typeNumber);
        const std::string name = wording("KZ7 Item Names", key);
        EXPECT_FALSE(name.empty()) << key;
        EXPECT_LE(name.size(), kItemTableNameMax) << key;
        EXPECT_EQ(name, t.defs[i].name) << key;
    }
}

TEST_F(Kit, EveryModelAnItemNamesLoadsWithItsLevelsOfDetail) {
    ASSERT_EQ(itemdef_Load("items.def"), 1);
    const ItemDefTable& t = itemdef_Table();
    int loaded = 0;
    for (std::int32_t i = 0; i < t.count; ++i) {
        const ItemDef& d = t.defs[i];
        for (const char* name : {d.graphic, d.husk}) {
            if (name[0] == '\0') continue;
            int fresh = 0;
            const Model* m = model_Load(name, 0, &fresh);
            ASSERT_NE(m, nullptr) << d.name << ": model " << name;
            ASSERT_GE(m->lodCount, 1) << name;
            // The map's level-of-detail test covers models of one to four levels.
            EXPECT_LE(m->lodCount, 4) << name;
            ASSERT_NE(m->lod[0], nullptr) << name;
            EXPECT_GT(m->lod[0]->polygons.size(), 0u) << name;
            EXPECT_GT(m->extent >> 8, 0) << name;
            loaded += fresh;
        }
        EXPECT_TRUE(d.type != kItemPerson || d.graphic[0] == '\0');
    }
    EXPECT_GE(loaded, 20);
    // The large models give the map view coarser outlines to switch to.
    for (const char* name : {"tank", "house", "barracks", "tower"}) {
        const Model* m = model_Load(name, 0, nullptr);
        ASSERT_NE(m, nullptr);
        EXPECT_GE(m->lodCount, 2) << name;
        for (int l = 1; l < m->lodCount; ++l)
            EXPECT_LT(m->lod[l]->polygons.size(), m->lod[0]->polygons.size()) << name << " level " << l;
    }
}

TEST_F(Kit, SunsetsLoadAndAreNamedFromTheTable) {
    sky_NameSunsets(text_Tables().names);
    ASSERT_GE(sky_Count(), 6);
    std::set<int> numbers;
    for (int i = 0; i < sky_Count(); ++i) {
        const Sunset* s = sky_At(i);
        EXPECT_TRUE(numbers.insert(s->number).second);
        char key[16];
        std::snprintf(key, sizeof key, "SUNSET%03d", s->number);
        EXPECT_EQ(wording("KZ7 Sunsets", key), s->name);
        EXPECT_NE(std::strstr(s->skyGradient, ".tga"), nullptr);
    }
    EXPECT_TRUE(platform_->boxes.empty());
}

TEST_F(Kit, ArchivesHoldScrambledMembers) {
    for (int a = 0; a < 2; ++a) {
        PffArchive* archive = pff_Archive(a);
        ASSERT_NE(archive, nullptr);
        int scrambled = 0;
        for (int i = 0; i < pff_EntryCount(archive); ++i) scrambled += pff_Entry(archive, i)->flags & 1;
        EXPECT_GE(scrambled, 1) << "archive " << a;
    }
    // A scrambled member reads back in clear through the file layer.
    ASSERT_EQ(file_Exists("sunsets.def"), 1);
    EXPECT_EQ(sky_LoadSunsets(), 1);
}

// Texts the program produces at run time, with the kit: none of them is the fallback.
TEST_F(Kit, NoFallbackTextReachesTheUser) {
    // Clearing a page names groups 1 and 2 (of the current page) after the players.
    mission_ResetPages();
    const Mission& page = mission_CurrentPage();
    EXPECT_EQ(mission_Text(page.groups[1].description), wording("Players", "BLUEPLAYERS"));
    EXPECT_EQ(mission_Text(page.groups[2].description), wording("Players", "REDPLAYERS"));
    EXPECT_NE(wording("Players", "BLUEPLAYERS"), "");

    const char bad[] = "begin thing\r\nnonsense here\r\n";
    parser_ParseBuffer(bad, sizeof bad - 1, LineEnds::CrLf, "x.def",
                       [](const LineTokens* t, int) { return t && std::strcmp(t->token[0], "nonsense") == 0 ? 1 : 0; });
    ASSERT_EQ(platform_->boxes.size(), 1u);
    EXPECT_EQ(platform_->boxes[0].text.find(kTextFallback), std::string::npos) << platform_->boxes[0].text;
    EXPECT_NE(platform_->boxes[0].text.find('2'), std::string::npos) << "the line number is shown";

    ASSERT_EQ(itemdef_Load("items.def"), 1);
    std::vector<std::int32_t> all;
    for (std::int32_t i = 0; i < itemdef_Count(); ++i) all.push_back(i);
    model_LoadForDefs(all);
    ASSERT_FALSE(platform_->statusLines.empty());
    for (const std::string& line : platform_->statusLines)
        EXPECT_EQ(line.find(kTextFallback), std::string::npos) << line;
}

#ifdef SORTIE_KIT_HAS_VOCAB
// The event vocabulary forms its keys from tables: every trigger, condition, action, AI change,
// slot label and value list is rendered here with the kit, and none may fall back.
TEST_F(Kit, EventVocabularyAndListingsRenderWithoutFallback) {
    std::vector<std::string> texts;
    for (std::int32_t type = 0; type <= 6; ++type)
        for (std::int32_t cond = 0; cond <= kGroupConditionMax; ++cond)
            for (std::int32_t flags : {0, kTriggerSenseFalse, kTriggerLogicOr, kTriggerLogicXor | kTriggerSenseFalse})
                for (bool last : {false, true}) {
                    EventTrigger t{};
                    t.flags = flags;
                    t.type = type;
                    t.condition = cond;
                    t.var1 = 1;
                    t.var2 = 2;
                    t.var3 = 3;
                    texts.push_back(event_TriggerText(t, last));
                    if (type == 1 || cond == 0) {
                        texts.push_back(event_ConditionName(type, cond));
                        for (const LogicVarSlot& slot : event_TriggerVars(type, cond).slots)
                            texts.push_back(slot.label);
                    }
                }
    for (std::int32_t type = 0; type <= kActionTypeMax; ++type) {
        texts.push_back(event_ActionTypeName(type));
        for (std::int32_t sub = 0; sub <= kAiSubtypeMax; ++sub)
            for (std::int32_t var2 : {0, 1, 2, 4}) {
                EventAction a{};
                a.type = type;
                a.subtype = sub;
                a.var1 = 3;
                a.var2 = var2;
                texts.push_back(event_ActionText(a));
                if (event_ActionHasSubtype(type)) {
                    texts.push_back(event_AiSubtypeName(type, sub));
                    texts.push_back(event_AiChangeText(a));
                    texts.push_back(event_AiValueVar(sub).label);
                }
                for (const LogicVarSlot& slot : event_ActionVars(type, sub).slots) texts.push_back(slot.label);
            }
    }
    for (std::int32_t type = 0; type <= 5; ++type) texts.push_back(event_TriggerTypeName(type));
    for (std::int32_t code = 0; code < 12; ++code) {
        texts.push_back(event_WinConditionName(code));
        texts.push_back(event_LoseConditionName(code));
    }
    mission_ResetPages();
    Mission& page = mission_CurrentPage();
    for (int list = static_cast<int>(LogicList::Groups); list <= static_cast<int>(LogicList::LoseSubGoals); ++list)
        for (const ListEntry& e : list_Build(static_cast<LogicList>(list), page)) texts.push_back(e.text);

    // The listings of a page with one event of every trigger type.
    page.event_count = 1;
    MissionEvent& ev = page.events[0];
    ev.attrib = 7;
    ev.reset_value = 5;
    ev.delay_value = 3;
    ev.trigger_count = 6;
    for (int i = 0; i < 6; ++i) ev.triggers[std::size_t(i)] = EventTrigger{0, i, i == 1 ? 4 : 0, 1, 2, 0, 0, 0};
    ev.action_count = 3;
    ev.actions[0] = EventAction{0, 3, 7, 1, 90, 0, 0, 0};
    ev.actions[1] = EventAction{0, 16, 0, 1, 2, 0, 0, 0};
    ev.actions[2] = EventAction{0, 8, 0, 0, 0, 0, 0, 0};
    std::ostringstream out;
    const ListingStamp stamp{"kit.mis", 6, 1, 2026, 12, 5};
    EXPECT_TRUE(list_WriteEvent(out, page, 0, stamp));
    list_WriteAllEvents(out, page, stamp);
    list_WriteGroups(out, page, stamp);
    list_WriteWaypoints(out, page, stamp);
    list_WriteAreaTriggers(out, page, stamp);
    texts.push_back(out.str());

    for (const std::string& t : texts) {
        EXPECT_EQ(t.find(kTextFallback), std::string::npos) << t;
        EXPECT_FALSE(t.empty());
    }
}
#endif

#ifdef SORTIE_KIT_HAS_TERRAIN
TEST_F(Kit, TerrainsLoadFromTheArchiveWithEveryMap) {
    TerrainMaps* maps = terrain_NewMaps();
    ASSERT_EQ(terrain_LoadMaps(*maps, "greenvale"), 1);
    const TerrainDef& def = terrain_State().def;
    EXPECT_STREQ(def.terrain_name, "Greenvale");
    EXPECT_EQ(maps->waterLevel, 40);
    EXPECT_EQ(maps->detailFlag, 1);
    EXPECT_EQ(maps->detailColourWidth, 768);
    EXPECT_EQ(maps->detailColourHeight, 256);
    auto spread = [](const LargeArray<std::uint32_t>& v, std::uint32_t mask) {
        std::set<std::uint32_t> values;
        for (std::size_t i = 0; i < v.size(); i += 97) values.insert(v[i] & mask);
        return values.size();
    };
    EXPECT_GT(spread(maps->colour, 0xFFFFFF), 100u) << "the JPEG colour map was not decoded";
    EXPECT_GT(spread(maps->elevation, 0xFF00), 100u);
    std::size_t water = 0, edges = 0;
    const std::uint32_t* edge = terrain_EdgeMap(*maps);
    for (std::size_t i = 0; i < kTerrainMapCells; ++i) {
        water += ((maps->elevation[i] >> 8) & 0xFF) <= 40;
        edges += edge[i] != 0;
    }
    EXPECT_GT(water, kTerrainMapCells / 100) << "the river lies below the water height";
    EXPECT_LT(water, kTerrainMapCells / 4);
    EXPECT_GT(edges, kTerrainMapCells / 2);
    std::set<int> tiles(maps->detail.begin(), maps->detail.end());
    EXPECT_GT(tiles.size(), 20u);
    EXPECT_LT(*tiles.rbegin(), 48);

    ASSERT_EQ(terrain_LoadMaps(*maps, "dustbowl"), 1);
    EXPECT_STREQ(terrain_State().def.terrain_name, "Dustbowl");
    EXPECT_GT(spread(maps->colour, 0xFFFFFF), 100u);
    EXPECT_GT(spread(maps->elevation, 0xFF00), 50u);
    EXPECT_EQ(maps->waterLevel, 0);
    terrain_FreeMaps(maps);
}
#endif

#endif  // SORTIE_GAMEDATA_DIR

}  // namespace
