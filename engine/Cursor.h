#pragma once
// The two kinds of cursor behind a Recordset: a table cursor that reads lazily through indexed
// queries, and an in-memory cursor for the results of SQL texts and files.

#include "engine/Criteria.h"
#include "engine/Recordset.h"

#include <functional>
#include <optional>

namespace engine {

struct SortKey {
    int column = -1;
    bool descending = false;
};
using SortSpec = std::vector<SortKey>;

class Cursor {
public:
    using Row = detail::CursorRow;
    virtual ~Cursor() = default;

    virtual std::optional<Row> first() = 0;
    virtual std::optional<Row> last() = 0;
    // The row after (backward: before) `from` in the current order; inclusive takes `from`
    // itself when it still qualifies.
    virtual std::optional<Row> next(const Row& from, bool backward) = 0;
    virtual std::optional<Row> find(const detail::Criteria& criteria, const Row& from) = 0;
    virtual std::optional<Row> byKey(qint64 key) = 0;
    virtual long count() = 0;
    virtual long positionOf(const Row& row) = 0; // 1-based
    virtual std::optional<Row> atPosition(long position) = 0;
    virtual void setOrder(const SortSpec& sort, const detail::Criteria& filter) = 0;
    virtual void requery() = 0;
    virtual std::unique_ptr<Cursor> clone() const = 0;

    // Writing (table cursors only; the others refuse).
    virtual qint64 insert(const std::vector<QVariant>& values, const std::vector<bool>& set) = 0;
    // false when the row no longer exists
    virtual bool update(qint64 key, const std::vector<QVariant>& values,
                        const std::vector<bool>& set) = 0;
    virtual void remove(qint64 key) = 0;
};

std::unique_ptr<Cursor> makeTableCursor(Connection& connection, const QString& table,
                                        const std::vector<FieldInfo>& fields);
std::unique_ptr<Cursor> makeMemoryCursor(std::vector<std::vector<QVariant>> rows,
                                         std::function<std::vector<std::vector<QVariant>>()> reread);

} // namespace engine
