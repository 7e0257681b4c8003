#pragma once
// The rosters the print tests draw: a month of a ward group with members at positions 1, 2, 3
// and 7 and one at position 0, coloured duties on free days, a holiday, statistics rows with and
// without a stored target; and a wide group of many members.

#include "engine/DateValue.h"
#include "print/RecordingSurface.h"
#include "roster/Konstanten.h"
#include "roster/MonthState.h"
#include "tests/roster/GroupRows.h"
#include "tests/support/TestSession.h"

#include <QFile>
#include <QtTest>

namespace testing {

// Sheet sizes in twips (A4).
constexpr double A4Short = 11906;
constexpr double A4Long = 16838;
constexpr quint32 Red = 0x0000FF;    // pure red as a Windows colour value
constexpr quint32 Yellow = 0x00FFFF; // red 255, green 255

inline void setEmployee(data::DataUmgebung& env, int maNr, double norm, double sollstd,
                        double stdbestand) {
    exec(env,
         QStringLiteral("UPDATE Mitarbeiter SET normstunden = [p0], Sollstd = [p1], StdBestand = "
                        "[p2] WHERE MaNr = [p3]"),
         {norm, sollstd, stdbestand, maNr});
}

inline void colouredDuty(data::DataUmgebung& env, int maNr, const QDate& day, const QTime& from,
                         const QTime& to, const QString& kurz, quint32 colour, double flat = 0) {
    QVariant start, end;
    if (from.isValid()) {
        start = engine::dayNumber(from);
        end = engine::dayNumber(to) + (to < from ? 1.0 : 0.0);
    }
    exec(env,
         QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Anfang, Ende, Pause, Normstunden, "
                        "Kurzinfo, Farbe) VALUES ([p0], [p1], [p2], [p3], 0.5, [p4], [p5], [p6])"),
         {day, maNr, start, end, flat, kurz, qint64(colour)});
}

inline void statistics(data::DataUmgebung& env, int maNr, int year, int month, double soll,
                       double sumVormonat) {
    exec(env,
         QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, SumVormonat) VALUES "
                        "([p0], [p1], [p2], [p3], [p4])"),
         {year, month, maNr, soll, sumVormonat});
}

// The month state of the main window for a month and group.
inline roster::MonthState monthOf(data::DataUmgebung& env, const QDate& first, int group) {
    roster::MonthState month;
    month.firstDay = first;
    month.groupNumber = group;
    roster::changedate(month);
    month.workDays = roster::workDays(env, month.firstDay, month.lastDay);
    return month;
}

// The settings row and the ward group "Station 3 & <Nord>" of January 2025 (1 January a
// holiday). Returns the group's number.
inline int wardRoster(data::DataUmgebung& env) {
    exec(env, QStringLiteral("INSERT INTO Einstellungen (OrgName) VALUES ('Klinik Süd')"));
    exec(env, QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES ([p0], 'Neujahr')"),
         {QDate(2025, 1, 1)});
    const int g = group(env, QStringLiteral("Station 3 & <Nord>"));
    const int anna = employee(env, QStringLiteral("Anna"), 1);
    const int bernd = employee(env, QStringLiteral("Bernd"), 2);
    const int emil = employee(env, QStringLiteral("Emil"), 3);
    const int carla = employee(env, QStringLiteral("Carla"), 4);
    const int dora = employee(env, QStringLiteral("Dora"), 5);
    member(env, g, anna, 1);
    member(env, g, bernd, 2);
    member(env, g, emil, 3);
    member(env, g, carla, 7);
    member(env, g, dora, 0);
    setEmployee(env, anna, 8, 0, 10);
    setEmployee(env, bernd, 8, 0, 3);      // no duties, no statistics row
    setEmployee(env, emil, 7.7, 0, 0);     // stored target 0, no flat target
    setEmployee(env, carla, 8, 150, -2.5); // stored target 0, flat target 150
    setEmployee(env, dora, 8, 0, 0);
    statistics(env, anna, 2025, 1, 160, 5);
    statistics(env, emil, 2025, 1, 0, 1.25);
    statistics(env, carla, 2025, 1, 0, 0);
    duty(env, anna, QDate(2025, 1, 2), QTime(6, 0), QTime(14, 0), 0.5);
    colouredDuty(env, anna, QDate(2025, 1, 5), QTime(22, 0), QTime(6, 0), QStringLiteral("Nacht"),
                 Red); // a Sunday
    colouredDuty(env, anna, QDate(2025, 1, 6), QTime(13, 0), QTime(21, 0), QStringLiteral("Sp"),
                 roster::White); // a Monday
    colouredDuty(env, emil, QDate(2025, 1, 4), QTime(), QTime(), QStringLiteral("Urlaub"), Yellow,
                 7.7); // a Saturday
    duty(env, carla, QDate(2025, 1, 31), QTime(20, 0), QTime(8, 0));
    duty(env, dora, QDate(2025, 1, 2), QTime(6, 0), QTime(14, 0));
    env.rsMitarbeiter.requery();
    env.MaNachGrp(g);
    return g;
}

// A group of n members at positions 1 to n, each with one duty on the 3rd. Returns its number.
inline int wideGroup(data::DataUmgebung& env, int n, const QDate& month) {
    exec(env, QStringLiteral("INSERT INTO Einstellungen (OrgName) VALUES ('Wache')"));
    const int g = group(env, QStringLiteral("Alle"));
    for (int i = 1; i <= n; ++i) {
        const int ma = employee(env, QStringLiteral("M%1").arg(i, 2, 10, QLatin1Char('0')), i);
        member(env, g, ma, i);
        setEmployee(env, ma, 8, 0, 0);
        duty(env, ma, month.addDays(2), QTime(6, 0), QTime(14, 0));
    }
    env.rsMitarbeiter.requery();
    env.MaNachGrp(g);
    return g;
}

// Compares the recorded operations with tests/print/golden/<name>.txt; with
// TURNOVA_UPDATE_GOLDEN set, writes the file instead.
inline bool matchesGolden(const print::RecordingSurface& surface, const QString& name) {
    const QString path =
        sourceDir() + QStringLiteral("/tests/print/golden/") + name + QStringLiteral(".txt");
    const QByteArray actual = surface.text().toUtf8();
    if (qEnvironmentVariableIsSet("TURNOVA_UPDATE_GOLDEN")) {
        QFile out(path);
        return out.open(QIODevice::WriteOnly) && out.write(actual) == actual.size();
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        qWarning("missing golden file %s", qPrintable(path));
        return false;
    }
    const QByteArray expected = in.readAll();
    if (expected == actual) return true;
    const QList<QByteArray> a = actual.split('\n');
    const QList<QByteArray> e = expected.split('\n');
    for (int i = 0; i < qMax(a.size(), e.size()); ++i) {
        if (a.value(i) != e.value(i)) {
            qWarning("%s line %d: expected \"%s\", got \"%s\"", qPrintable(name), i + 1,
                     e.value(i).constData(), a.value(i).constData());
            break;
        }
    }
    return false;
}

} // namespace testing
