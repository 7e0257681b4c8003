// Recordsets over the engine: navigation, find, sort, filter, editing, batches, events and the
// error numbers the program relies on.

#include "engine/Connection.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using engine::EngineError;
using engine::Recordset;

namespace {

const char* const CreateDuties =
    "CREATE TABLE Dienstzeiten (DienstNR int IDENTITY(1,1) NOT NULL ,Tag smalldatetime NOT "
    "NULL,Anfang smalldatetime NULL,Ende smalldatetime NULL,Bemerkung varchar (50) NULL,MaNr int "
    "NOT NULL,Normstunden float DEFAULT 0 NOT NULL,Pause float DEFAULT 0 NOT NULL,Kurzinfo "
    "varchar (15) NULL,Normdienst bit DEFAULT no,Farbe int DEFAULT 16777215,S1 float default 0 "
    "NOT NULL,S2 float default 0 NOT NULL,Dienstcode varchar (15),CONSTRAINT PrimaryKey PRIMARY "
    "KEY(Tag, MaNr) )";

const char* const CreateHolidays = "CREATE TABLE Feiertage (Tag DATETIME NOT NULL,Name "
                                   "varchar(50) WITH COMPRESSION,Prozent REAL DEFAULT 1,"
                                   "CONSTRAINT datindex UNIQUE (Tag))";

long errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EngineError& e) {
        return e.number();
    }
    return 0;
}

} // namespace

class TestRecordset : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    engine::Connection db;
    QString path;

    void addDuty(Recordset& rs, const QDate& day, int maNr, const QString& kurz = QString()) {
        rs.addNew();
        rs.setValue(QStringLiteral("Tag"), engine::dateVariant(day));
        rs.setValue(QStringLiteral("MaNr"), maNr);
        if (!kurz.isNull())
            rs.setValue(QStringLiteral("Kurzinfo"), kurz);
        rs.update();
    }

