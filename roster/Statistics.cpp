#include "roster/Statistics.h"

#include "engine/DateValue.h"
#include "engine/EngineError.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"
#include "roster/Konstanten.h"
#include "roster/Lookups.h"
#include "roster/Query.h"
#include "roster/StatisticsDuties.h"

#include <QHash>

#include <algorithm>
#include <exception>
#include <vector>

namespace roster {

namespace {

constexpr long DatabaseStructureError = -2147220992; // 80040200

// One stored statistics row.
struct StatRow {
    qint64 statNr = 0;
    double soll = 0.0;
    double istStd = 0.0;
    double sumVormonat = 0.0;
    qint32 urlaubstage = 0;
    qint32 kranktage = 0;

    bool sameFigures(const StatRow& other) const {
        return soll == other.soll && istStd == other.istStd && sumVormonat == other.sumVormonat &&
               urlaubstage == other.urlaubstage && kranktage == other.kranktage;
    }
};

int monthKey(int year, int month) {
    return year * 12 + month - 1;
}
int monthKey(const QDate& day) {
    return monthKey(day.year(), day.month());
}

// The figures of one month, summed in the order of the days as the database sums them.
struct MonthFigures {
    double hours = 0.0;
    qint32 urlaubstage = 0;
    qint32 kranktage = 0;
};

// An employee as the run reads him.
struct Employee : TargetBasis {
    QDate lastChange;

    // The first day to recompute: the first of the month that holds the day before lastChange
    // (a change on the 1st recomputes the previous month's carry as well), never before the
    // first working day, so that the first month of employment always counts from that day.
    QDate startDay() const {
        if (lastChange <= ersterArbeitstag) return ersterArbeitstag;
        const QDate before = lastChange.addDays(-1);
        return std::max(QDate(before.year(), before.month(), 1), ersterArbeitstag);
    }

    // The first day whose duties count: the whole month of startDay, as hours before the first
    // working day count in its month as the roster shows them (the target counts from that day).
    QDate firstDutyDay() const {
        const QDate first = startDay();
        return QDate(first.year(), first.month(), 1);
    }
};

class EmployeeRun {
public:
    // duties: the employee's duties from firstDutyDay() on when they were read already
    EmployeeRun(data::Session& session, const Employee& employee, int& stage, DutyList* duties)
        : session_(session), env_(session.env), e_(employee), stage_(stage), preread_(duties) {}

    void recompute() {
        const QDate start = e_.firstDutyDay();
        // the first day of the month after the last duty's month
        QDate end = lastDayOfMonth(lastDutyDay(session_, e_.maNr)).addDays(1);
        readRows();
        // Rows of later months are brought up to date as well, so that none keeps the hours
        // of a duty that was deleted at the end.
        if (lastStoredMonth_ && *lastStoredMonth_ > monthKey(end))
            end = QDate(*lastStoredMonth_ / 12, *lastStoredMonth_ % 12 + 1, 1);
        if (start > end) return;
        const QDate rangeEnd = lastDayOfMonth(end);
        const Holidays holidays(env_, start, rangeEnd);
        if (preread_)
            duties_ = std::move(*preread_); // what lies after rangeEnd is never summed
        else
            duties_ = readEmployeeDuties(env_.Datenbank, e_.maNr, start, rangeEnd);

        for (QDate d = start, m = lastDayOfMonth(d); d <= end;
             d = m.addDays(1), m = lastDayOfMonth(d)) {
            stage_ = 2;
            StatRow figures;
            figures.sumVormonat = carryInto(d);
            const MonthFigures month = monthFigures(d, m);
            figures.istStd = month.hours;
            figures.urlaubstage = month.urlaubstage;
            figures.kranktage = month.kranktage;
            save(d, figures, targetWorkDays(holidays, d, m, e_.ersterArbeitstag));
            stage_ = 3;
        }
    }

private:
    // The balance carried into the month beginning on d: the previous month's carry plus its
    // hours less its target; 0 in the first month of employment and when there is no row.
    double carryInto(const QDate& d) const {
        if (d <= e_.ersterArbeitstag) return 0.0;
        const auto row = rows_.constFind(monthKey(d.addDays(-1)));
        if (row == rows_.constEnd()) return 0.0;
        return row->sumVormonat + (row->istStd - row->soll);
    }

