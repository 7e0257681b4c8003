#pragma once
// Exact outputs compared with the files kept under tests/: byte for byte. With
// TURNOVA_UPDATE_GOLDEN=1 in the environment the output is written as the new golden file
// instead (read it against the design before committing it).

#include "tests/support/TestSession.h"

#include <QFile>
#include <QtTest>

namespace testing {

// The golden file tests/<relative>.
inline QString goldenPath(const QString& relative) {
    return sourceDir() + QStringLiteral("/tests/") + relative;
}

inline QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// True when the bytes equal the golden file; the first differing line is reported.
inline bool matchesGolden(const QByteArray& actual, const QString& relative) {
    const QString path = goldenPath(relative);
    if (qEnvironmentVariableIntValue("TURNOVA_UPDATE_GOLDEN") == 1) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(actual) != actual.size()) return false;
        return true;
    }
    const QByteArray expected = readBytes(path);
    if (actual == expected) return true;
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (qsizetype i = 0; i < qMax(a.size(), e.size()); ++i) {
        const QByteArray al = a.value(i), el = e.value(i);
        if (al != el) {
            qWarning("%s differs in line %lld:\n  expected: %s\n  actual:   %s",
                     qPrintable(relative), qint64(i + 1),
                     el.toPercentEncoding(" <>=/#\"&;:.,+-").constData(),
                     al.toPercentEncoding(" <>=/#\"&;:.,+-").constData());
            break;
        }
    }
    return false;
}

} // namespace testing
