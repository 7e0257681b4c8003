#pragma once
// Employees, memberships, duties and statistics rows written straight into a test database,
// and the positions read back, for the tests of groups, positions and their windows.

#include "data/DataUmgebung.h"
#include "engine/DateValue.h"

#include <QDate>
#include <QMap>
#include <QTime>
#include <QVariant>

namespace testing {

inline void exec(data::DataUmgebung& env, const QString& sql, const QVariantList& values = {}) {
    QStringList names;
    for (int i = 0; i < values.size(); ++i)
        names << QStringLiteral("p%1").arg(i);
    env.Datenbank.execute(sql, values, names);
}

inline int scalar(data::DataUmgebung& env, const QString& sql, const QVariantList& values = {}) {
    engine::Recordset rs;
    QStringList names;
    for (int i = 0; i < values.size(); ++i)
        names << QStringLiteral("p%1").arg(i);
    rs.openSql(env.Datenbank, sql, values, names);
    return rs.eof() || rs.value(0).isNull() ? 0 : rs.value(0).toInt();
}

// An employee with his position (null when position is an invalid QVariant); his number.
inline int employee(data::DataUmgebung& env, const QString& name, const QVariant& position,
                    double wage = 0) {
    exec(env,
         QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, DienstPos, Stundenlohn) "
                        "VALUES ([p0], [p1], [p2], [p3])"),
         {name, name, position, wage});
    return int(env.Datenbank.lastInsertRowId());
}

inline int group(data::DataUmgebung& env, const QString& name) {
    exec(env, QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ([p0])"), {name});
    return int(env.Datenbank.lastInsertRowId());
}

inline void member(data::DataUmgebung& env, int group, int maNr, int position) {
    exec(env,
         QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES ([p0], [p1], "
                        "[p2])"),
         {group, maNr, position});
}

// A duty with times (or without: invalid times), break, flat hours, counters and short text.
inline void duty(data::DataUmgebung& env, int maNr, const QDate& day, const QTime& from,
                 const QTime& to, double pause = 0, double flat = 0, double s1 = 0, double s2 = 0,
                 const QString& kurz = {}) {
    QVariant start, end;
    if (from.isValid() && to.isValid()) {
        start = engine::dayNumber(from);
        end = engine::dayNumber(to) + (to < from ? 1.0 : 0.0);
    }
    exec(env,
         QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Anfang, Ende, Pause, Normstunden, "
                        "S1, S2, Kurzinfo) VALUES ([p0], [p1], [p2], [p3], [p4], [p5], [p6], "
                        "[p7], [p8])"),
         {day, maNr, start, end, pause, flat, s1, s2, kurz.isEmpty() ? QVariant() : kurz});
}

inline void statRow(data::DataUmgebung& env, int maNr, int year, int month) {
    exec(env,
         QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll) VALUES ([p0], [p1], "
                        "[p2], 160)"),
         {year, month, maNr});
}

// The positions of a group's members: employee number to position.
inline QMap<int, int> groupPositions(data::DataUmgebung& env, int group) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank,
               QStringLiteral("SELECT MaNr, DienstPos FROM GpZuordnung WHERE GruppenNr = [g]"),
               {group}, {QStringLiteral("g")});
    QMap<int, int> positions;
    for (; !rs.eof(); rs.moveNext())
        positions.insert(rs.value(0).toInt(), rs.value(1).toInt());
    return positions;
}

// The employees' own positions: number to position (null read as -1000).
inline QMap<int, int> employeePositions(data::DataUmgebung& env) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, QStringLiteral("SELECT MaNr, DienstPos FROM Mitarbeiter"));
    QMap<int, int> positions;
    for (; !rs.eof(); rs.moveNext())
        positions.insert(rs.value(0).toInt(), rs.value(1).isNull() ? -1000 : rs.value(1).toInt());
    return positions;
}

inline int count(data::DataUmgebung& env, const QString& table, int maNr) {
    return scalar(
        env, QStringLiteral("SELECT count(*) FROM ") + table + QStringLiteral(" WHERE MaNr = [p0]"),
        {maNr});
}

} // namespace testing