    void readRows() {
        static const Query query(
            QStringLiteral("SELECT StatNr, Jahr, Monat, Soll, IstStd, SumVormonat, Urlaubstage, "
                           "Kranktage FROM Statistik WHERE (MaNr = [parMaNr])"),
            {QStringLiteral("parMaNr")});
        QueryRun run(env_.Datenbank, query, {e_.maNr});
        while (run.next()) {
            StatRow row;
            row.statNr = run.value(0).toLongLong();
            row.soll = run.number(3); // as nullToDouble reads it
            row.istStd = run.number(4);
            row.sumVormonat = run.number(5);
            row.urlaubstage = nullToLong(run.value(6));
            row.kranktage = nullToLong(run.value(7));
            const int key = monthKey(run.value(1).toInt(), run.value(2).toInt());
            rows_.insert(key, row);
            if (!lastStoredMonth_ || key > *lastStoredMonth_) lastStoredMonth_ = key;
        }
    }

    MonthFigures monthFigures(const QDate& first, const QDate& last) {
        const double from = engine::dayNumber(first);
        const double to = engine::dayNumber(last);
        std::optional<double> timed, flat;
        MonthFigures figures;
        for (; next_ < duties_.size() && duties_[next_].tag <= to; ++next_) {
            const DutyTerms& duty = duties_[next_];
            if (duty.tag < from) continue;
            if (duty.hasTimed) timed = timed.value_or(0.0) + duty.timed;
            if (duty.hasFlat) flat = flat.value_or(0.0) + duty.flat;
            figures.urlaubstage += duty.urlaub ? 1 : 0;
            figures.kranktage += duty.krank ? 1 : 0;
        }
        figures.hours = flat.value_or(0.0) + timed.value_or(0.0);
        return figures;
    }

    // Writes the month's row when it is new or its figures changed.
    void save(const QDate& d, StatRow figures, double workDays) {
        const int key = monthKey(d);
        const auto stored = rows_.constFind(key);
        const bool exists = stored != rows_.constEnd();
        figures.soll = monthTarget(exists ? std::optional<double>(stored->soll) : std::nullopt,
                                   e_.sollstd, e_.normstunden, workDays);
        if (exists) {
            figures.statNr = stored->statNr;
            if (!stored->sameFigures(figures)) update(figures);
        } else {
            figures.statNr = insert(d, figures);
        }
        rows_.insert(key, figures);
    }

    void update(const StatRow& row) {
        static const Query query(
            QStringLiteral("UPDATE Statistik SET Soll = [parSoll], IstStd = [parIst], "
                           "SumVormonat = [parVormonat], Urlaubstage = [parUrlaub], Kranktage = "
                           "[parKrank] WHERE StatNr = [parStatNr]"),
            {QStringLiteral("parSoll"), QStringLiteral("parIst"), QStringLiteral("parVormonat"),
             QStringLiteral("parUrlaub"), QStringLiteral("parKrank"), QStringLiteral("parStatNr")});
        QueryRun run(
            env_.Datenbank, query,
            {row.soll, row.istStd, row.sumVormonat, row.urlaubstage, row.kranktage, row.statNr});
        run.next();
    }

    qint64 insert(const QDate& d, const StatRow& row) {
        static const Query query(
            QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, IstStd, SumVormonat, "
                           "Urlaubstage, Kranktage) VALUES ([parJahr], [parMonat], [parMaNr], "
                           "[parSoll], [parIst], [parVormonat], [parUrlaub], [parKrank])"),
            {QStringLiteral("parJahr"), QStringLiteral("parMonat"), QStringLiteral("parMaNr"),
             QStringLiteral("parSoll"), QStringLiteral("parIst"), QStringLiteral("parVormonat"),
             QStringLiteral("parUrlaub"), QStringLiteral("parKrank")});
        {
            QueryRun run(env_.Datenbank, query,
                         {d.year(), d.month(), e_.maNr, row.soll, row.istStd, row.sumVormonat,
                          row.urlaubstage, row.kranktage});
            run.next();
        }
        static const Query lastId(QStringLiteral("SELECT last_insert_rowid()"), {});
        return lastId.scalar(env_.Datenbank, {}).value_or(QVariant()).toLongLong();
    }

