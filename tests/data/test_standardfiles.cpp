// The standard files shipped beside the program: the nationwide holidays on their days, the
// standard duties of care practice, and the sample employees in the group of all employees.

#include "engine/DateValue.h"
#include "engine/RowsetXml.h"
#include "roster/WorkingTimeCheck.h"
#include "tests/support/TestSession.h"

#include <QtTest>

namespace {

engine::RowsetData shipped(const char* table) {
    return engine::readRowsetXml(testing::sourceDir() + QStringLiteral("/std/std.") +
                                 QLatin1String(table) + QStringLiteral(".xml"));
}

QVariant field(const engine::RowsetData& data, const engine::RowsetRow& row, const char* name) {
    return row.value(data.columnIndex(QLatin1String(name)));
}

} // namespace

class TestStandardFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void holidaysFallOnTheirDays() {
        const engine::RowsetData data = shipped("Feiertage");
        QMultiHash<QString, QDate> byName;
        QSet<QDate> days;
        for (const engine::RowsetRow& row : data.rows) {
            const QDate day = engine::toDate(field(data, row, "Tag"));
            byName.insert(field(data, row, "Name").toString(), day);
            days.insert(day);
        }
        QCOMPARE(data.rows.size(), 26 * 9);
        QCOMPARE(days.size(), 26 * 9);
        const QList<QDate> easterMondays = byName.values(QStringLiteral("Ostermontag"));
        for (const QDate& d :
             {QDate(2020, 4, 13), QDate(2024, 4, 1), QDate(2038, 4, 26), QDate(2045, 4, 10)})
            QVERIFY2(easterMondays.contains(d), qPrintable(d.toString()));
        const std::pair<const char*, int> weekdays[] = {{"Karfreitag", Qt::Friday},
                                                        {"Ostermontag", Qt::Monday},
                                                        {"Christi Himmelfahrt", Qt::Thursday},
                                                        {"Pfingstmontag", Qt::Monday}};
        for (const auto& [name, weekday] : weekdays) {
            const QList<QDate> list = byName.values(QLatin1String(name));
            QCOMPARE(list.size(), 26);
            for (const QDate& d : list)
                QCOMPARE(d.dayOfWeek(), weekday);
        }
        for (const char* fixed : {"Neujahr", "Tag der Arbeit", "Tag der Deutschen Einheit",
                                  "1. Weihnachtstag", "2. Weihnachtstag"})
            QCOMPARE(byName.values(QLatin1String(fixed)).size(), 26);
    }

    void standardDutiesOfCarePractice() {
        const engine::RowsetData data = shipped("StdDienste");
        QHash<QString, engine::RowsetRow> byKey;
        for (const engine::RowsetRow& row : data.rows)
            byKey.insert(field(data, row, "Taste").toString(), row);
        QCOMPARE(byKey.keys().size(), 7);
        const auto time = [&](const char* key, const char* column) {
            return engine::dayNumber(field(data, byKey.value(QLatin1String(key)), column))
                .value_or(-1);
        };
        QCOMPARE(time("F", "Anfang"), 0.25);
        QCOMPARE(time("N", "Ende"), 1 + 6.25 / 24); // ends on the next day
        QCOMPARE(field(data, byKey.value("S"), "Pause").toDouble(), 0.5);
        // each timed duty alone keeps the working-time law (breaks, daily maximum)
        for (const char* key : {"F", "S", "N", "T"}) {
            const engine::RowsetRow& row = byKey.value(QLatin1String(key));
            const roster::CheckedDuty duty{QDate(2024, 3, 5),
                                           time(key, "Anfang"),
                                           time(key, "Ende"),
                                           field(data, row, "Pause").toDouble(),
                                           0,
                                           data::presetDutyKind(
                                               field(data, row, "Kurzinfo").toString(), true)};
            const auto findings = roster::checkDuties({duty}, QDate(2024, 3, 1), QDate(2024, 3, 31),
                                                      data::WorkingTimeRules());
            QVERIFY2(findings.empty(), key);
        }
        for (const char* key : {"U", "K"}) {
            QVERIFY(field(data, byKey.value(QLatin1String(key)), "Normdienst").toBool());
            QVERIFY(field(data, byKey.value(QLatin1String(key)), "Anfang").isNull());
        }
        QCOMPARE(field(data, byKey.value("U"), "Kurzinfo").toString(), QStringLiteral("Urlaub"));
        QCOMPARE(field(data, byKey.value("K"), "Kurzinfo").toString(), QStringLiteral("krank"));
        QCOMPARE(field(data, byKey.value("X"), "Kurzinfo").toString(), QStringLiteral("Frei"));
        QSet<int> colours;
        for (const engine::RowsetRow& row : data.rows)
            colours.insert(field(data, row, "Farbe").toInt());
        QCOMPARE(colours.size(), 7);
        QVERIFY(!colours.contains(16777215));
    }

    void sampleEmployeesAreInTheGroupOfAll() {
        const engine::RowsetData groups = shipped("Gruppen");
        QCOMPARE(groups.rows.size(), 1);
        QCOMPARE(field(groups, groups.rows.first(), "Gruppenname").toString(),
                 QStringLiteral("Alle Ma."));
        const engine::RowsetData employees = shipped("Mitarbeiter");
        const engine::RowsetData members = shipped("GpZuordnung");
        QVERIFY(employees.rows.size() >= 3);
        QCOMPARE(members.rows.size(), employees.rows.size());
        for (qsizetype i = 0; i < members.rows.size(); ++i) {
            QCOMPARE(field(members, members.rows[i], "GruppenNr").toInt(), 1);
            QCOMPARE(field(members, members.rows[i], "MaNr"),
                     field(employees, employees.rows[i], "MaNr"));
            QCOMPARE(field(members, members.rows[i], "DienstPos").toInt(), int(i + 1));
            QCOMPARE(field(employees, employees.rows[i], "normstunden").toDouble(), 7.7);
            QVERIFY(!field(employees, employees.rows[i], "PlanName").toString().isEmpty());
        }
        const engine::RowsetData settings = shipped("Einstellungen");
        QCOMPARE(engine::toDate(field(settings, settings.rows.first(), "Firststart")),
                 QDate(2002, 9, 29));
    }
};

QTEST_MAIN(TestStandardFiles)
#include "test_standardfiles.moc"
