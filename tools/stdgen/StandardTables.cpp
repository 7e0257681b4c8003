#include "tools/stdgen/StandardTables.h"

#include "data/DataUmgebung.h"
#include "data/Schema.h"
#include "engine/DateValue.h"
#include "engine/EngineError.h"
#include "engine/RowsetXml.h"
#include "engine/Sqlite.h"

#include <QTemporaryDir>
#include <QTime>
#include <QVariantMap>

#include <utility>

namespace stdgen {

QDate easterSunday(int year) {
    // The anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int n = h + l - 7 * m + 114;
    return QDate(year, n / 31, n % 31 + 1);
}

namespace {

// A Windows colour value 0x00BBGGRR.
int colour(int red, int green, int blue) {
    return red | (green << 8) | (blue << 16);
}

// A time of day as stored in Anfang and Ende; nextDay for the end of a duty past midnight.
QVariant timeOfDay(int hour, int minute, bool nextDay = false) {
    return engine::dateVariant((nextDay ? 1.0 : 0.0) + engine::dayNumber(QTime(hour, minute)));
}

void addRow(engine::Recordset& table, const QVariantMap& values) {
    table.addNew();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        table.setValue(it.key(), it.value());
    table.update();
}

void fillSettings(engine::Recordset& t) {
    addRow(t, {{"ID", 1},
               {"Firststart", engine::dateVariant(data::formatMarker())},
               {"PrintFontName", QStringLiteral("Arial")},
               {"PrintFontSize", 10.0},
               {"PrinterOrientation", 2},
               {"WoEndeColor", 13761911},
               {"StdGruppe", QStringLiteral("Alle Ma.")}});
}

void fillGroups(engine::Recordset& t) {
    addRow(t, {{"GruppenNr", 1}, {"Gruppenname", QStringLiteral("Alle Ma.")}});
}

struct Duty {
    const char* key;
    QVariant start;
    QVariant end;
    double pause;
    const char* shortText;
    bool normDuty;
    int colour;
};

void fillDuties(engine::Recordset& t) {
    const Duty duties[] = {
        {"F", timeOfDay(6, 0), timeOfDay(14, 0), 0.5, "Frühdienst", false, colour(255, 255, 153)},
        {"S", timeOfDay(13, 30), timeOfDay(21, 30), 0.5, "Spätdienst", false,
         colour(255, 204, 153)},
        {"N", timeOfDay(21, 0), timeOfDay(6, 15, true), 0.75, "Nachtdienst", false,
         colour(153, 204, 255)},
        {"T", timeOfDay(8, 0), timeOfDay(16, 30), 0.5, "Tagdienst", false, colour(230, 230, 255)},
        {"U", {}, {}, 0, "Urlaub", true, colour(204, 153, 255)},
        {"K", {}, {}, 0, "krank", true, colour(255, 153, 153)},
        {"X", {}, {}, 0, "Frei", false, colour(217, 217, 217)},
    };
    int id = 0;
    for (const Duty& d : duties)
        addRow(t, {{"id", ++id},
                   {"Taste", QLatin1String(d.key)},
                   {"Anfang", d.start},
                   {"Ende", d.end},
                   {"Pause", d.pause},
                   {"Kurzinfo", QString::fromUtf8(d.shortText)},
                   {"Pauschalstunden", 0.0},
                   {"Normdienst", d.normDuty},
                   {"Farbe", d.colour}});
}

void fillHolidays(engine::Recordset& t) {
    for (int year = FirstHolidayYear; year <= LastHolidayYear; ++year) {
        const QDate easter = easterSunday(year);
        const std::pair<QDate, const char*> days[] = {
            {QDate(year, 1, 1), "Neujahr"},
            {easter.addDays(-2), "Karfreitag"},
            {easter.addDays(1), "Ostermontag"},
            {QDate(year, 5, 1), "Tag der Arbeit"},
            {easter.addDays(39), "Christi Himmelfahrt"},
            {easter.addDays(50), "Pfingstmontag"},
            {QDate(year, 10, 3), "Tag der Deutschen Einheit"},
            {QDate(year, 12, 25), "1. Weihnachtstag"},
            {QDate(year, 12, 26), "2. Weihnachtstag"},
        };
        for (const auto& [day, name] : days)
            addRow(t, {{"Tag", engine::dateVariant(day)},
                       {"Name", QString::fromUtf8(name)},
                       {"Prozent", 1.0}});
    }
}

struct Employee {
    const char* title;
    const char* firstName;
    const char* surname;
};

const Employee employees[] = {
    {"Frau", "Anna", "Becker"},    {"Herr", "Ben", "Schulz"}, {"Frau", "Clara", "Wagner"},
    {"Herr", "David", "Hoffmann"}, {"Frau", "Eva", "Koch"},
};

void fillEmployees(engine::Recordset& t) {
    int number = 0;
    for (const Employee& e : employees) {
        ++number;
        addRow(t, {{"MaNr", number},
                   {"PlanName", QString::fromUtf8(e.firstName)},
                   {"DienstPos", number},
                   {"normstunden", 7.7},
                   {"ersterArbeitstag", engine::dateVariant(data::formatMarker())},
                   {"Anrede", QString::fromUtf8(e.title)},
                   {"Vorname", QString::fromUtf8(e.firstName)},
                   {"Nachname", QString::fromUtf8(e.surname)},
                   {"Urlaubsanspruch", 30.0}});
    }
}

void fillMembers(engine::Recordset& t) {
    for (int number = 1; number <= int(std::size(employees)); ++number)
        addRow(t, {{"GpZuNr", number}, {"GruppenNr", 1}, {"MaNr", number}, {"DienstPos", number}});
}

// The sample employees start in the month of the first start: the file leaves their first
// working day empty, and reading it fills in the first day of the current month. A fixed day
// would give each of them a balance of missing hours from that day on.
void withoutFirstWorkingDay(engine::RowsetData& data) {
    const int column = data.columnIndex(QStringLiteral("ersterArbeitstag"));
    data.columns[column].nullable = true;
    for (engine::RowsetRow& row : data.rows)
        row[column] = QVariant();
}

struct StandardTable {
    const char* name;
    void (*fill)(engine::Recordset&);
    void (*adjust)(engine::RowsetData&);
};

const StandardTable standardTables[] = {
    {"Einstellungen", fillSettings, nullptr},
    {"Gruppen", fillGroups, nullptr},
    {"Standarddienste", fillDuties, nullptr},
    {"Feiertage", fillHolidays, nullptr},
    {"Mitarbeiter", fillEmployees, withoutFirstWorkingDay},
    {"GpZuordnung", fillMembers, nullptr},
};

} // namespace

QStringList standardFileNames() {
    QStringList names;
    for (const StandardTable& t : standardTables)
        names << QStringLiteral("std") + data::table(QLatin1String(t.name)).suffix;
    return names;
}

void writeStandardFiles(const QString& folder) {
    QTemporaryDir work;
    if (!work.isValid())
        throw engine::EngineError(engine::err::PermissionDenied,
                                  QStringLiteral("Kein temporärer Ordner: ") + work.errorString());
    const QString path = work.filePath(QStringLiteral("std.tnv"));
    engine::Connection::createDatabaseFile(path);
    data::DataUmgebung env;
    env.open(path);
    for (const StandardTable& t : standardTables) {
        const data::TableDef& def = data::table(QLatin1String(t.name));
        env.Datenbank.execute(def.createStatement);
        engine::Recordset& recordset = env.execute(def.name);
        engine::Transaction transaction(env.Datenbank);
        t.fill(recordset);
        transaction.commit();
        engine::RowsetData content = recordset.toData();
        if (t.adjust) t.adjust(content);
        engine::writeRowsetXml(folder + QStringLiteral("/std") + def.suffix, content);
    }
    env.close();
}

} // namespace stdgen