    data::Session& session_;
    data::DataUmgebung& env_;
    const Employee& e_;
    int& stage_;
    QHash<int, StatRow> rows_;
    std::optional<int> lastStoredMonth_;
    DutyList* preread_;
    DutyList duties_;
    size_t next_ = 0;
};

// The employees whose lastChange is set, in the order of the table. A field the run needs that
// the table lacks is reported as a recordset reports a missing field.
std::vector<Employee> markedEmployees(data::DataUmgebung& env) {
    const QList<engine::ColumnInfo> columns = env.Datenbank.columns(QStringLiteral("Mitarbeiter"));
    for (const char* name : {"MaNr", "ersterArbeitstag", "Sollstd", "normstunden", "lastChange"}) {
        if (std::none_of(columns.begin(), columns.end(), [name](const engine::ColumnInfo& c) {
                return c.name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
            }))
            throw engine::EngineError(
                engine::err::ItemNotFound,
                QStringLiteral("Das Element '%1' wurde in der Auflistung, die dem angeforderten "
                               "Namen entspricht, nicht gefunden.")
                    .arg(QLatin1String(name)));
    }
    static const Query query(
        QStringLiteral("SELECT MaNr, ersterArbeitstag, Sollstd, normstunden, lastChange FROM "
                       "Mitarbeiter WHERE lastChange Is Not Null ORDER BY rowid"),
        {});
    std::vector<Employee> employees;
    QueryRun run(env.Datenbank, query, {});
    while (run.next()) {
        Employee e;
        e.maNr = nullToLong(run.value(0));
        e.ersterArbeitstag = engine::toDate(run.value(1));
        if (!e.ersterArbeitstag.isValid()) e.ersterArbeitstag = engine::epoch();
        e.sollstd = run.value(2);
        e.normstunden = nullToDouble(run.value(3));
        e.lastChange = engine::toDate(run.value(4));
        if (e.lastChange.isValid()) employees.push_back(e);
    }
    return employees;
}

// The duties of all employees of the run in one pass over the table when that is cheaper than
// reading each employee's through the index (a run from the first working days); else none.
using DutyMap = std::unordered_map<int, DutyList>;

DutyMap readAtOnce(data::Session& session, const std::vector<Employee>& employees) {
    FirstDays firstDays;
    for (const Employee& e : employees)
        firstDays.emplace(e.maNr, e.firstDutyDay()); // a MaNr twice would read it twice
    if (firstDays.size() != employees.size() ||
        !wholeTableIsCheaper(session.env.Datenbank, firstDays, session.today()))
        return {};
    return readDutiesFrom(session.env.Datenbank, firstDays).value_or(DutyMap());
}

void clearLastChange(data::DataUmgebung& env, int maNr) {
    static const Query query(
        QStringLiteral("UPDATE Mitarbeiter SET lastChange = Null WHERE MaNr = [parMaNr]"),
        {QStringLiteral("parMaNr")});
    QueryRun(env.Datenbank, query, {maNr}).next();
}

void requeryIfOpen(engine::Recordset& rs) {
    if (rs.isOpen()) rs.requery();
}

} // namespace

TargetBasis targetBasis(const engine::Recordset& rs) {
    TargetBasis e;
    e.maNr = nullToLong(rs.value(QStringLiteral("MaNr")));
    e.ersterArbeitstag = engine::toDate(rs.value(QStringLiteral("ersterArbeitstag")));
    if (!e.ersterArbeitstag.isValid()) e.ersterArbeitstag = engine::epoch();
    e.sollstd = rs.value(QStringLiteral("sollstd"));
    e.normstunden = nullToDouble(rs.value(QStringLiteral("Normstunden")));
    return e;
}

double targetWorkDays(const Holidays& holidays, const QDate& first, const QDate& last,
                      const QDate& ersterArbeitstag) {
    if (last < ersterArbeitstag) return 0;
    const QDate from = std::max(first, ersterArbeitstag);
    // whole free days are left out; a part holiday adds its working share back
    return workDays(holidays, from, last) + holidays.partWorkDays(from, last);
}

