#pragma once
// Rows of a table file appended with prepared statements rather than through the table's
// recordset, for the two tables whose files grow large and whose change hooks take written rows
// in bulk: the duties and the holidays. A row costs one INSERT; the table's refusal of a row (a
// key that exists) comes back as a value, and the change hooks hear of the rows once per file
// instead of once per row.

#include "data/Session.h"
#include "engine/Sqlite.h"

#include <QDate>
#include <QHash>
#include <QList>

#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace data {

class RowAppender {
public:
    // The appender for the table of `table` (a recordset of the data environment), or nothing
    // when its rows must go through the recordset (its hooks set fields of the row, or it has
    // a write check). A pending change of a recordset it takes is written first.
    static std::unique_ptr<RowAppender> forTable(Session& session, engine::Recordset& table);

    // Writes one row: the values importedRow gives, a column without a value keeping its
    // default. A row the table refuses comes back as the error and leaves nothing in the file;
    // a value that does not fit its column throws as the recordset's setValue does.
    std::optional<engine::EngineError> append(const std::vector<std::optional<QVariant>>& row);

    // Tells the change hooks of the rows written so far (each employee once, with the earliest
    // day), inside the caller's transaction, as the recordset's hooks would have been told.
    void announce();

private:
    enum class Table { Duties, Holidays };
    RowAppender(Session& session, engine::Recordset& table, Table kind);
    engine::Statement& insertFor(quint64 columns);
    void noteWritten(const std::vector<QVariant>& stored);

    Session& session_;
    engine::Recordset& table_;
    Table kind_;
    int maNrField_ = -1;
    int dayField_ = -1;
    std::map<quint64, std::unique_ptr<engine::Statement>> inserts_; // by the columns given
    QList<int> employees_;                                          // in the order first written
    QHash<int, QDate> earliest_;
    QDate earliestHoliday_;
};

} // namespace data
