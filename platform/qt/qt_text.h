// Conversions between the core's byte strings and Qt's strings.
//
// The core keeps texts as single bytes (fixed-size names, limits counted in characters),
// so texts cross as Latin-1: every byte maps to one character and back unchanged, and a
// character the core cannot hold comes back as '?'. File paths cross in the local 8-bit
// encoding, so the core can open what the user chose.
#pragma once

#include <QFile>
#include <QString>

#include <string>
#include <string_view>

inline QString qtText(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

inline std::string coreText(const QString& s) {
    QByteArray b = s.toLatin1();
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

inline QString qtPath(std::string_view s) {
    return QFile::decodeName(QByteArray(s.data(), static_cast<qsizetype>(s.size())));
}

inline std::string corePath(const QString& s) {
    QByteArray b = QFile::encodeName(s);
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}
