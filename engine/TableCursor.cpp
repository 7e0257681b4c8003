// A cursor over a whole table that reads only the rows asked for. Positions are keyed by the
// sort columns and the rowid, so moving from a row is one indexed query whatever the table's size.

#include "engine/Connection.h"
#include "engine/Cursor.h"
#include "engine/Sqlite.h"
#include "engine/SqlTokenizer.h"

#include <functional>

namespace engine {

namespace {

class TableCursor final : public Cursor {
public:
    TableCursor(Connection& connection, QString table, std::vector<FieldInfo> fields)
        : connection_(connection), table_(std::move(table)), fields_(std::move(fields)) {
        for (const FieldInfo& field : fields_)
            quotedNames_.push_back(quoted(field.name));
        const QStringList cols(quotedNames_.begin(), quotedNames_.end());
        select_ = QStringLiteral("SELECT rowid AS rowid, ") + cols.join(QStringLiteral(", ")) +
                  QStringLiteral(" FROM ") + quoted(table_);
    }

    std::optional<Row> first() override { return fetchOne(QString(), {}, false); }
    std::optional<Row> last() override { return fetchOne(QString(), {}, true); }

    std::optional<Row> next(const Row& from, bool backward) override {
        QVariantList binds;
        const QString where = beyond(from, true, backward, binds);
        return fetchOne(where, binds, backward);
    }

    std::optional<Row> find(const detail::Criteria& criteria, const Row& from) override {
        QVariantList binds;
        QString where = detail::criteriaSql(criteria, fields_, binds);
        if (sort_.empty()) {
            where += QStringLiteral(" AND ") + beyond(from, false, false, binds);
            return fetchOne(where, binds, false);
        }
        // Sorted: the rows meeting the criterion are picked first (through their index), and
        // only those are ordered. Otherwise SQLite may walk the sort column's index across the
        // whole table looking for them.
        const QString f = filterSql(binds);
        if (!f.isEmpty())
            where += QStringLiteral(" AND ") + f;
        QString sql = QStringLiteral("WITH m AS MATERIALIZED (") + select_ +
                      QStringLiteral(" WHERE ") + where + QStringLiteral(") SELECT * FROM m WHERE ");
        sql += beyond(from, false, false, binds) + orderBy(false) + QStringLiteral(" LIMIT 1");
        Statement st(connection_, sql);
        st.bindAll(binds);
        if (!st.step())
            return std::nullopt;
        return readRow(st);
    }

    std::optional<Row> byKey(qint64 key) override {
        Statement st(connection_, select_ + QStringLiteral(" WHERE rowid = ?1"));
        st.bind(1, key);
        if (!st.step())
            return std::nullopt;
        return readRow(st);
    }

    long count() override {
        if (countValid_ && countStamp_ == connection_.changeCounter())
            return count_;
        QVariantList binds;
        QString sql = QStringLiteral("SELECT count(*) FROM ") + quoted(table_);
        const QString f = filterSql(binds);
        if (!f.isEmpty())
            sql += QStringLiteral(" WHERE ") + f;
        Statement st(connection_, sql);
        st.bindAll(binds);
        st.step();
        count_ = long(st.int64(0));
        countStamp_ = connection_.changeCounter();
        countValid_ = true;
        return count_;
    }

    long positionOf(const Row& row) override {
        QVariantList binds;
        QString sql = QStringLiteral("SELECT count(*) FROM ") + quoted(table_) +
                      QStringLiteral(" WHERE ") + beyond(row, true, true, binds);
        const QString f = filterSql(binds);
        if (!f.isEmpty())
            sql += QStringLiteral(" AND ") + f;
        Statement st(connection_, sql);
        st.bindAll(binds);
        st.step();
        return long(st.int64(0)) + 1;
    }

    std::optional<Row> atPosition(long position) override {
        if (position < 1)
            return std::nullopt;
        QVariantList binds;
        QString sql = select_;
        const QString f = filterSql(binds);
        if (!f.isEmpty())
            sql += QStringLiteral(" WHERE ") + f;
        sql += orderBy(false) + QStringLiteral(" LIMIT 1 OFFSET ") + QString::number(position - 1);
        Statement st(connection_, sql);
        st.bindAll(binds);
        if (!st.step())
            return std::nullopt;
        return readRow(st);
    }

    void setOrder(const SortSpec& sort, const detail::Criteria& filter) override {
        sort_ = sort;
        filter_ = filter;
        countValid_ = false;
    }

    void requery() override { countValid_ = false; }

    std::unique_ptr<Cursor> clone() const override {
        auto c = std::make_unique<TableCursor>(connection_, table_, fields_);
        c->setOrder(sort_, filter_);
        return c;
    }

    qint64 insert(const std::vector<QVariant>& values, const std::vector<bool>& set) override {
        QStringList cols;
        QVariantList binds;
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (!set[i])
                continue;
            cols << fields_[i].name;
            binds << values[i];
        }
        const QString sql = insertSql(table_, cols);
        Statement st(connection_, sql);
        st.bindAll(binds);
        st.step();
        countValid_ = false;
        return connection_.lastInsertRowId();
    }

