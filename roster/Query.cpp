#include "roster/Query.h"

#include "engine/SqlDialect.h"

namespace roster {

Query::Query(const QString& text, const QStringList& parameters)
    : sql_(engine::translateSql(text, parameters).sql) {}

std::optional<QVariant> Query::scalar(engine::Connection& connection,
                                      const QVariantList& values) const {
    QueryRun run(connection, *this, values);
    if (!run.next()) return std::nullopt;
    return run.value(0);
}

QueryRun::QueryRun(engine::Connection& connection, const Query& query, const QVariantList& values)
    : statement_(connection, query.sql()) {
    statement_.bindAll(values);
}

} // namespace roster
