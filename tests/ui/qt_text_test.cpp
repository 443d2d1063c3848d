// Texts cross between Qt and the core as Windows-1252 both ways, and a bad line's message
// names its file.
#include "qt/qt_platform.h"
#include "qt/qt_text.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

TEST(QtText, Windows1252BothWays) {
    const struct {
        const char* bytes;
        char16_t ch;
    } table[] = {
        {"\x80", 0x20AC},
        {"\x85", 0x2026},
        {"\x8A", 0x0160},
        {"\x91", 0x2018},
        {"\x96", 0x2013},
        {"\x97", 0x2014},
        {"\x99", 0x2122},
        {"\x9F", 0x0178},
        {"\xA0", 0x00A0},
        {"\xE9", 0x00E9},
        {"\xFF", 0x00FF},
        {"A", 0x0041},
        // The code page's five holes stand for the control characters of their number.
        {"\x81", 0x0081},
        {"\x8D", 0x008D},
        {"\x8F", 0x008F},
        {"\x90", 0x0090},
        {"\x9D", 0x009D},
    };
    for (const auto& t : table) {
        EXPECT_EQ(qtText(t.bytes), QString(QChar(t.ch))) << int(t.ch);
        EXPECT_EQ(coreText(QString(QChar(t.ch))), t.bytes) << int(t.ch);
    }
    // Every byte comes back as itself, each through a character of its own.
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const QString wide = qtText(all);
    EXPECT_EQ(coreText(wide), all);
    EXPECT_EQ(QSet<QChar>(wide.begin(), wide.end()).size(), 256);
    // What the code page cannot hold becomes one '?' per character.
    const QString typed =
        QStringLiteral("a\u2013b \u0100 \u4E2D ") + QString::fromUcs4(U"\U0001F600") + QStringLiteral(" \u20AC");
    EXPECT_EQ(coreText(typed),
              "a\x96"
              "b ? ? ? \x80");
}

// A shown text reads its marked paths as UTF-8 and the rest in the code page; a mark without
// its end is an ordinary character.
TEST(QtText, ShownTextsReadPathsAsUtf8AndTheRestAsWindows1252) {
    const std::string cyrillic = "/m/\xD0\x9C\xD0\xB8\xD1\x80.mis";  // /m/Мир.mis
    const struct {
        std::string core;
        QString shown;
    } table[] = {
        {"caf\xE9 \x80", QString::fromUtf8("café €")},
        {ui_PathText(cyrillic), QString::fromUtf8("/m/Мир.mis")},
        {"caf\xE9 - " + ui_PathText("caf\xC3\xA9.mis") + " *", QString::fromUtf8("café - café.mis *")},
        {ui_PathText("a") + ui_PathText("b"), QStringLiteral("ab")},
        {"x\x0E"
         "caf\xE9",
         QString::fromUtf8("x\x0E"
                           "café")},
        {ui_PathText("tab\there"), QStringLiteral("tab?here")},
    };
    for (const auto& t : table) EXPECT_EQ(qtShownText(t.core), t.shown) << t.core;
    EXPECT_EQ(ui_PlainText("caf\xE9 - " + ui_PathText(cyrillic)), "caf\xE9 - " + cyrillic);
}

class Recording : public QtPlatform {
public:
    std::vector<std::string> shown;
    MsgAnswer messageBox(std::string_view text, std::string_view, MsgIcon, MsgButtons) override {
        shown.emplace_back(text);
        return MsgAnswer::Ok;
    }
};

TEST(QtText, BadLineMessageNamesTheFile) {
    Recording qt;
    qt.lineError("/missions/broken.mis", 12, "Line 12 could not be understood", "Reading");
    ASSERT_EQ(qt.shown.size(), 1u);
    EXPECT_NE(qt.shown[0].find("/missions/broken.mis"), std::string::npos) << qt.shown[0];
    // A file name the code page cannot hold is shown as it is.
    qt.lineError("/missions/\xD0\x9C.mis", 3, "Line 3", "Reading");
    EXPECT_TRUE(qtShownText(qt.shown.back()).contains(QString::fromUtf8("/missions/М.mis")));
    EXPECT_NE(qt.shown[0].find("Line 12 could not be understood"), std::string::npos);
}

}  // namespace
