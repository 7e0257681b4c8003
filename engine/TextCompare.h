#pragma once
// How the engine compares text: without regard to case, for all of Unicode (umlauts included),
// as the old engine did. Criteria, the text collation of SQL and key look-ups use this rule.

#include <QString>

namespace engine {

// The SQL collation that compares by compareText; registered on every connection.
inline constexpr char TextCollation[] = "TEXT_NOCASE";

// <0, 0 or >0 as a sorts before, equal to or after b.
inline int compareText(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive);
}

inline bool sameText(QStringView a, QStringView b) {
    return compareText(a, b) == 0;
}

} // namespace engine
