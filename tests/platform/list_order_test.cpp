#include "support/fake_platform.h"
#include "resources/shell_dialogs.h"

#include <gtest/gtest.h>

namespace {

TEST(ListOrder, SortsWithoutRegardToCaseAndKeepsArrivalOrderOfEquals) {
    EXPECT_TRUE(ui_SortsBefore("apple", "Banana"));
    EXPECT_TRUE(ui_SortsBefore("Apple", "banana"));
    EXPECT_FALSE(ui_SortsBefore("banana", "Apple"));
    EXPECT_TRUE(ui_SortsBefore("tank", "tank 2"));  // a prefix first
    EXPECT_FALSE(ui_SortsBefore("same", "same"));
    EXPECT_TRUE(ui_SortsBefore("", "a"));
    // Bytes above 127 compare unsigned, after every ASCII letter.
    EXPECT_TRUE(ui_SortsBefore("z", "\xE9t\xE9"));

    std::vector<std::string> texts = {"Alpha", "bravo", "Charlie"};
    EXPECT_EQ(ui_SortedIndex(texts, "aardvark"), 0);
    EXPECT_EQ(ui_SortedIndex(texts, "BRAVO"), 1);  // "BRAVO" < "bravo" by byte value
    EXPECT_EQ(ui_SortedIndex(texts, "bravo"), 2);  // an equal text goes after
    EXPECT_EQ(ui_SortedIndex(texts, "delta"), 3);
    EXPECT_EQ(ui_SortedIndex({}, "x"), 0);
}

// A procedure that fills the sorted list of Insert Item.
struct FillProc : DialogProc {
    void onInit(Dialog& d) override {
        for (const char* t : {"Tent", "barrel", "Crate", "ammo box"})
            d.addEntry(dlgid::kInsertList, t, static_cast<std::int64_t>(t[0]));
    }
    void onCommand(Dialog& d, int id, Notify) override {
        if (id == kIdOk || id == kIdCancel) d.end(id);
    }
};

TEST(FakeDialog, KeepsListsTheTemplateMarksSortedInOrderWithTheirData) {
    ScopedFakePlatform fake;
    std::vector<std::string> seen;
    std::vector<std::int64_t> data;
    fake->dialogScripts["INSERTITEM"] = [&](FakeDialog& d) {
        for (int i = 0; i < d.entryCount(dlgid::kInsertList); ++i) {
            seen.push_back(d.entryText(dlgid::kInsertList, i));
            data.push_back(d.entryData(dlgid::kInsertList, i));
        }
        d.click(kIdOk);
    };
    FillProc proc;
    EXPECT_EQ(platform().runDialog("INSERTITEM", proc), kIdOk);
    EXPECT_EQ(seen, (std::vector<std::string>{"ammo box", "barrel", "Crate", "Tent"}));
    EXPECT_EQ(data, (std::vector<std::int64_t>{'a', 'b', 'C', 'T'}));

    // Without a template a list keeps the order of arrival.
    FakeDialog plain(proc);
    plain.init();
    EXPECT_EQ(plain.entryText(dlgid::kInsertList, 0), "Tent");
}

TEST(FakeDialog, TypingIsCutAtTheEditLimit) {
    FillProc proc;
    FakeDialog d(proc);
    d.setTextLimit(7, 5);
    d.type(7, "abcdefgh");
    EXPECT_EQ(d.text(7), "abcde");
    d.setText(7, "programmatic text is not limited");
    EXPECT_EQ(d.text(7), "programmatic text is not limited");
    d.setTextLimit(7, 0);
    d.type(7, "abcdefgh");
    EXPECT_EQ(d.text(7), "abcdefgh");
}

}  // namespace