MonthAccount accountWithoutRow(data::DataUmgebung& env, const TargetBasis& e, const QDate& first) {
    const QDate last = lastDayOfMonth(first);
    if (last < e.ersterArbeitstag) return {};
    // The last stored month before this one, not before the month of the first working day.
    static const Query lastStored(
        QStringLiteral("SELECT Jahr, Monat, SumVormonat + IstStd - Soll FROM Statistik "
                       "WHERE (MaNr = [parMaNr]) AND (Jahr * 12 + Monat - 1 < [parBis]) AND "
                       "(Jahr * 12 + Monat - 1 >= [parVon]) ORDER BY Jahr DESC, Monat DESC "
                       "LIMIT 1"),
        {QStringLiteral("parMaNr"), QStringLiteral("parBis"), QStringLiteral("parVon")});
    MonthAccount account;
    QDate from = first; // no stored month: his statistics were never worked out, nothing to carry
    {
        QueryRun run(env.Datenbank, lastStored,
                     {e.maNr, monthKey(first), monthKey(e.ersterArbeitstag)});
        if (run.next()) {
            account.carry = nullToDouble(run.value(2));
            from = std::max(QDate(run.value(0).toInt(), run.value(1).toInt(), 1).addMonths(1),
                            QDate(e.ersterArbeitstag.year(), e.ersterArbeitstag.month(), 1));
        }
    }
    const Holidays holidays(env, std::min(from, first), last);
    if (from < first) {
        // the months between: no rows, so no run has counted their hours and targets yet
        account.carry += sumHours(env, e.maNr, from, first.addDays(-1));
        for (QDate d(from.year(), from.month(), 1); d < first; d = d.addMonths(1))
            account.carry -=
                monthTarget(std::nullopt, e.sollstd, e.normstunden,
                            targetWorkDays(holidays, d, lastDayOfMonth(d), e.ersterArbeitstag));
    }
    account.target = monthTarget(std::nullopt, e.sollstd, e.normstunden,
                                 targetWorkDays(holidays, first, last, e.ersterArbeitstag));
    return account;
}

double monthTarget(std::optional<double> storedTarget, const QVariant& sollstd, double normstunden,
                   double workDays) {
    const double flat = nullToDouble(sollstd);
    if (flat == 0.0) return workDays * normstunden;
    return storedTarget ? *storedTarget : flat;
}

void monthRowUpdate(data::DataUmgebung& env, int maNr, const QVariant& sollstd, double normstunden,
                    int month, int year, double workDays) {
    engine::Recordset& rs = env.rsStatistik;
    if (findStatRow(env, maNr, month, year)) {
        const double stored = nullToDouble(rs.value(QStringLiteral("soll")));
        const double target = monthTarget(stored, sollstd, normstunden, workDays);
        if (target != stored) rs.setValue(QStringLiteral("soll"), target);
        return;
    }
    rs.addNew();
    rs.setValue(QStringLiteral("monat"), month);
    rs.setValue(QStringLiteral("jahr"), year);
    rs.setValue(QStringLiteral("manr"), maNr);
    rs.setValue(QStringLiteral("soll"), monthTarget(std::nullopt, sollstd, normstunden, workDays));
}

StatisticsOutcome berStatistik2(data::Session& session) {
    data::DataUmgebung& env = session.env;
    data::ProgressSink& progress = *session.progress;
    int stage = 0;
    std::exception_ptr failure;
    try {
        requeryIfOpen(env.rsStatistik);
        requeryIfOpen(env.rsDienstzeiten);
        // Read and cleared with statements of its own: the shared rsMitarbeiter keeps its
        // position and any change a window has pending on it. Only the employees marked since the
        // last run are read, in one query, in the table's order.
        const std::vector<Employee> employees = markedEmployees(env);
        progress.setMaximum(int(employees.size()));
        // The employees done are kept when a later one fails; one commit for the whole run.
        engine::Transaction run(env.Datenbank);
        int counter = 0;
        try {
            stage = 1;
            std::unordered_map<int, DutyList> duties = readAtOnce(session, employees);
            for (const Employee& employee : employees) {
                progress.setValue(++counter);
                stage = 1;
                engine::Transaction one(env.Datenbank);
                const auto read = duties.find(employee.maNr);
                EmployeeRun(session, employee, stage,
                            read == duties.end() ? nullptr : &read->second)
                    .recompute();
                stage = 4;
                clearLastChange(env, employee.maNr);
                one.commit();
            }
        } catch (...) {
            // this employee's months are rolled back; those before him are kept
            failure = std::current_exception();
        }
        run.commit();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }

    progress.setValue(0);
    try {
        requeryIfOpen(env.rsStatistik);
        engine::Recordset& shared = env.rsMitarbeiter;
        if (shared.isOpen() && !shared.isEditing() && !shared.eof() && !shared.bof())
            shared.setBookmark(shared.bookmark()); // shows the cleared lastChange
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (!failure) return StatisticsOutcome::Ok;

    const QString procedure = QStringLiteral("berStatistik2") + QString::number(stage);
    long number = engine::err::GeneralFailure;
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        number = data::errorNumber(e);
        data::report(session, e, procedure);
    } catch (...) {
        const std::runtime_error unknown("Unbekannter Fehler");
        data::report(session, unknown, procedure);
    }
    return number == engine::err::ItemNotFound || number == DatabaseStructureError
               ? StatisticsOutcome::Fatal
               : StatisticsOutcome::Failed;
}

} // namespace roster
