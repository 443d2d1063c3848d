// Conversions between the core's byte strings and Qt's strings.
//
// The core keeps texts as single bytes (fixed-size names, limits counted in characters), and
// the mission files and game tables are 8-bit Windows texts, so texts cross as Windows-1252:
// every byte maps to one character and back unchanged. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, so they survive a round trip too. A character the code page cannot hold comes
// back as '?'. File paths cross in the local 8-bit encoding (UTF-8), so the core can open
// what the user chose; inside a text shown to the user (the title, menus, message boxes) a
// path stands between the marks of ui_PathText and is read in its own encoding there.
#pragma once

#include "platform/ui.h"

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

// The characters of bytes 0x80 to 0x9F; the rest of the code page is Latin-1.
inline constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 0x98
};

// The byte Windows-1252 gives a character, or '?' when it has none.
inline char qt_Cp1252Byte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

inline QString qtText(std::string_view s) {
    QString out(static_cast<qsizetype>(s.size()), Qt::Uninitialized);
    QChar* d = out.data();
    for (char ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        *d++ = QChar(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return out;
}

inline std::string coreText(const QString& s) {
    std::string out;
    out.reserve(static_cast<size_t>(s.size()));
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        out += qt_Cp1252Byte(c.unicode());
        // A character beyond the 16-bit plane is one '?', not two.
        if (c.isHighSurrogate() && i + 1 < s.size() && s.at(i + 1).isLowSurrogate()) ++i;
    }
    return out;
}

inline QString qtPath(std::string_view s) {
    return QFile::decodeName(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
}

inline std::string corePath(const QString& s) {
    QByteArray b = QFile::encodeName(s);
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

// A text shown to the user: Windows-1252, with the paths ui_PathText marked read as paths.
inline QString qtShownText(std::string_view s) {
    QString out;
    ui_ForEachPart(s, [&out](std::string_view part, bool isPath) { out += isPath ? qtPath(part) : qtText(part); });
    return out;
}
