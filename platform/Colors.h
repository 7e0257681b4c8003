#pragma once
// Colours are kept as Windows colour values 0x00BBGGRR in the data; this is the one place where
// they meet QColor.

#include <QColor>

namespace platform {

inline QColor fromBgr(quint32 bgr) {
    return QColor(int(bgr & 0xff), int((bgr >> 8) & 0xff), int((bgr >> 16) & 0xff));
}

inline quint32 toBgr(const QColor& color) {
    return quint32(color.red()) | (quint32(color.green()) << 8) | (quint32(color.blue()) << 16);
}

// "#RRGGBB" for HTML output.
inline QString htmlColor(quint32 bgr) { return fromBgr(bgr).name(QColor::HexRgb).toUpper(); }

} // namespace platform
