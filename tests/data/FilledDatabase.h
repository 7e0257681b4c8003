#pragma once
// A database of the current format filled with generated rows, and small file helpers, for the
// data-safety tests.

#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"
#include "tests/support/TestSession.h"

#include <QFile>
#include <QtTest>

namespace testing {

inline QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void setModified(const QString& path, const QDate& day) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(day, QTime(12, 0)), QFileDevice::FileModificationTime));
}

// A database of the current format with `employees` employees, `duties` duties spread over
// them from 1 January 2026 on, and `statistics` statistics rows; closed again.
inline void fillDatabase(TestSession& t, int employees, int duties, int statistics = 0) {
    t.createDatabase();
    engine::Connection& db = t.env().Datenbank;
    engine::Transaction transaction(db);
    db.executeNative(QStringLiteral("INSERT INTO Einstellungen (Firststart, FormFontBold, "
                                    "FormFontItalic, PrintFontBold, PrintFontItalic) VALUES "
                                    "(37528, 0, 0, 0, 0)"));
    db.executeNative(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Alle Ma.')"));
    for (int e = 1; e <= employees; ++e) {
        engine::Statement st(db, QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, "
                                                "normstunden) VALUES (?1, ?1, 8)"));
        st.bind(1, QStringLiteral("Mitarbeiter %1").arg(e));
        st.step();
    }
    for (int d = 0; d < duties; ++d) {
        engine::Statement st(db, QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Anfang, "
                                                "Ende, Kurzinfo) VALUES (?1, ?2, 0.25, 0.5833, "
                                                "'Früh')"));
        st.bind(1, engine::dayNumber(QDate(2026, 1, 1)) + d / employees);
        st.bind(2, 1 + d % employees);
        st.step();
    }
    for (int s = 0; s < statistics; ++s) {
        engine::Statement st(db, QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, "
                                                "IstStd) VALUES (?1, ?2, ?3, 160.5, 158.25)"));
        st.bind(1, 1900 + s / 12);
        st.bind(2, 1 + s % 12);
        st.bind(3, 1000 + s);
        st.step();
    }
    transaction.commit();
    t.env().close();
}

// Overwrites one page of the file with noise.
inline void scribblePage(const QString& path, int page) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(qint64(page - 1) * 4096));
    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 131 + 17) % 251);
    file.write(noise);
}

} // namespace testing
