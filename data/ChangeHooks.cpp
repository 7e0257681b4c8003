#include "data/ChangeHooks.h"

#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <algorithm>

#include <optional>

namespace data {

namespace {

const QString Tag = QStringLiteral("parTag");
const QString MaNr = QStringLiteral("parMaNr");

bool isNullValue(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

bool isPositioned(const engine::Recordset& rs) {
    return rs.isOpen() && !rs.eof() && !rs.bof();
}

// Reads the current row again after a statement changed it in the database.
void refreshCurrentRow(engine::Recordset& rs) {
    if (isPositioned(rs) && !rs.isEditing() && rs.isTable()) rs.setBookmark(rs.bookmark());
}

// true when a lastChange value must be lowered to day.
bool isLaterOrNull(const QVariant& lastChange, const QDate& day) {
    const auto current = engine::dayNumber(lastChange);
    return !current || *current > engine::dayNumber(day);
}

// The pending change of rsMitarbeiter takes the day when it is an existing employee whose
// lastChange is null or later (all employees when maNr is empty).
void lowerPendingRow(engine::Recordset& rs, std::optional<int> maNr, const QDate& day) {
    const QVariant number = rs.value(QStringLiteral("MaNr"));
    if (isNullValue(number) || (maNr && number.toInt() != *maNr)) return;
    if (isLaterOrNull(rs.value(QStringLiteral("lastChange")), day))
        rs.setValue(QStringLiteral("lastChange"), engine::dateVariant(day));
}

// Lowers lastChange in the table itself: of one employee, or of all when maNr is empty.
void lowerStored(Session& session, std::optional<int> maNr, const QDate& day) {
    const QString condition = QStringLiteral("((lastChange Is Null) Or (lastChange > [parTag]))");
    if (maNr) {
        session.env.Datenbank.execute(
            QStringLiteral("UPDATE Mitarbeiter SET lastChange = [parTag] WHERE (MaNr = "
                           "[parMaNr]) AND ") +
                condition,
            {engine::dateVariant(day), *maNr}, {Tag, MaNr});
    } else {
        session.env.Datenbank.execute(
            QStringLiteral("UPDATE Mitarbeiter SET lastChange = [parTag] WHERE ") + condition,
            {engine::dateVariant(day)}, {Tag});
    }
}

// Every employee's lastChange is lowered to day (a holiday changed). One statement does it;
// rsMitarbeiter keeps its position and a pending change.
void updatelastchangeOfAll(Session& session, const QDate& day) {
    if (!day.isValid()) return;
    try {
        engine::Recordset& rs = session.env.rsMitarbeiter;
        lowerStored(session, std::nullopt, day);
        if (rs.isOpen() && rs.isEditing())
            lowerPendingRow(rs, std::nullopt, day);
        else
            refreshCurrentRow(rs);
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("updatelastchange"));
    }
}

double numberOrZero(const QVariant& value) {
    return isNullValue(value) ? 0.0 : value.toDouble();
}

QDate dateValue(const QVariant& value) {
    return engine::toDate(value);
}

// The earlier of two days, either of which may be invalid.
QDate earlier(const QDate& a, const QDate& b) {
    if (!a.isValid()) return b;
    if (!b.isValid()) return a;
    return std::min(a, b);
}

bool isField(const QString& field, const char* name) {
    return field.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

// A change of a row that was already deleted in the database is nothing to do.
bool changesLiveRow(int reason, const engine::Recordset& rs) {
    return reason == engine::reason::Delete ||
           (reason == engine::reason::Update &&
            rs.status() != engine::RecordStatus::DeletedInDatabase);
}

// The handlers, named after the recordset and event they serve.
class ChangeHooks final : public QObject {
public:
    ChangeHooks(Session& session, QObject* parent) : QObject(parent), session_(session) {
        setObjectName(QStringLiteral("ChangeHooks"));
    }

    void rsDienstzeiten_WillChangeRecord(int reason, engine::Recordset* rs) {
        if (!changesLiveRow(reason, *rs)) return;
        guarded("rsDienstzeiten_WillChangeRecord", [&] {
            const QVariant maNr = rs->value(QStringLiteral("MaNr"));
            const QDate day = dateValue(rs->value(QStringLiteral("Tag")));
            if (!isNullValue(maNr)) updatelastchange(session_, maNr.toInt(), day);
            if (reason != engine::reason::Update) return;
            // A duty moved to another day or employee changes the month it leaves as well.
            const QVariant oldMaNr = rs->originalValue(QStringLiteral("MaNr"));
            const QDate oldDay = dateValue(rs->originalValue(QStringLiteral("Tag")));
            if (isNullValue(oldMaNr) || !oldDay.isValid()) return;
            if (oldMaNr.toInt() != maNr.toInt() || oldDay < day)
                updatelastchange(session_, oldMaNr.toInt(), oldDay);
        });
    }

    // The same for duties written with statements: each employee once, with the earliest day,
    // in the order they were first written.
    void dutiesWritten(const QList<DataUmgebung::DutyDay>& duties) {
        QList<int> order;
        QHash<int, QDate> earliest;
        for (const DataUmgebung::DutyDay& duty : duties) {
            const auto it = earliest.find(duty.maNr);
            if (it == earliest.end()) {
                order << duty.maNr;
                earliest.insert(duty.maNr, duty.day);
            } else if (duty.day.isValid() && (!it->isValid() || duty.day < *it)) {
                *it = duty.day;
            }
        }
        engine::Recordset& rs = session_.env.rsMitarbeiter;
        if (!rs.isOpen() || rs.isEditing()) {
            for (const int maNr : std::as_const(order))
                updatelastchange(session_, maNr, earliest.value(maNr));
            return;
        }
        // One statement lowers them all (a pasted month would else move the recordset to each
        // employee in turn); the recordset then stands where those moves would leave it: on
        // the last employee, or past the end when its filter hides that one.
        guarded("updatelastchange", [&] {
            QVariantList values;
            int last = 0;
            for (const int maNr : std::as_const(order)) {
                const QDate day = earliest.value(maNr);
                if (!day.isValid()) continue;
                values << maNr << engine::dayNumber(day);
                last = maNr;
            }
            if (values.isEmpty()) return;
            engine::Statement lower(
                session_.env.Datenbank,
                QStringLiteral("UPDATE Mitarbeiter SET lastChange = v.column2 FROM (VALUES ") +
                    engine::rowMarks(values.size() / 2, 2) +
                    QStringLiteral(") AS v WHERE Mitarbeiter.MaNr = v.column1 AND "
                                   "(Mitarbeiter.lastChange IS NULL OR "
                                   "Mitarbeiter.lastChange > v.column2)"));
            lower.bindAll(values);
            lower.step();
            rs.moveFirst();
            rs.find(QStringLiteral("MaNr=") + QString::number(last));
        });
    }

    void rsFeiertage_WillChangeRecord(int reason, engine::Recordset* rs) {
        if (reason != engine::reason::Delete) return;
        guarded("rsFeiertage_WillChangeRecord", [&] {
            updatelastchangeOfAll(session_, dateValue(rs->value(QStringLiteral("Tag"))));
        });
    }

    void rsFeiertage_FieldChangeComplete(const QString& field, engine::Recordset* rs) {
        if (!isField(field, "Tag")) return;
        // The day the holiday leaves is no longer free: it counts as much as the new one.
        guarded("rsFeiertage_FieldChangeComplete", [&] {
            updatelastchangeOfAll(session_,
                                  earlier(dateValue(rs->value(QStringLiteral("Tag"))),
                                          dateValue(rs->originalValue(QStringLiteral("Tag")))));
        });
    }

    void rsMitarbeiter_FieldChangeComplete(const QString& field, engine::Recordset* rs) {
        const bool flatTarget = isField(field, "sollstd");
        if (!isField(field, "ersterArbeitstag") && !isField(field, "normstunden") && !flatTarget)
            return;
        guarded("rsMitarbeiter_FieldChangeComplete", [&] {
            const QDate firstDay = dateValue(rs->value(QStringLiteral("ersterArbeitstag")));
            if (flatTarget) {
                // A new flat target changes no hours and no month before the one it applies
                // from: the run starts there (the day after its 1st, so that the month before
                // keeps its figures), and the targets follow when the row is written.
                const QDate from = session_.targetsFrom.isValid()
                                       ? std::max(firstDay, session_.targetsFrom.addDays(1))
                                       : firstDay;
                if (isLaterOrNull(rs->value(QStringLiteral("lastChange")), from))
                    rs->setValue(QStringLiteral("lastChange"), engine::dateVariant(from));
                return;
            }
            // Set on the row being edited; never move it.
            rs->setValue(QStringLiteral("lastChange"), engine::dateVariant(firstDay));
            const QVariant maNr = rs->value(QStringLiteral("manr"));
            if (isNullValue(maNr)) return;
            statisticsReset(session_, maNr.toInt());
            // Should the edit be cancelled, the zeroed rows must still be recomputed: the
            // stored row restarts from its stored first working day.
            const QDate storedFirstDay =
                dateValue(rs->originalValue(QStringLiteral("ersterArbeitstag")));
            if (storedFirstDay.isValid()) lowerStored(session_, maNr.toInt(), storedFirstDay);
        });
    }

    // A changed flat target becomes the target of the months that had the old one (every month
    // when the targets were worked out from the work days), from the month it applies from on;
    // a month's target entered by hand stays. Back to automatic targets, the statistics run
    // works them out from that month on.
    void rsMitarbeiter_WillChangeRecord(int reason, engine::Recordset* rs) {
        if (!changesLiveRow(reason, *rs) || reason != engine::reason::Update) return;
        guarded("rsMitarbeiter_WillChangeRecord", [&] {
            const QVariant maNr = rs->originalValue(QStringLiteral("MaNr"));
            const double before = numberOrZero(rs->originalValue(QStringLiteral("Sollstd")));
            const double now = numberOrZero(rs->value(QStringLiteral("Sollstd")));
            if (isNullValue(maNr) || before == now || now == 0.0) return;
            const QDate from = session_.targetsFrom;
            const int fromMonth = from.isValid() ? from.year() * 12 + from.month() : 0;
            session_.env.Datenbank.execute(
                QStringLiteral("UPDATE Statistik SET Soll = [parNeu] WHERE (MaNr = [parMaNr]) "
                               "AND (([parAlt] = 0) OR (Soll = [parAlt])) "
                               "AND (Jahr * 12 + Monat >= [parAb])"),
                {now, maNr.toInt(), before, fromMonth},
                {QStringLiteral("parNeu"), MaNr, QStringLiteral("parAlt"),
                 QStringLiteral("parAb")});
        });
    }

    void rsStandarddienste_WillChangeRecord(int reason, engine::Recordset* rs) {
        if (reason != engine::reason::Update) return;
        guarded("rsStandarddienste_WillChangeRecord", [&] {
            const auto anfang = engine::dayNumber(rs->value(QStringLiteral("anfang")));
            const auto ende = engine::dayNumber(rs->value(QStringLiteral("ende")));
            if (anfang && ende && *ende < *anfang)
                rs->setValue(QStringLiteral("ende"), engine::dateVariant(*ende + 1.0));
        });
    }

    void rsStatistik_WillChangeRecord(int reason, engine::Recordset* rs) {
        if (!changesLiveRow(reason, *rs)) return;
        guarded("rsStatistik_WillChangeRecord", [&] {
            const QVariant maNr = rs->value(QStringLiteral("manr"));
            const QVariant year = rs->value(QStringLiteral("jahr"));
            const QVariant month = rs->value(QStringLiteral("monat"));
            if (isNullValue(maNr) || isNullValue(year) || isNullValue(month)) return;
            // The first day of the row's month, formed from its numbers (no date text to parse).
            updatelastchange(session_, maNr.toInt(), QDate(year.toInt(), month.toInt(), 1));
        });
    }

private:
    // A hook never cancels the change it is told about: its errors are shown, and the change
    // goes on.
    template <typename Body> void guarded(const char* procedure, Body&& body) {
        try {
            body();
        } catch (const std::exception& e) {
            report(session_, e, QLatin1String(procedure));
        }
    }

    Session& session_;
};

} // namespace

void attachChangeHooks(Session& session) {
    DataUmgebung& env = session.env;
    if (env.findChild<QObject*>(QStringLiteral("ChangeHooks"), Qt::FindDirectChildrenOnly)) return;
    auto* hooks = new ChangeHooks(session, &env);
    QObject::connect(&env.rsDienstzeiten, &engine::Recordset::willChangeRecord, hooks,
                     [hooks](int reason, engine::Recordset* rs) {
                         hooks->rsDienstzeiten_WillChangeRecord(reason, rs);
                     });
    QObject::connect(
        &env, &DataUmgebung::dutiesWritten, hooks,
        [hooks](const QList<DataUmgebung::DutyDay>& duties) { hooks->dutiesWritten(duties); });
    QObject::connect(
        &env, &DataUmgebung::holidaysWritten, hooks,
        [&session](const QDate& earliest) { updatelastchangeOfAll(session, earliest); });
    QObject::connect(&env.rsFeiertage, &engine::Recordset::willChangeRecord, hooks,
                     [hooks](int reason, engine::Recordset* rs) {
                         hooks->rsFeiertage_WillChangeRecord(reason, rs);
                     });
    QObject::connect(&env.rsFeiertage, &engine::Recordset::fieldChangeComplete, hooks,
                     [hooks](const QString& field, engine::Recordset* rs) {
                         hooks->rsFeiertage_FieldChangeComplete(field, rs);
                     });
    QObject::connect(&env.rsMitarbeiter, &engine::Recordset::fieldChangeComplete, hooks,
                     [hooks](const QString& field, engine::Recordset* rs) {
                         hooks->rsMitarbeiter_FieldChangeComplete(field, rs);
                     });
    QObject::connect(&env.rsMitarbeiter, &engine::Recordset::willChangeRecord, hooks,
                     [hooks](int reason, engine::Recordset* rs) {
                         hooks->rsMitarbeiter_WillChangeRecord(reason, rs);
                     });
    QObject::connect(&env.rsStandarddienste, &engine::Recordset::willChangeRecord, hooks,
                     [hooks](int reason, engine::Recordset* rs) {
                         hooks->rsStandarddienste_WillChangeRecord(reason, rs);
                     });
    QObject::connect(&env.rsStatistik, &engine::Recordset::willChangeRecord, hooks,
                     [hooks](int reason, engine::Recordset* rs) {
                         hooks->rsStatistik_WillChangeRecord(reason, rs);
                     });
}

void updatelastchange(Session& session, int maNr, const QDate& day) {
    if (!day.isValid()) return;
    try {
        engine::Recordset& rs = session.env.rsMitarbeiter;
        if (!rs.isOpen()) {
            lowerStored(session, maNr, day);
            return;
        }
        if (rs.isEditing()) {
            // A window's pending change of an employee is neither written nor moved away from.
            lowerStored(session, maNr, day);
            lowerPendingRow(rs, maNr, day);
            return;
        }
        rs.moveFirst();
        if (!rs.find(QStringLiteral("MaNr=") + QString::number(maNr))) {
            // not there, or hidden by a filter of the recordset
            lowerStored(session, maNr, day);
            return;
        }
        if (isLaterOrNull(rs.value(QStringLiteral("lastChange")), day)) {
            rs.setValue(QStringLiteral("lastChange"), engine::dateVariant(day));
            rs.update();
        }
    } catch (const std::exception& e) {
        report(session, e, QStringLiteral("updatelastchange"));
    }
}

void statisticsReset(Session& session, int maNr) {
    session.env.Datenbank.execute(
        QStringLiteral("UPDATE Statistik SET Statistik.IstStd = 0, Statistik.SumVormonat = 0, "
                       "Statistik.Urlaubstage = 0, Statistik.Kranktage = 0 ") +
            QStringLiteral("WHERE (Statistik.MaNr= [parMaNr]);"),
        {maNr}, {MaNr});
    engine::Recordset& rs = session.env.rsStatistik;
    if (!rs.isOpen()) return;
    rs.updateBatch();
    refreshCurrentRow(rs);
}

} // namespace data