    bool update(qint64 key, const std::vector<QVariant>& values,
                const std::vector<bool>& set) override {
        QStringList assignments;
        QVariantList binds;
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (!set[i])
                continue;
            assignments << quotedNames_[i] + QStringLiteral(" = ?");
            binds << values[i];
        }
        if (assignments.isEmpty())
            return byKey(key).has_value();
        binds << key;
        Statement st(connection_, QStringLiteral("UPDATE ") + quoted(table_) +
                                      QStringLiteral(" SET ") +
                                      assignments.join(QStringLiteral(", ")) +
                                      QStringLiteral(" WHERE rowid = ?"));
        st.bindAll(binds);
        st.step();
        return connection_.changes() > 0;
    }

    void remove(qint64 key) override {
        Statement st(connection_,
                     QStringLiteral("DELETE FROM ") + quoted(table_) + QStringLiteral(" WHERE rowid = ?1"));
        st.bind(1, key);
        st.step();
        countValid_ = false;
    }

private:
    static QString quoted(const QString& name) { return sql::quoteName(name); }

    QString filterSql(QVariantList& binds) const {
        if (filter_.empty())
            return QString();
        return detail::criteriaSql(filter_, fields_, binds);
    }

    QString orderBy(bool backward) const {
        QStringList parts;
        for (const SortKey& k : sort_) {
            const bool desc = k.descending != backward;
            parts << quoted(fields_[k.column].name) + (desc ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
        }
        parts << (backward ? QStringLiteral("rowid DESC") : QStringLiteral("rowid ASC"));
        return QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
    }

    // Rows strictly beyond `from` (or at it, when !strict) in the order walked forward, or
    // backward. SQLite sorts NULL first ascending and last descending; the comparisons follow.
    QString beyond(const Row& from, bool strict, bool backward, QVariantList& binds) const {
        QString leading;
        QVariantList leadingBinds;
        std::function<QString(size_t)> part = [&](size_t i) -> QString {
            if (i == sort_.size()) {
                binds << from.key;
                const QString op = backward ? (strict ? QStringLiteral("<") : QStringLiteral("<="))
                                            : (strict ? QStringLiteral(">") : QStringLiteral(">="));
                return QStringLiteral("rowid ") + op + QStringLiteral(" ?");
            }
            const SortKey& k = sort_[i];
            const QString col = quoted(fields_[k.column].name);
            const QVariant& c = from.values[k.column];
            const bool ascending = k.descending == backward;
            const bool cNull = c.isNull() || !c.isValid();
            QString after, equal;
            QVariantList afterBinds, equalBinds;
            if (ascending) {
                if (cNull) {
                    after = col + QStringLiteral(" IS NOT NULL");
                } else {
                    after = col + QStringLiteral(" > ?");
                    afterBinds << c;
                }
            } else {
                if (cNull) {
                    after = QStringLiteral("0");
                } else {
                    after = QStringLiteral("(") + col + QStringLiteral(" < ? OR ") + col +
                            QStringLiteral(" IS NULL)");
                    afterBinds << c;
                }
            }
            if (cNull) {
                equal = col + QStringLiteral(" IS NULL");
            } else {
                equal = col + QStringLiteral(" = ?");
                equalBinds << c;
            }
            if (i == 0 && !cNull && ascending) {
                leading = col + QStringLiteral(" >= ?");
                leadingBinds << c;
            }
            binds << afterBinds << equalBinds;
            const QString rest = part(i + 1);
            return QStringLiteral("(") + after + QStringLiteral(" OR (") + equal +
                   QStringLiteral(" AND ") + rest + QStringLiteral("))");
        };
        QVariantList inner;
        std::swap(inner, binds);
        const QString p = part(0);
        std::swap(inner, binds);
        if (!leading.isEmpty()) {
            binds << leadingBinds << inner;
            return leading + QStringLiteral(" AND ") + p;
        }
        binds << inner;
        return p;
    }

    std::optional<Row> fetchOne(const QString& where, const QVariantList& whereBinds,
                                bool backward) {
        QVariantList binds = whereBinds;
        QString sql = select_;
        QStringList conditions;
        if (!where.isEmpty())
            conditions << where;
        const QString f = filterSql(binds);
        if (!f.isEmpty())
            conditions << f;
        if (!conditions.isEmpty())
            sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
        sql += orderBy(backward) + QStringLiteral(" LIMIT 1");
        Statement st(connection_, sql);
        st.bindAll(binds);
        if (!st.step())
            return std::nullopt;
        return readRow(st);
    }

    Row readRow(Statement& st) const {
        Row r;
        r.key = st.int64(0);
        r.values.reserve(fields_.size());
        for (int i = 0; i < int(fields_.size()); ++i)
            r.values.push_back(st.value(i + 1));
        return r;
    }

    Connection& connection_;
    QString table_;
    std::vector<FieldInfo> fields_;
    std::vector<QString> quotedNames_; // the fields' names as SQL writes them
    QString select_;
    SortSpec sort_;
    detail::Criteria filter_;
    long count_ = 0;
    quint64 countStamp_ = 0;
    bool countValid_ = false;
};

} // namespace

std::unique_ptr<Cursor> makeTableCursor(Connection& connection, const QString& table,
                                        const std::vector<FieldInfo>& fields) {
    return std::make_unique<TableCursor>(connection, table, fields);
}

} // namespace engine
