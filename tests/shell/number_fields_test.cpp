// Every number field of every dialog, through the fake platform and the dialog's own
// procedure: what it takes at each edge of its range, and what OK does with text that is no
// number, a number out of range and a value read from a file that no user could type.
#include "core/number.h"
#include "logic/events.h"
#include "logic/events_editor.h"
#include "logic/geninfo.h"
#include "mission/itemattr.h"
#include "support/fake_platform.h"
#include "platform/number_fields.h"
#include "resources/shell_dialogs.h"
#include "resources/templates.h"
#include "shell/dialogs.h"
#include "support/core_env.h"
#include "support/mission_pages.h"
#include "support/text_tables.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

namespace {

constexpr const char* kTexts =
    "[Dialog Message]\nNUMBER_REFUSED = Refused\nNUMBER_RANGE = %s|%i|%i\nNUMBER_RANGE_DECIMAL = %s|%i|%i|.\n";

// One dialog: its template, how it opens on a page, and what it stored for a field.
struct DialogRun {
    const char* name;
    std::function<int(Mission&)> run;
};

struct Field {
    const char* dialog;
    int id;
    std::int32_t min, max;
    bool decimal;
    std::function<std::int32_t(const Mission&)> stored;
};

std::int32_t centreX = 0, centreY = 0;

const MissionItem& ref(const Mission& m) { return m.items[0]; }

class NumberFields : public ::testing::Test {
protected:
    ScopedCore core;
    ScopedFakePlatform ui;
    ScopedTextTable texts{kTexts};
    ScopedItemDefs defs;
    std::unique_ptr<Mission> page = test_NewMission();

    void SetUp() override {
        test_AddItem(*page, kTestGoodGuard);  // a person: every field of the attributes applies
        mission_Select(*page, 0);
        page->event_count = 1;
    }

    // Opens the dialog, types text into the field, presses OK; true when the dialog closed.
    bool typeAndOk(const char* dialog, int id, const std::string& text, int* focus = nullptr) {
        bool ended = false;
        ui->dialogScripts[dialog] = [&](FakeDialog& d) {
            d.type(id, text);
            d.click(kIdOk);
            ended = d.ended();
            if (focus) *focus = d.focus();
            if (!ended) d.click(kIdCancel);
        };
        runDialog(dialog);
        return ended;
    }
    void runDialog(const std::string& dialog) {
        if (dialog == "GENERALINFO")
            geninfo_Run(*page);
        else if (dialog == "ITEMATTRIBUTES")
            itemattr_Run(*page);
        else if (dialog == "EDITEVENTS")
            events_RunEditor(*page);
        else if (dialog == "GETCENTER")
            dialogs_RunCenter(centreX, centreY);
    }
};

std::string number(std::int64_t v) { return std::to_string(v); }

// What each field takes, by what the format holds and the game accepts.
const std::vector<Field>& fields() {
    using M = const Mission&;
    static const std::vector<Field> all = {
        {"GETCENTER", dlgid::kCenterX, -8388608, 8388607, false, [](M) { return centreX >> 8; }},
        {"GETCENTER", dlgid::kCenterY, -8388608, 8388607, false, [](M) { return centreY >> 8; }},
        {"GENERALINFO", gi::kWindSpeed, 0, 45, false, [](M m) { return m.info.wind[0]; }},
        {"GENERALINFO", gi::kWindDirection, 0, 359, false, [](M m) { return m.info.wind[1]; }},
        {"GENERALINFO", gi::kFireMissions, 0, 99, false, [](M m) { return m.info.arty; }},
        {"GENERALINFO", gi::kWaterLevel, 0, 255, false, [](M m) { return m.info.water_level; }},
        {"GENERALINFO", gi::kFogLevel, 0, 2147483647, false, [](M m) { return m.info.fog_level; }},
        {"GENERALINFO", gi::kFogRed, 0, 255, false, [](M m) { return (m.info.fog_color >> 16) & 0xFF; }},
        {"GENERALINFO", gi::kFogGreen, 0, 255, false, [](M m) { return (m.info.fog_color >> 8) & 0xFF; }},
        {"GENERALINFO", gi::kFogBlue, 0, 255, false, [](M m) { return m.info.fog_color & 0xFF; }},
        {"EDITEVENTS", evid::kResetValue, 0, 655, false, [](M m) { return m.events[0].reset_value; }},
        {"EDITEVENTS", evid::kDelayValue, 0, 655, false, [](M m) { return m.events[0].delay_value; }},
        {"ITEMATTRIBUTES", itemattr::kXMetres, -1024, 1024, false, [](M m) { return ref(m).x >> 8; }},
        {"ITEMATTRIBUTES", itemattr::kXFraction, 0, 255, false, [](M m) { return ref(m).x & 0xFF; }},
        {"ITEMATTRIBUTES", itemattr::kYMetres, -1024, 1024, false, [](M m) { return ref(m).y >> 8; }},
        {"ITEMATTRIBUTES", itemattr::kYFraction, 0, 255, false, [](M m) { return ref(m).y & 0xFF; }},
        {"ITEMATTRIBUTES", itemattr::kZMetres, -8388608, 8388607, false, [](M m) { return ref(m).z >> 8; }},
        {"ITEMATTRIBUTES", itemattr::kZFraction, 0, 255, false, [](M m) { return ref(m).z & 0xFF; }},
        {"ITEMATTRIBUTES", itemattr::kHeading, 0, 359, false, [](M m) { return ref(m).heading; }},
        {"ITEMATTRIBUTES", itemattr::kPitch, -90, 90, false, [](M m) { return ref(m).pitch; }},
        {"ITEMATTRIBUTES", itemattr::kLessThan, 0, 255, false, [](M m) { return ref(m).nolessthan; }},
        {"ITEMATTRIBUTES", itemattr::kMoreThan, 0, 255, false, [](M m) { return ref(m).nomorethan; }},
        {"ITEMATTRIBUTES", itemattr::kFov, 0, 360, false, [](M m) { return ref(m).fov; }},
        {"ITEMATTRIBUTES", itemattr::kAccuracy, 0, 100, true, [](M m) { return ref(m).waccuracy; }},
        {"ITEMATTRIBUTES", itemattr::kPerception, 0, 100, true, [](M m) { return ref(m).perception; }},
        {"ITEMATTRIBUTES", itemattr::kObliqueness, 0, 255, false, [](M m) { return ref(m).obliqueness; }},
        {"ITEMATTRIBUTES", itemattr::kNumber, 0, 255, false, [](M m) { return ref(m).wpnumber; }},
        {"ITEMATTRIBUTES", itemattr::kDistance, 0, 65535, false, [](M m) { return ref(m).wpdistance; }},
    };
    return all;
}

}  // namespace

