#pragma once
// Recordsets: client-side static cursors over a table, an SQL text or a row-set XML file, with
// the operations the program was designed around (move, find, sort, filter, bookmarks, add,
// update, delete, batch updates, clone) and the two change events that the change hooks of the
// data store attach to.
//
// A table recordset reads lazily: moving, finding and sorting run indexed queries for the row
// asked for, so a recordset over a million duties costs no more than the rows it touches. A
// recordset over an SQL text or a file holds its (small) result in memory and is read-only.

#include "engine/EngineError.h"
#include "engine/RowsetXml.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace engine {

class Connection;
class Cursor;

namespace detail {
// A row as a cursor hands it over: its key (rowid of a table row, index of an in-memory row)
// and its values as stored (day numbers, 0/1, numbers, text).
struct CursorRow {
    qint64 key = 0;
    std::vector<QVariant> values;
};
} // namespace detail

// How a column's values are handed out: dates as QDateTime (Qt::UTC), bits as bool,
// whole-number columns as int, floating point columns as double, text as QString.
enum class FieldKind { Integer, Double, Boolean, Date, Text, Other };

struct FieldInfo {
    QString name;
    FieldKind kind = FieldKind::Other;
    QString declaredType;
    int width = 0; // text width; 0 when unlimited
    bool notNull = false;
    bool autoIncrement = false;
    QVariant defaultValue;
};

using Bookmark = qint64;

// The record status after a change was refused or the row vanished underneath.
enum class RecordStatus { Unmodified, New, Modified, Deleted, DeletedInDatabase };

// Reasons of the "will change record" event (numbers of the old data-access library).
namespace reason {
constexpr int AddNew = 1;
constexpr int Delete = 2;
constexpr int Update = 3;
} // namespace reason

class Recordset : public QObject {
    Q_OBJECT
public:
    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    // Opening and closing
    void openTable(Connection& connection, const QString& table);
    void openSql(Connection& connection, const QString& sql, const QVariantList& values = {},
                 const QStringList& parameterNames = {});
    void openFile(const QString& xmlPath); // row-set XML, read-only
    void openData(const RowsetData& data); // in-memory, read-only
    void close();
    bool isOpen() const;
    bool isTable() const;
    QString source() const;                  // table name or SQL text
    void requery();                          // re-read; positioned on the first row
    void saveToFile(const QString& xmlPath); // all rows (filter and sort applied)
    RowsetData toData();

    // Position
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }
    void moveFirst();
    void moveLast();
    void moveNext();     // at EOF: error 3021
    void movePrevious(); // at BOF: error 3021
    long recordCount();
    long absolutePosition(); // 1-based; -1 at BOF/EOF
    void setAbsolutePosition(long position);
    Bookmark bookmark() const; // error 3021 at BOF/EOF
    void setBookmark(Bookmark bookmark);

    // Find "column op value" (op = < > <= >= <> LIKE; value a number, 'text' or #m/d/yyyy#)
    // forward from the current row (after skipping skipRecords rows); returns !eof().
    bool find(const QString& criterion, int skipRecords = 0);
    // Sort by "col [ASC|DESC], ..."; empty restores the natural order. Keeps the current row.
    void setSort(const QString& sort);
    QString sort() const { return sort_; }
    // Only rows meeting "crit [AND|OR crit]..." are seen; empty removes the filter. Moves first.
    void setFilter(const QString& filter);
    QString filter() const { return filter_; }

    // Fields
    int fieldCount() const;
    const FieldInfo& fieldInfo(int index) const;
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const;   // without regard to case; -1 when absent
    int requireField(const QString& name) const; // the same; error 3265 when absent
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    QVariant value(const QString& name) const; // error 3265 / 3021
    QVariant value(int index) const;
    QVariant operator[](const QString& name) const { return value(name); }
    void setValue(const QString& name, const QVariant& value); // starts editing the row
    void setValue(int index, const QVariant& value);
    // The value the row had before the pending change (the stored one).
    QVariant originalValue(const QString& name) const;
    // A value for a field as a write stores it (day numbers, 0/1, checked widths; throws
    // EngineError as setValue does), and a stored value as value() hands it out. For code that
    // writes many rows with statements of its own.
    QVariant storedValue(int index, const QVariant& value) const { return toStorage(index, value); }
    QVariant typedValue(int index, const QVariant& stored) const;

    // Editing
    void addNew();
    void update(); // writes the pending change (queued in batch mode)
    void cancelUpdate();
    void deleteCurrent();
    bool isEditing() const { return editing_; }
    RecordStatus status() const { return status_; }
    bool readOnly() const { return readOnly_; }

    // Batch mode: update() and deleteCurrent() queue their changes; updateBatch() writes them
    // in one transaction (all or nothing), cancelBatch() drops them.
    void setBatchMode(bool on);
    bool batchMode() const { return batchMode_; }
    void updateBatch();
    void cancelBatch();
    int pendingChanges() const { return int(pending_.size()); }

    // A read-only recordset over the same source, sort and filter, on the first row.
    std::unique_ptr<Recordset> clone() const;

    Connection* connection() const { return connection_; }

    // A rule the table's own constraints cannot hold: called with the pending row before each
    // write (after the "will change record" handlers); it throws an EngineError to refuse the
    // row, which then stays pending as after a refused write. Kept when the recordset reopens.
    void setWriteCheck(std::function<void(const Recordset&)> check) {
        writeCheck_ = std::move(check);
    }

Q_SIGNALS:
    // Before a row is written (reason::Update) or deleted (reason::Delete), and when a new row
    // is begun (reason::AddNew). Handlers read and may still set the row's fields.
    void willChangeRecord(int reason, engine::Recordset* recordset);
    // After a field was set.
    void fieldChangeComplete(const QString& field, engine::Recordset* recordset);

private:
    using Row = detail::CursorRow;
    struct PendingChange {
        int kind = 0; // 1 insert, 2 update, 3 delete
        qint64 key = 0;
        std::vector<QVariant> values;
        std::vector<bool> changed;
    };

    void requireOpen() const;
    void requireCurrent() const;
    void setCurrent(std::optional<Row> row, bool forward);
    void flushEdit();
    QVariant toStorage(int index, const QVariant& value) const;
    void write(const PendingChange& change);
    void reloadCurrent(qint64 key);

    Connection* connection_ = nullptr;
    std::unique_ptr<Cursor> cursor_;
    std::vector<FieldInfo> fields_;
    mutable QHash<QString, int> fieldIndexes_; // fieldIndex's answers by the name asked
    QString source_;
    QString sort_;
    QString filter_;
    bool readOnly_ = true;
    bool eof_ = true;
    bool bof_ = true;
    std::optional<Row> current_;
    Row previousBeforeAdd_;
    bool hadPreviousBeforeAdd_ = false;
    bool editing_ = false;
    bool adding_ = false;
    std::vector<QVariant> buffer_;
    std::vector<bool> changed_;
    RecordStatus status_ = RecordStatus::Unmodified;
    bool batchMode_ = false;
    std::vector<PendingChange> pending_;
    std::function<void(const Recordset&)> writeCheck_;
};

} // namespace engine
