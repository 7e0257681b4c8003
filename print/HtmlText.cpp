#include "print/HtmlText.h"

#include <QList>

#include <array>

namespace print {

namespace {

// The characters Windows-1252 puts at the bytes 0x80 to 0x9F; 0 where the code page has none.
constexpr std::array<char32_t, 32> HighBlock = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 0x88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 0x98
};

// The byte of a character in Windows-1252; -1 when the code page cannot hold it.
int windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return int(c);
    for (std::size_t i = 0; i < HighBlock.size(); ++i) {
        if (HighBlock[i] == c && c != 0) return int(0x80 + i);
    }
    return -1;
}

} // namespace

QString htmlEscape(const QString& text) {
    return text.toHtmlEscaped();
}

QByteArray toWindows1252Html(const QString& text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        const int b = windows1252Byte(c);
        if (b >= 0)
            bytes.append(char(b));
        else
            bytes.append("&#" + QByteArray::number(quint32(c)) + ';');
    }
    return bytes;
}

} // namespace print