TEST_F(NumberFields, EveryTemplateNumberFieldIsInTheTable) {
    std::set<std::pair<std::string, int>> listed;
    for (const Field& f : fields()) listed.emplace(f.dialog, f.id);
    for (const DialogTemplate* t : resources_Dialogs())
        for (int id : t->numberFields()) {
            EXPECT_TRUE(listed.count({std::string(t->name), id})) << t->name << " " << id;
            const NumberRange r = *t->numberRange(id);
            EXPECT_NE(t->control(r.label), nullptr) << t->name << " " << id << ": the field is named by no control";
        }
}

TEST_F(NumberFields, EachEdgeIsStoredAndAnythingElseIsRefusedAtItsField) {
    for (const Field& f : fields()) {
        SCOPED_TRACE(std::string(f.dialog) + " field " + std::to_string(f.id));
        // Both edges and a value between them are taken and stored as typed.
        for (std::int64_t v : {std::int64_t{f.min}, std::int64_t{f.max}, (std::int64_t{f.min} + f.max) / 2}) {
            ui->boxes.clear();
            EXPECT_TRUE(typeAndOk(f.dialog, f.id, " " + number(v) + " ")) << v;
            EXPECT_EQ(f.stored(*page), v);
            EXPECT_TRUE(ui->boxes.empty());
        }
        const std::int32_t kept = f.stored(*page);
        // One past each edge, text that is no number, nothing at all, a number with a unit,
        // a number beyond 64 bits: refused at the field, nothing stored, the dialog open.
        const std::string fraction = f.decimal ? "1.2.3" : "1.5";
        for (const std::string& bad :
             {number(std::int64_t{f.min} - 1), number(std::int64_t{f.max} + 1), std::string("abc"), std::string(""),
              std::string("12km"), fraction, std::string("1e9"), std::string("99999999999999999999")}) {
            ui->boxes.clear();
            int focus = 0;
            EXPECT_FALSE(typeAndOk(f.dialog, f.id, bad, &focus)) << "'" << bad << "'";
            EXPECT_EQ(focus, f.id) << "'" << bad << "'";
            EXPECT_EQ(f.stored(*page), kept) << "'" << bad << "'";
            ASSERT_EQ(ui->boxes.size(), 1u) << "'" << bad << "'";
            // The message names the field by its label and gives both ends of the range.
            const std::string& text = ui->boxes[0].text;
            EXPECT_NE(text.find("|" + number(f.min) + "|" + number(f.max)), std::string::npos) << text;
            EXPECT_NE(text.find('|'), 0u) << "no field name: " << text;
        }
    }
}

