#include "bench/LargeDatabase.h"

#include "data/Schema.h"
#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Sqlite.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

namespace bench {

QDate firstDutyDay() { return QDate(2016, 1, 1); }
QDate lastDutyDay() { return QDate(2025, 12, 31); }

void ensureLargeDatabase(const QString& path) {
    if (QFileInfo::exists(path))
        return;
    std::fprintf(stderr, "creating %s ...\n", qPrintable(path));
    const QString temp = path + QStringLiteral(".part");
    engine::Connection::createDatabaseFile(temp);
    {
        engine::Connection c;
        c.open(temp);
        for (const data::TableDef& t : data::tables())
            c.execute(t.createStatement);
        for (const QString& i : data::schema::ExtraIndexes)
            c.executeNative(i);
        engine::Transaction tx(c);
        c.executeNative(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Alle Ma.')"));
        c.executeNative(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Station 2')"));
        c.executeNative(QStringLiteral(
            "INSERT INTO Einstellungen (Firststart, FormFontBold, FormFontItalic, PrintFontBold, "
            "PrintFontItalic, OrgName, StdGruppe) VALUES (37528, 0, 0, 0, 0, 'Benchmark', "
            "'Station 2')"));
        {
            engine::Statement emp(c, QStringLiteral(
                                         "INSERT INTO Mitarbeiter (PlanName, Nachname, DienstPos, "
                                         "normstunden, ersterArbeitstag, lastChange) VALUES (?1, "
                                         "?2, ?3, 7.7, ?4, NULL)"));
            engine::Statement member(c, QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, "
                                                       "DienstPos) VALUES (?1, ?2, ?3)"));
            for (int i = 1; i <= Employees; ++i) {
                emp.bindAll({QStringLiteral("MA %1").arg(i), QStringLiteral("Name %1").arg(i), i,
                             firstDutyDay()});
                emp.step();
                emp.reset();
                member.bindAll({1, i, i});
                member.step();
                member.reset();
                if (i <= GroupMembers) {
                    member.bindAll({BigGroup, i, i});
                    member.step();
                    member.reset();
                }
            }
        }
        {
            struct Std {
                const char* key;
                double from, to, pause, flat;
                const char* kurz;
                int colour;
            };
            const Std kinds[] = {{"F", 6, 14, 0.5, 0, "Früh", 16777215},
                                 {"S", 13.5, 21.5, 0.5, 0, "Spät", 12648447},
                                 {"N", 21, 30.25, 0.75, 0, "Nacht", 16761024},
                                 {"U", -1, -1, 0, 7.7, "Urlaub", 8454143},
                                 {"K", -1, -1, 0, 7.7, "krank", 8421631},
                                 {"X", -1, -1, 0, 0, "Frei", 16777215}};
            engine::Statement st(c, QStringLiteral("INSERT INTO Standarddienste (Taste, Anfang, "
                                                   "Ende, Pause, Kurzinfo, Pauschalstunden, Farbe) "
                                                   "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)"));
            for (const Std& s : kinds) {
                st.bindAll({QLatin1String(s.key), s.from < 0 ? QVariant() : QVariant(s.from / 24),
                            s.to < 0 ? QVariant() : QVariant(s.to / 24), s.pause,
                            QString::fromUtf8(s.kurz), s.flat, s.colour});
                st.step();
                st.reset();
            }
            engine::Statement duty(
                c, QStringLiteral("INSERT INTO Dienstzeiten (Tag, Anfang, Ende, MaNr, "
                                  "Normstunden, Pause, Kurzinfo, Farbe) VALUES (?1, ?2, ?3, ?4, "
                                  "?5, ?6, ?7, ?8)"));
            QRandomGenerator rnd(42);
            for (QDate d = firstDutyDay(); d <= lastDutyDay(); d = d.addDays(1)) {
                const double day = engine::dayNumber(d);
                for (int ma = 1; ma <= Employees; ++ma) {
                    const Std& s = kinds[rnd.bounded(6)];
                    if (rnd.bounded(100) < 5)
                        continue; // a day without an entry
                    duty.bindAll({day, s.from < 0 ? QVariant() : QVariant(s.from / 24),
                                  s.to < 0 ? QVariant() : QVariant(s.to / 24), ma, s.flat, s.pause,
                                  QString::fromUtf8(s.kurz), s.colour});
                    duty.step();
                    duty.reset();
                }
            }
        }
        {
            engine::Statement h(c, QStringLiteral("INSERT INTO Feiertage (Tag, Name) VALUES (?1, ?2)"));
            for (int y = 2016; y <= 2030; ++y) {
                for (const auto& [m, d, name] :
                     {std::tuple{1, 1, "Neujahr"}, std::tuple{5, 1, "Tag der Arbeit"},
                      std::tuple{10, 3, "Tag der Deutschen Einheit"},
                      std::tuple{12, 25, "1. Weihnachtstag"}, std::tuple{12, 26, "2. Weihnachtstag"}}) {
                    h.bindAll({QDate(y, m, d), QString::fromUtf8(name)});
                    h.step();
                    h.reset();
                }
            }
        }
        tx.commit();
        c.executeNative(QStringLiteral("ANALYZE"));
    }
    QFile::rename(temp, path);
}

} // namespace bench
