#include "core/format.h"

#include <gtest/gtest.h>

TEST(Format, ConversionsMatchingTheirArguments) {
    EXPECT_EQ(text_Format("Line %i: %s", {12, "begin item"}), "Line 12: begin item");
    EXPECT_EQ(text_Format("%03d|%-4s|%4s|%x|%X|%u", {7, "ab", "cd", 255, 255, -1}), "007|ab  |  cd|ff|FF|4294967295");
    EXPECT_EQ(text_Format("%0.3i", {5}), "005");
    EXPECT_EQ(text_Format("%.2f %g", {1.5, 2}), "1.50 2");
    EXPECT_EQ(text_Format("100%% %c", {'A'}), "100% A");
    EXPECT_EQ(text_Format("%ld bytes ('%s')", {40L, "PFF HEADERS"}), "40 bytes ('PFF HEADERS')");
    EXPECT_EQ(text_Format("%*d|%.*s", {4, 9, 2, "xyz"}), "   9|xy");
}

TEST(Format, UnfitFormatsGiveTheFallback) {
    EXPECT_EQ(text_Format("%s", {12}), kTextFallback);      // string asked, integer passed
    EXPECT_EQ(text_Format("%d", {"text"}), kTextFallback);  // integer asked, string passed
    EXPECT_EQ(text_Format("%d %d", {1}), kTextFallback);    // more conversions than arguments
    EXPECT_EQ(text_Format("%n", {1}), kTextFallback);       // never writes through an argument
    EXPECT_EQ(text_Format("%p", {1}), kTextFallback);
    EXPECT_EQ(text_Format("50%", {}), kTextFallback);        // lone percent at the end
    EXPECT_EQ(text_Format("%99999d", {1}), kTextFallback);   // absurd width
    EXPECT_EQ(text_Format("%*d", {"x", 1}), kTextFallback);  // width must be an integer
}

TEST(Format, LeftoverArgumentsAreIgnoredAndPlainTextPassesThrough) {
    EXPECT_EQ(text_Format("Bad line", {12, "text"}), "Bad line");
    EXPECT_EQ(text_Format("", {}), "");
    std::string out;
    EXPECT_FALSE(text_TryFormat("%s", {}, out));
    EXPECT_TRUE(text_TryFormat("%s!", {"ok"}, out));
    EXPECT_EQ(out, "ok!");
}

TEST(Format, LongStringsAreNotTruncated) {
    std::string big(10000, 'x');
    EXPECT_EQ(text_Format("[%s]", {big}).size(), big.size() + 2);
}
