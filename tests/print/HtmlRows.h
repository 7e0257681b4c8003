#pragma once
// The fixed database of the HTML tests: the organisation "Pflege & Co <Nord>", the group
// "Station \"A\"" with members at positions 1, 2 and 7 ("Müller & <Söhne>", the Cyrillic
// "Иванова", "Łukasz"), a holiday, duties white and coloured on work days, weekends and the
// holiday, a label "<script>", and one statistics row.

#include "engine/DateValue.h"
#include "tests/roster/GroupRows.h"

namespace testing {

struct HtmlRows {
    int group = 0;
    int mueller = 0, ivanova = 0, lukasz = 0;
};

constexpr qint64 Red = 255;            // BGR: red
constexpr qint64 LightBlue = 16744576; // BGR 0xFF8080: #8080FF

inline void colouredDuty(data::DataUmgebung& env, int maNr, const QDate& day, const QTime& from,
                         const QTime& to, qint64 colour, const QString& kurz = {}, double pause = 0,
                         double flat = 0) {
    duty(env, maNr, day, from, to, pause, flat, 0, 0, kurz);
    exec(env,
         QStringLiteral("UPDATE Dienstzeiten SET Farbe = [p0] WHERE MaNr = [p1] AND Tag = [p2]"),
         {colour, maNr, day});
}

inline HtmlRows htmlRows(data::DataUmgebung& env) {
    HtmlRows rows;
    exec(env, QStringLiteral("INSERT INTO Einstellungen (OrgName) VALUES ([p0])"),
         {QStringLiteral("Pflege & Co <Nord>")});
    env.rsEinstellungen.requery();
    group(env, QStringLiteral("Alle Ma."));
    rows.group = group(env, QStringLiteral("Station \"A\""));
    rows.mueller = employee(env, QStringLiteral("Müller & <Söhne>"), 1);
    rows.ivanova = employee(env, QStringLiteral("Иванова"), 2);
    rows.lukasz = employee(env, QStringLiteral("Łukasz"), 3);
    exec(env, QStringLiteral("UPDATE Mitarbeiter SET normstunden = 8 WHERE MaNr = [p0]"),
         {rows.ivanova});
    exec(env,
         QStringLiteral("UPDATE Mitarbeiter SET Sollstd = 100, StdBestand = 2 WHERE MaNr = [p0]"),
         {rows.lukasz});
    member(env, rows.group, rows.mueller, 1);
    member(env, rows.group, rows.ivanova, 2);
    member(env, rows.group, rows.lukasz, 7);
    // Good Friday 2024
    exec(env, QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES ([p0], 'Karfreitag')"),
         {QDate(2024, 3, 29)});
    const qint64 white = 16777215;
    colouredDuty(env, rows.mueller, QDate(2024, 3, 4), QTime(6, 0), QTime(14, 0), white, "Früh");
    colouredDuty(env, rows.mueller, QDate(2024, 3, 9), QTime(6, 0), QTime(14, 0), Red, "Früh");
    colouredDuty(env, rows.ivanova, QDate(2024, 3, 3), QTime(22, 0), QTime(6, 0), white, "Nacht",
                 0.5);
    colouredDuty(env, rows.ivanova, QDate(2024, 3, 12), QTime(), QTime(), white, "<script>", 0, 8);
    colouredDuty(env, rows.lukasz, QDate(2024, 3, 5), QTime(13, 0), QTime(21, 30), LightBlue,
                 "Spät");
    colouredDuty(env, rows.lukasz, QDate(2024, 3, 29), QTime(), QTime(), white, "Urlaub", 0, 8);
    exec(env,
         QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, SumVormonat) VALUES "
                        "(2024, 3, [p0], 152.5, 5.5)"),
         {rows.mueller});
    return rows;
}

} // namespace testing