TEST_F(NumberFields, DecimalFieldsTakeAFractionAndStoreItTruncated) {
    EXPECT_TRUE(typeAndOk("ITEMATTRIBUTES", itemattr::kAccuracy, "87.9"));
    EXPECT_EQ(page->items[0].waccuracy, 87);
    EXPECT_FALSE(typeAndOk("ITEMATTRIBUTES", itemattr::kAccuracy, "100.5"));
}

TEST_F(NumberFields, ValuesFromAFileOutOfRangeAreShownAndKeptUnlessEdited) {
    page->info.wind = {100, -1};
    page->info.water_level = -3;
    page->info.fog_color = 0x7F102030;
    page->info.arty = 1000;
    page->events[0].delay_value = 100000;
    MissionItem& it = page->items[0];
    it.heading = 720;
    it.fov = 99999;
    it.x = 5000 * 256;  // off the terrain
    ui->dialogScripts["GENERALINFO"] = [](FakeDialog& d) {
        EXPECT_EQ(d.text(gi::kWaterLevel), "-3");
        EXPECT_EQ(d.text(gi::kFireMissions), "1000");
        d.type(gi::kName, "Renamed");
        d.click(kIdOk);
        EXPECT_TRUE(d.ended());
    };
    ui->dialogScripts["ITEMATTRIBUTES"] = [](FakeDialog& d) {
        EXPECT_EQ(d.text(itemattr::kHeading), "720");
        EXPECT_EQ(d.text(itemattr::kFov), "99999");
        d.type(itemattr::kPitch, "10");
        d.click(kIdOk);
        EXPECT_TRUE(d.ended());
    };
    ui->dialogScripts["EDITEVENTS"] = [](FakeDialog& d) {
        EXPECT_EQ(d.text(evid::kDelayValue), "100000");
        d.type(evid::kResetValue, "5");
        d.click(kIdOk);
        EXPECT_TRUE(d.ended());
    };
    geninfo_Run(*page);
    itemattr_Run(*page);
    events_RunEditor(*page);
    EXPECT_EQ(page->info.wind[0], 100);
    EXPECT_EQ(page->info.wind[1], -1);
    EXPECT_EQ(page->info.water_level, -3);
    EXPECT_EQ(page->info.fog_color, 0x7F102030);
    EXPECT_EQ(page->info.arty, 1000);
    EXPECT_EQ(it.heading, 720);
    EXPECT_EQ(it.fov, 99999);
    EXPECT_EQ(it.x, 5000 * 256);
    EXPECT_EQ(it.pitch, 10);
    EXPECT_EQ(page->events[0].delay_value, 100000);
    EXPECT_EQ(page->events[0].reset_value, 5);
}

TEST(NumberText, ClampedAndStrictReadings) {
    struct Case {
        const char* text;
        std::int32_t clamped;
        bool whole, decimal;  // a number for the strict reading, without and with fractions
    };
    const Case cases[] = {
        {"42", 42, true, true},
        {"  -7 ", -7, true, true},
        {"+3", 3, true, true},
        {"12km", 12, false, false},
        {"abc", 0, false, false},
        {"", 0, false, false},
        {"-", 0, false, false},
        {"1.5", 1, false, true},
        {"1e9", 1, false, false},
        {".5", 0, false, true},
        {"1.", 1, false, true},
        {"1.2.3", 1, false, false},
        {"99999999999", 2147483647, true, true},
        {"-99999999999", -2147483647 - 1, true, true},
        {"99999999999999999999", 2147483647, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(number_ClampedInt(c.text), c.clamped);
        EXPECT_EQ(number_Strict(c.text, false).has_value(), c.whole);
        EXPECT_EQ(number_Strict(c.text, true).has_value(), c.decimal);
    }
}
