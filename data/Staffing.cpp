#include "data/Staffing.h"

#include "data/Session.h"
#include "data/TableFiles.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcData)

namespace data {

namespace schema {

const QString Qualifikationen = QStringLiteral(
    "CREATE TABLE Qualifikationen ([QualNr] int IDENTITY(1,1) NOT NULL,[Bezeichnung] varchar (50) "
    "NOT NULL,[Kurzzeichen] varchar (10) NULL,[Fachkraft] bit DEFAULT no,[Reihenfolge] int "
    "DEFAULT 0 NOT NULL,[Bemerkung] varchar (50) NULL,CONSTRAINT PrimaryKey PRIMARY KEY(QualNr) )");

const QString MaQualifikation = QStringLiteral(
    "CREATE TABLE MaQualifikation ([MaQualNr] int IDENTITY(1,1) NOT NULL,[MaNr] int NOT NULL,"
    "[QualNr] int NOT NULL,[Seit] smalldatetime NULL,[Bis] smalldatetime NULL,[Nachweis] varchar "
    "(50) NULL,[Bemerkung] varchar (50) NULL,CONSTRAINT PrimaryKey PRIMARY KEY(MaNr, QualNr) )");

// One row per rule: a shift (a standard duty's key or a time window), the days it holds on
// (bits: 1 Monday to Friday, 2 Saturday, 4 Sunday, 8 holiday), the number of employees and the
// number or share in percent of a qualification (QualNr 0: any skilled one; NULL: none).
const QString Besetzung = QStringLiteral(
    "CREATE TABLE Besetzung ([GruppenNr] int NOT NULL,[Schicht] varchar (30) NOT NULL,[Taste] "
    "char(1) NULL,[Anfang] smalldatetime NULL,[Ende] smalldatetime NULL,[Tage] int DEFAULT 15 NOT "
    "NULL,[Mindest] int DEFAULT 0 NOT NULL,[Hoechst] int NULL,[QualNr] int NULL,[QualMindest] int "
    "DEFAULT 0 NOT NULL,[QualAnteil] float NULL)");

// The options of the staffing display that are switched on, one row each.
const QString Besetzungsoptionen = QStringLiteral(
    "CREATE TABLE Besetzungsoptionen ([Option] varchar (30) NOT NULL,CONSTRAINT PrimaryKey "
    "PRIMARY KEY(Option) )");

} // namespace schema

namespace {

const QString LinesOption = QStringLiteral("Druckzeilen");

const QStringList PresetNames = {
    QStringLiteral("Pflegefachkraft"), QStringLiteral("Pflegehilfskraft"),
    QStringLiteral("Auszubildende"), QStringLiteral("Praxisanleitung")};
const QStringList PresetShort = {QStringLiteral("PFK"), QStringLiteral("PHK"),
                                 QStringLiteral("Azubi"), QStringLiteral("PA")};
const QList<bool> PresetSkilled = {true, false, false, true};

QVariant nullable(const QString& text) {
    return text.trimmed().isEmpty() ? QVariant() : QVariant(text.trimmed());
}

// a time of day as the day fraction the file keeps
QVariant dayFraction(const QTime& time) {
    return time.isValid() ? QVariant(engine::dayNumber(time)) : QVariant();
}

QTime timeOf(const QVariant& stored) {
    const std::optional<double> day = engine::dayNumber(stored);
    return day ? engine::timeOf(*day) : QTime();
}

void insertPresets(engine::Connection& connection) {
    engine::Statement insert(
        connection, QStringLiteral("INSERT INTO Qualifikationen (Bezeichnung, Kurzzeichen, "
                                   "Fachkraft, Reihenfolge) VALUES (?1, ?2, ?3, ?4)"));
    for (int i = 0; i < PresetNames.size(); ++i) {
        insert.reset();
        insert.bindAll({PresetNames.at(i), PresetShort.at(i), PresetSkilled.at(i) ? 1 : 0, i + 1});
        insert.step();
    }
}

} // namespace

const QList<TableDef>& staffingTables() {
    static const QList<TableDef> all = {
        {QStringLiteral("Qualifikationen"), QStringLiteral(".Qualifikationen.xml"),
         schema::Qualifikationen},
        {QStringLiteral("MaQualifikation"), QStringLiteral(".MaQualifikation.xml"),
         schema::MaQualifikation},
        {QStringLiteral("Besetzung"), QStringLiteral(".Besetzung.xml"), schema::Besetzung},
        {QStringLiteral("Besetzungsoptionen"), QStringLiteral(".Besetzungsoptionen.xml"),
         schema::Besetzungsoptionen},
    };
    return all;
}

void ensureStaffingTables(engine::Connection& connection) {
    engine::Transaction transaction(connection);
    for (const TableDef& t : staffingTables()) {
        if (connection.tableExists(t.name)) continue;
        connection.execute(t.createStatement);
        if (t.name == QLatin1String("Qualifikationen")) insertPresets(connection);
    }
    transaction.commit();
}

void ensureStaffingTablesQuietly(engine::Connection& connection) {
    try {
        ensureStaffingTables(connection);
    } catch (const std::exception& e) {
        qCWarning(lcData) << "staffing tables not created:" << e.what();
    }
}

void restoreStaffingTables(Session& session, bool askFlag) {
    for (const TableDef& t : staffingTables()) {
        if (findBackupFile(session, t.suffix).isEmpty()) continue;
        try {
            engine::Recordset recordset;
            recordset.setObjectName(QStringLiteral("rs") + t.name);
            importsaved(session, t.createStatement, t.suffix, recordset, askFlag);
        } catch (const std::exception& e) {
            report(session, e, QStringLiteral("importsaved"));
        }
    }
    ensureStaffingTablesQuietly(session.env.Datenbank);
}

QList<Qualification> loadQualifications(engine::Connection& connection) {
    QList<Qualification> list;
    if (!connection.isOpen() || !connection.tableExists(QStringLiteral("Qualifikationen")))
        return list;
    engine::Statement row(connection,
                          QStringLiteral("SELECT QualNr, Bezeichnung, Kurzzeichen, Fachkraft, "
                                         "Bemerkung FROM Qualifikationen ORDER BY Reihenfolge, "
                                         "QualNr"));
    while (row.step())
        list.append({int(row.int64(0)), row.value(1).toString(), row.value(2).toString(),
                     row.int64(3) != 0, row.value(4).toString()});
    return list;
}

QHash<int, QSet<int>> loadEmployeeQualifications(engine::Connection& connection) {
    QHash<int, QSet<int>> byEmployee;
    if (!connection.isOpen() || !connection.tableExists(QStringLiteral("MaQualifikation")))
        return byEmployee;
    engine::Statement row(connection, QStringLiteral("SELECT MaNr, QualNr FROM MaQualifikation"));
    while (row.step())
        byEmployee[int(row.int64(0))].insert(int(row.int64(1)));
    return byEmployee;
}

QList<StaffingRequirement> loadRequirements(engine::Connection& connection, int groupNr) {
    QList<StaffingRequirement> list;
    if (!connection.isOpen() || !connection.tableExists(QStringLiteral("Besetzung"))) return list;
    engine::Statement row(connection,
                          QStringLiteral("SELECT Schicht, Taste, Anfang, Ende, Tage, Mindest, "
                                         "Hoechst, QualNr, QualMindest, QualAnteil FROM Besetzung "
                                         "WHERE GruppenNr = ?1 ORDER BY rowid"));
    row.bind(1, groupNr);
    while (row.step()) {
        StaffingRequirement r;
        r.shift = row.value(0).toString();
        r.key = row.value(1).toString().trimmed();
        r.from = timeOf(row.value(2));
        r.to = timeOf(row.value(3));
        r.days = int(row.int64(4)) & AllDaysBits;
        r.minimum = int(qMax<qint64>(0, row.int64(5)));
        if (!row.isNull(6)) r.maximum = int(row.int64(6));
        r.qualNr = row.isNull(7) ? NoQualification : int(row.int64(7));
        r.qualMinimum = int(qMax<qint64>(0, row.int64(8)));
        if (!row.isNull(9)) r.qualShare = row.value(9).toDouble();
        list.append(r);
    }
    return list;
}

void saveStaffing(engine::Connection& connection, const QList<Qualification>& qualifications,
                  const QHash<int, QSet<int>>& employeeQualifications, int groupNr,
                  const QList<StaffingRequirement>& requirements) {
    engine::Transaction transaction(connection);
    ensureStaffingTables(connection);
    // the list: kept ones updated, new ones numbered, missing ones removed with what uses them
    QHash<int, int> numberOf; // reference in the window -> stored number
    QSet<int> kept;
    for (int i = 0; i < qualifications.size(); ++i) {
        const Qualification& q = qualifications.at(i);
        const QVariantList values = {q.name.trimmed(), nullable(q.shortName), q.skilled ? 1 : 0,
                                     i + 1, nullable(q.remark)};
        if (q.qualNr > 0) {
            engine::Statement update(connection,
                                     QStringLiteral("UPDATE Qualifikationen SET Bezeichnung = ?1, "
                                                    "Kurzzeichen = ?2, Fachkraft = ?3, "
                                                    "Reihenfolge = ?4, Bemerkung = ?5 WHERE "
                                                    "QualNr = ?6"));
            update.bindAll(QVariantList(values) << q.qualNr);
            update.step();
            numberOf.insert(q.qualNr, q.qualNr);
            kept.insert(q.qualNr);
        } else {
            engine::Statement insert(connection,
                                     QStringLiteral("INSERT INTO Qualifikationen (Bezeichnung, "
                                                    "Kurzzeichen, Fachkraft, Reihenfolge, "
                                                    "Bemerkung) VALUES (?1, ?2, ?3, ?4, ?5)"));
            insert.bindAll(values);
            insert.step();
            const int number = int(connection.lastInsertRowId());
            numberOf.insert(newQualificationRef(i), number);
            kept.insert(number);
        }
    }
    QList<int> removed;
    {
        engine::Statement all(connection, QStringLiteral("SELECT QualNr FROM Qualifikationen"));
        while (all.step())
            if (!kept.contains(int(all.int64(0)))) removed << int(all.int64(0));
    }
    for (const int qualNr : removed) {
        for (const QString& sql :
             {QStringLiteral("DELETE FROM MaQualifikation WHERE QualNr = ?1"),
              QStringLiteral("UPDATE Besetzung SET QualNr = NULL WHERE QualNr = ?1"),
              QStringLiteral("DELETE FROM Qualifikationen WHERE QualNr = ?1")}) {
            engine::Statement st(connection, sql);
            st.bind(1, qualNr);
            st.step();
        }
    }
    // the employees' qualifications: each employee given gets exactly the set given
    for (auto it = employeeQualifications.cbegin(); it != employeeQualifications.cend(); ++it) {
        QSet<int> wanted;
        for (const int ref : it.value())
            if (numberOf.contains(ref)) wanted.insert(numberOf.value(ref));
        QSet<int> present;
        {
            engine::Statement st(
                connection, QStringLiteral("SELECT QualNr FROM MaQualifikation WHERE MaNr = ?1"));
            st.bind(1, it.key());
            while (st.step())
                present.insert(int(st.int64(0)));
        }
        for (const int qualNr : present - wanted) {
            engine::Statement st(connection, QStringLiteral("DELETE FROM MaQualifikation WHERE "
                                                            "MaNr = ?1 AND QualNr = ?2"));
            st.bindAll({it.key(), qualNr});
            st.step();
        }
        for (const int qualNr : wanted - present) {
            engine::Statement st(connection, QStringLiteral("INSERT INTO MaQualifikation (MaNr, "
                                                            "QualNr) VALUES (?1, ?2)"));
            st.bindAll({it.key(), qualNr});
            st.step();
        }
    }
    // the group's requirements, written anew
    if (groupNr > 0) {
        engine::Statement clear(connection,
                                QStringLiteral("DELETE FROM Besetzung WHERE GruppenNr = ?1"));
        clear.bind(1, groupNr);
        clear.step();
        for (const StaffingRequirement& r : requirements) {
            int qualNr = r.qualNr;
            if (qualNr > 0 || qualNr <= newQualificationRef(0))
                qualNr = numberOf.value(qualNr, NoQualification);
            engine::Statement insert(
                connection, QStringLiteral("INSERT INTO Besetzung (GruppenNr, Schicht, Taste, "
                                           "Anfang, Ende, Tage, Mindest, Hoechst, QualNr, "
                                           "QualMindest, QualAnteil) VALUES (?1, ?2, ?3, ?4, ?5, "
                                           "?6, ?7, ?8, ?9, ?10, ?11)"));
            insert.bindAll({groupNr, r.shift.trimmed(), nullable(r.key),
                            r.key.isEmpty() ? dayFraction(r.from) : QVariant(),
                            r.key.isEmpty() ? dayFraction(r.to) : QVariant(), r.days & AllDaysBits,
                            r.minimum, r.maximum ? QVariant(*r.maximum) : QVariant(),
                            qualNr == NoQualification ? QVariant() : QVariant(qualNr),
                            r.qualMinimum, r.qualShare ? QVariant(*r.qualShare) : QVariant()});
            insert.step();
        }
    }
    transaction.commit();
}

bool staffingLinesShown(engine::Connection& connection) {
    if (!connection.isOpen() || !connection.tableExists(QStringLiteral("Besetzungsoptionen")))
        return false;
    engine::Statement st(connection,
                         QStringLiteral("SELECT 1 FROM Besetzungsoptionen WHERE Option = ?1"));
    st.bind(1, LinesOption);
    return st.step();
}

void showStaffingLines(engine::Connection& connection, bool on) {
    engine::Transaction transaction(connection);
    ensureStaffingTables(connection);
    engine::Statement st(connection, on ? QStringLiteral("INSERT OR IGNORE INTO Besetzungsoptionen "
                                                         "(Option) VALUES (?1)")
                                        : QStringLiteral("DELETE FROM Besetzungsoptionen WHERE "
                                                         "Option = ?1"));
    st.bind(1, LinesOption);
    st.step();
    transaction.commit();
}

QString qualificationName(const QList<Qualification>& list, int qualNr) {
    if (qualNr == AnySkilled) return QStringLiteral("Fachkraft");
    for (const Qualification& q : list)
        if (q.qualNr == qualNr) return q.name;
    return QString();
}

} // namespace data