private Q_SLOTS:
    void init() {
        path = dir.filePath(QStringLiteral("t%1.tnv").arg(QRandomGenerator::global()->generate()));
        engine::Connection::createDatabaseFile(path);
        db.open(path);
        db.execute(QString::fromLatin1(CreateDuties));
        db.execute(QString::fromLatin1(CreateHolidays));
    }
    void cleanup() {
        db.close();
        QFile::remove(path);
    }

    void navigationAndCount() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("dienstzeiten"));
        QVERIFY(rs.eof() && rs.bof());
        QCOMPARE(rs.recordCount(), 0L);
        rs.moveFirst(); // no error on an empty recordset
        QCOMPARE(errorOf([&] { rs.moveNext(); }), engine::err::NoCurrentRecord);
        for (int d = 1; d <= 5; ++d)
            addDuty(rs, QDate(2024, 3, d), 1);
        QCOMPARE(rs.recordCount(), 5L);
        rs.moveFirst();
        QCOMPARE(rs.value(QStringLiteral("DIENSTNR")).toInt(), 1);
        int seen = 0;
        for (; !rs.eof(); rs.moveNext())
            ++seen;
        QCOMPARE(seen, 5);
        rs.movePrevious(); // from EOF to the last row
        QCOMPARE(rs.value(QStringLiteral("Tag")).toDateTime().date(), QDate(2024, 3, 5));
        QCOMPARE(rs.absolutePosition(), 5L);
        const engine::Bookmark mark = rs.bookmark();
        rs.moveFirst();
        rs.setBookmark(mark);
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 5);
        rs.setAbsolutePosition(2);
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 2);
        rs.moveFirst();
        rs.movePrevious();
        QVERIFY(rs.bof());
        QCOMPARE(errorOf([&] { rs.value(QStringLiteral("Tag")); }), engine::err::NoCurrentRecord);
        QCOMPARE(errorOf([&] { rs.moveFirst(); rs.value(QStringLiteral("Nichtda")); }),
                 engine::err::ItemNotFound);
    }

    void findForwardFromCurrentRow() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 4, 3), 1, QStringLiteral("Früh"));
        addDuty(rs, QDate(2024, 4, 3), 2, QStringLiteral("spät"));
        addDuty(rs, QDate(2024, 4, 5), 1, QStringLiteral("Nacht"));
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("DienstNr = 3")));
        QCOMPARE(rs.value(QStringLiteral("MaNr")).toInt(), 1);
        // forward only: the row before the current one is not found
        QVERIFY(!rs.find(QStringLiteral("DienstNr = 1")));
        QVERIFY(rs.eof());
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("manr=2")));
        QCOMPARE(rs.value(QStringLiteral("kurzinfo")).toString(), QStringLiteral("spät"));
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("Kurzinfo='NACHT'"))); // text without regard to case
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("tag = #4/5/2024#")));
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 3);
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("tag = #04/03/24#"))); // month first, two-digit year
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 1);
        rs.moveFirst();
        QVERIFY(rs.find(QStringLiteral("MaNr = 1"), 1)); // skipping the current row
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 3);
        QCOMPARE(errorOf([&] { rs.find(QStringLiteral("Gibtsnicht = 1")); }),
                 engine::err::ItemNotFound);
    }

    void sortAndFilterKeepTheOrderConsistent() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 5, 9), 1);
        addDuty(rs, QDate(2024, 5, 2), 1);
        addDuty(rs, QDate(2024, 5, 9), 2);
        addDuty(rs, QDate(2024, 5, 1), 3);
        rs.setSort(QStringLiteral("tag"));
        QList<int> order;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            order << rs.value(QStringLiteral("DienstNr")).toInt();
        QCOMPARE(order, (QList<int>{4, 2, 1, 3}));
        order.clear();
        for (rs.moveLast(); !rs.bof(); rs.movePrevious())
            order << rs.value(QStringLiteral("DienstNr")).toInt();
        QCOMPARE(order, (QList<int>{3, 1, 2, 4}));
        rs.setSort(QStringLiteral("Tag DESC, MaNr"));
        rs.moveFirst();
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 1);
        rs.setSort(QStringLiteral("Kurzinfo")); // all null: rowid order
        rs.moveFirst();
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 1);
        rs.moveNext();
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 2);
        rs.setSort(QString());
        rs.setFilter(QStringLiteral("MaNr = 1"));
        QCOMPARE(rs.recordCount(), 2L);
        rs.setFilter(QStringLiteral("MaNr = 1 OR MaNr = 3"));
        QCOMPARE(rs.recordCount(), 3L);
        rs.setFilter(QString());
        QCOMPARE(rs.recordCount(), 4L);
    }

    void editingWritesBackByRowAndCancels() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 6, 1), 1);
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 1); // the new row is current
        QCOMPARE(rs.value(QStringLiteral("Farbe")).toInt(), 16777215); // defaults filled
        QCOMPARE(rs.value(QStringLiteral("Normdienst")).toBool(), false);
        rs.setValue(QStringLiteral("Pause"), 0.5);
        QVERIFY(rs.isEditing());
        rs.cancelUpdate();
        QCOMPARE(rs.value(QStringLiteral("Pause")).toDouble(), 0.0);
        rs.setValue(QStringLiteral("Pause"), 0.75);
        rs.moveFirst(); // moving writes the pending change, as the old cursor did
        Recordset check;
        check.openSql(db, QStringLiteral("SELECT Pause FROM Dienstzeiten"));
        QCOMPARE(check.value(QStringLiteral("pause")).toDouble(), 0.75);
        rs.addNew();
        rs.setValue(QStringLiteral("MaNr"), 9);
        rs.cancelUpdate();
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 1);
        QCOMPARE(rs.recordCount(), 1L);
    }

    void deleteLeavesPositionForMoveNext() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        for (int d = 1; d <= 3; ++d)
            addDuty(rs, QDate(2024, 7, d), 1);
        rs.moveFirst();
        rs.moveNext();
        rs.deleteCurrent();
        QCOMPARE(rs.status(), engine::RecordStatus::Deleted);
        QCOMPARE(errorOf([&] { rs.value(QStringLiteral("Tag")); }), engine::err::DeletedRow);
        rs.moveNext();
        QCOMPARE(rs.value(QStringLiteral("DienstNr")).toInt(), 3);
        QCOMPARE(rs.recordCount(), 2L);
    }

    void eventsCarryReasonsAndLetHandlersChangeTheRow() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        QList<int> reasons;
        QList<QVariant> daysSeen;
        connect(&rs, &Recordset::willChangeRecord, this, [&](int reason, Recordset* r) {
            reasons << reason;
            if (reason != engine::reason::AddNew)
                daysSeen << r->value(QStringLiteral("Tag"));
            if (reason == engine::reason::Update && r->value(QStringLiteral("Pause")).toDouble() == 0)
                r->setValue(QStringLiteral("Bemerkung"), QStringLiteral("vom Ereignis"));
        });
        QSignalSpy fields(&rs, &Recordset::fieldChangeComplete);
        addDuty(rs, QDate(2024, 8, 12), 4);
        QCOMPARE(reasons, (QList<int>{engine::reason::AddNew, engine::reason::Update}));
        QCOMPARE(engine::toDate(daysSeen.last()), QDate(2024, 8, 12)); // the new day
        QCOMPARE(fields.count(), 3); // Tag, MaNr, and the handler's Bemerkung
        QCOMPARE(fields.at(0).at(0).toString(), QStringLiteral("Tag"));
        QCOMPARE(rs.value(QStringLiteral("Bemerkung")).toString(), QStringLiteral("vom Ereignis"));
        rs.deleteCurrent();
        QCOMPARE(reasons.last(), engine::reason::Delete);
    }

    void whatHandlersWriteLandsWithTheChangeOrNotAtAll() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 8, 1), 1);
        int day = 1;
        connect(&rs, &Recordset::willChangeRecord, this, [&](int reason, Recordset*) {
            if (reason == engine::reason::Update)
                db.execute(QStringLiteral("INSERT INTO Feiertage (Tag) VALUES (t)"),
                           {QDate(2030, 1, ++day)}, {QStringLiteral("t")});
        });
        addDuty(rs, QDate(2024, 8, 2), 1); // written with its handler's row
        rs.addNew();
        rs.setValue(QStringLiteral("Tag"), engine::dateVariant(QDate(2024, 8, 1)));
        rs.setValue(QStringLiteral("MaNr"), 1);
        QCOMPARE(errorOf([&] { rs.update(); }), engine::err::GeneralFailure); // the key exists
        rs.cancelUpdate();
        Recordset holidays;
        holidays.openTable(db, QStringLiteral("Feiertage"));
        QCOMPARE(holidays.recordCount(), 1L); // the failed write took its handler's row along
    }

    void batchWritesAllOrNothing() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        rs.setBatchMode(true);
        addDuty(rs, QDate(2024, 9, 1), 1);
        addDuty(rs, QDate(2024, 9, 2), 1);
        QCOMPARE(rs.pendingChanges(), 2);
        rs.updateBatch();
        QCOMPARE(rs.recordCount(), 2L);
        addDuty(rs, QDate(2024, 9, 3), 1);
        addDuty(rs, QDate(2024, 9, 1), 1); // the key exists: the whole batch is refused
        QCOMPARE(errorOf([&] { rs.updateBatch(); }), engine::err::GeneralFailure);
        rs.setBatchMode(false);
        rs.requery();
        QCOMPARE(rs.recordCount(), 2L);
    }

    void cloneIsReadOnlyAndSeesChanges() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 10, 1), 1);
        auto copy = rs.clone();
        QVERIFY(copy->readOnly());
        QCOMPARE(errorOf([&] { copy->setValue(QStringLiteral("MaNr"), 2); }), engine::err::ReadOnly);
        addDuty(rs, QDate(2024, 10, 2), 1);
        copy->requery();
        QCOMPARE(copy->recordCount(), 2L);
    }

    void sqlRecordsetsBindByPositionAndSort() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2024, 11, 5), 2);
        addDuty(rs, QDate(2024, 11, 6), 1);
        addDuty(rs, QDate(2024, 12, 6), 1);
        Recordset q;
        q.openSql(db, QStringLiteral("SELECT MaNr, Tag FROM Dienstzeiten WHERE Tag >= von AND Tag <= bis"),
                  {QDate(2024, 11, 1), QDate(2024, 11, 30)},
                  {QStringLiteral("von"), QStringLiteral("bis")});
        QCOMPARE(q.recordCount(), 2L);
        QCOMPARE(q.value(QStringLiteral("Tag")).typeId(), int(QMetaType::QDateTime));
        q.setSort(QStringLiteral("MaNr"));
        q.moveFirst();
        QCOMPARE(q.value(QStringLiteral("manr")).toInt(), 1);
        QVERIFY(q.find(QStringLiteral("MaNr = 2")));
        QCOMPARE(errorOf([&] { q.setValue(QStringLiteral("MaNr"), 3); }), engine::err::ReadOnly);
        addDuty(rs, QDate(2024, 11, 7), 3);
        q.requery();
        QCOMPARE(q.recordCount(), 3L);
    }

    void datesRoundTripToTheSecondWithoutTimeZones() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        // 29 March 2026, 02:30 does not exist in German local time; it must survive anyway
        const QDateTime gap(QDate(2026, 3, 29), QTime(2, 30, 17), Qt::UTC);
        rs.addNew();
        rs.setValue(QStringLiteral("Tag"), engine::dateVariant(QDate(2026, 3, 29)));
        rs.setValue(QStringLiteral("MaNr"), 1);
        rs.setValue(QStringLiteral("Anfang"), gap);
        rs.setValue(QStringLiteral("Ende"), engine::dateVariant(1.25)); // 31.12.1899 06:00
        rs.update();
        rs.requery();
        QCOMPARE(rs.value(QStringLiteral("Anfang")).toDateTime(), gap);
        QCOMPARE(rs.value(QStringLiteral("Ende")).toDateTime(),
                 QDateTime(QDate(1899, 12, 31), QTime(6, 0), Qt::UTC));
        QCOMPARE(engine::dayNumber(QDate(2002, 1, 2)), 37258.0);
        QCOMPARE(engine::dayNumber(QDate(2002, 9, 29)), 37528.0);
        QCOMPARE(engine::timeOf(22.0 / 24 - (1 + 6.0 / 24)), QTime(8, 0)); // absolute value
    }

    void errorNumbersOfTheEngine() {
        QCOMPARE(errorOf([&] { Recordset r; r.openTable(db, QStringLiteral("Fehlt")); }),
                 engine::err::TableNotFound);
        QCOMPARE(errorOf([&] { db.execute(QString::fromLatin1(CreateHolidays)); }),
                 engine::err::CommandError);
        Recordset rs;
        rs.openTable(db, QStringLiteral("Feiertage"));
        rs.addNew();
        rs.setValue(QStringLiteral("Tag"), engine::dateVariant(QDate(2024, 5, 1)));
        rs.update();
        rs.addNew();
        rs.setValue(QStringLiteral("Tag"), engine::dateVariant(QDate(2024, 5, 1)));
        QCOMPARE(errorOf([&] { rs.update(); }), engine::err::GeneralFailure); // datindex
        rs.cancelUpdate();
        rs.moveFirst();
        QCOMPARE(errorOf([&] { rs.setValue(QStringLiteral("Name"), QString(51, QLatin1Char('x'))); }),
                 engine::err::FieldTooSmall);
        // a file of random bytes is no database
        const QString junk = dir.filePath(QStringLiteral("junk.tnv"));
        QFile f(junk);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, '\x5a'));
        f.close();
        engine::Connection other;
        QCOMPARE(errorOf([&] { other.open(junk); }), engine::err::GeneralFailure);
        QCOMPARE(errorOf([&] { other.open(dir.filePath(QStringLiteral("fehlt.tnv"))); }),
                 engine::err::GeneralFailure);
        if (geteuid() != 0) {
            QFile::setPermissions(path, QFile::ReadOwner);
            engine::Connection ro;
            QCOMPARE(errorOf([&] { ro.open(path); }), engine::err::PermissionDenied);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        }
    }

    void transactionsNestAndRollBack() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        {
            engine::Transaction outer(db);
            addDuty(rs, QDate(2025, 1, 1), 1);
            {
                engine::Transaction inner(db);
                addDuty(rs, QDate(2025, 1, 2), 1);
                inner.commit();
            }
            // outer not committed
        }
        rs.requery();
        QCOMPARE(rs.recordCount(), 0L);
    }

    void theChangeCounterNeverRepeatsAcrossOpenings() {
        // caches keyed by the counter must not take the next file (or the same one reopened,
        // perhaps at the same address) for the one they were filled from
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        const quint64 before = db.changeCounter();
        addDuty(rs, QDate(2025, 1, 1), 1);
        const quint64 changed = db.changeCounter();
        QVERIFY(changed > before);
        rs.close();
        db.close();
        db.open(path);
        QVERIFY(db.changeCounter() > changed);
    }

    void copiesOfTheOpenDatabase() {
        Recordset rs;
        rs.openTable(db, QStringLiteral("Dienstzeiten"));
        addDuty(rs, QDate(2025, 2, 1), 1);
        const QString copy = dir.filePath(QStringLiteral("kopie.tnv"));
        db.backupTo(copy);
        const QString compacted = dir.filePath(QStringLiteral("kompakt.tnv"));
        engine::Connection::compactDatabase(copy, compacted);
        for (const QString& p : {copy, compacted}) {
            engine::Connection c;
            c.open(p);
            Recordset r;
            r.openTable(c, QStringLiteral("Dienstzeiten"));
            QCOMPARE(r.recordCount(), 1L);
        }
    }
};

QTEST_GUILESS_MAIN(TestRecordset)
#include "test_recordset.moc"
