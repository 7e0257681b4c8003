#include "data/RowAppender.h"

#include "engine/DateValue.h"
#include "engine/Sqlite.h"

#include <QStringList>

namespace data {

std::unique_ptr<RowAppender> RowAppender::forTable(Session& session, engine::Recordset& table) {
    // one bit per column names the columns an INSERT gives
    if (!table.isTable() || table.fieldCount() > 64) return nullptr;
    // a pending change of the recordset is written first, as its next new row would write it
    if (table.isEditing()) table.update();
    if (&table == &session.env.rsDienstzeiten)
        return std::unique_ptr<RowAppender>(new RowAppender(session, table, Table::Duties));
    if (&table == &session.env.rsFeiertage)
        return std::unique_ptr<RowAppender>(new RowAppender(session, table, Table::Holidays));
    return nullptr;
}

RowAppender::RowAppender(Session& session, engine::Recordset& table, Table kind)
    : session_(session), table_(table), kind_(kind),
      maNrField_(table.fieldIndex(QStringLiteral("MaNr"))),
      dayField_(table.fieldIndex(QStringLiteral("Tag"))) {}

engine::Statement& RowAppender::insertFor(quint64 columns) {
    std::unique_ptr<engine::Statement>& insert = inserts_[columns];
    if (!insert) {
        QStringList names;
        for (int i = 0; i < table_.fieldCount(); ++i) {
            if (columns & (quint64(1) << i)) names << table_.fieldInfo(i).name;
        }
        insert = std::make_unique<engine::Statement>(*table_.connection(),
                                                     engine::insertSql(table_.source(), names));
    }
    return *insert;
}

std::optional<engine::EngineError>
RowAppender::append(const std::vector<std::optional<QVariant>>& row) {
    // the values as the recordset stores them, with its checks (width, type)
    std::vector<QVariant> stored(row.size());
    quint64 columns = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        if (!row[i]) {
            stored[i] = table_.fieldInfo(int(i)).defaultValue; // what the table fills in
            continue;
        }
        stored[i] = table_.storedValue(int(i), *row[i]);
        columns |= quint64(1) << i;
    }
    engine::Statement& insert = insertFor(columns);
    int mark = 0;
    for (size_t i = 0; i < row.size(); ++i) {
        if (columns & (quint64(1) << i)) insert.bind(++mark, stored[i]);
    }
    std::optional<engine::EngineError> refusal = insert.stepUnlessRefused();
    if (!refusal) noteWritten(stored);
    return refusal;
}

// What the recordset's hooks take of a new row: a duty lowers its employee's lastChange to its
// day, a holiday every employee's.
void RowAppender::noteWritten(const std::vector<QVariant>& stored) {
    if (dayField_ < 0) return;
    const QDate day = engine::toDate(table_.typedValue(dayField_, stored[size_t(dayField_)]));
    const auto isEarlier = [](const QDate& a, const QDate& b) {
        return a.isValid() && (!b.isValid() || a < b);
    };
    if (kind_ == Table::Holidays) {
        if (isEarlier(day, earliestHoliday_)) earliestHoliday_ = day;
        return;
    }
    if (maNrField_ < 0) return;
    const QVariant maNr = stored[size_t(maNrField_)];
    if (maNr.isNull()) return;
    const int number = maNr.toInt();
    const auto it = earliest_.find(number);
    if (it == earliest_.end()) {
        employees_ << number;
        earliest_.insert(number, day);
    } else if (isEarlier(day, *it)) {
        *it = day;
    }
}

void RowAppender::announce() {
    if (kind_ == Table::Holidays) {
        if (earliestHoliday_.isValid()) Q_EMIT session_.env.holidaysWritten(earliestHoliday_);
        earliestHoliday_ = QDate();
        return;
    }
    if (employees_.isEmpty()) return;
    QList<DataUmgebung::DutyDay> duties;
    duties.reserve(employees_.size());
    for (const int maNr : std::as_const(employees_))
        duties.append({maNr, earliest_.value(maNr)});
    employees_.clear();
    earliest_.clear();
    Q_EMIT session_.env.dutiesWritten(duties);
}

} // namespace data
