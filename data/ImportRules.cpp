#include "data/ImportRules.h"

#include "engine/DateValue.h"

namespace data {

namespace {

// The file's value of a column, or nothing when the file has no such column.
std::optional<QVariant> fileValue(const engine::Recordset& file, const QString& name) {
    const int index = file.fieldIndex(name);
    if (index < 0) return std::nullopt;
    return file.value(index);
}

bool isNull(const std::optional<QVariant>& value) {
    return !value || value->isNull();
}

// The first of the file's columns that holds a value; else whatever the last one gives.
std::optional<QVariant> firstOf(const engine::Recordset& file,
                                std::initializer_list<const char*> names) {
    std::optional<QVariant> value;
    for (const char* name : names) {
        value = fileValue(file, QLatin1String(name));
        if (!isNull(value)) return value;
    }
    return value;
}

} // namespace

std::optional<QVariant> importedValue(const engine::Recordset& file, const QString& column,
                                      const QDate& today) {
    const std::optional<QVariant> own = fileValue(file, column);
    if (column == QLatin1String("ersterArbeitstag")) {
        if (!isNull(own)) return own;
        const QDate firstOfMonth = today.addDays(-today.addDays(-1).day());
        return engine::dateVariant(firstOfMonth);
    }
    if (column == QLatin1String("PlanName"))
        return firstOf(file, {"PlanName", "Vorname", "Nachname"});
    if (column == QLatin1String("Pauschalstunden"))
        return firstOf(file, {"Pauschalstunden", "NBStunden"});
    if (column == QLatin1String("Sollstd")) return isNull(own) ? QVariant(0.0) : *own;
    if (column == QLatin1String("Normstunden")) {
        if (!isNull(own) && own->toDouble() != 0) return own;
        const std::optional<QVariant> nb = fileValue(file, QStringLiteral("NBStunden"));
        return nb ? nb : own;
    }
    return own;
}

std::vector<std::optional<QVariant>> importedRow(const engine::Recordset& file,
                                                 const engine::Recordset& target,
                                                 const QDate& today, AutoNumbers autoNumbers) {
    std::vector<std::optional<QVariant>> row(size_t(target.fieldCount()));
    for (int i = 0; i < target.fieldCount(); ++i) {
        const engine::FieldInfo& field = target.fieldInfo(i);
        if (field.autoIncrement && autoNumbers == AutoNumbers::Renumber) continue;
        std::optional<QVariant> value = importedValue(file, field.name, today);
        // A null for a required column with a default keeps the default rather than refusing
        // the whole row.
        if (value && value->isNull() && field.notNull && field.defaultValue.isValid()) continue;
        row[size_t(i)] = std::move(value);
    }
    return row;
}

void setImportedRow(const engine::Recordset& file, engine::Recordset& target, const QDate& today,
                    AutoNumbers autoNumbers) {
    const std::vector<std::optional<QVariant>> row = importedRow(file, target, today, autoNumbers);
    for (int i = 0; i < int(row.size()); ++i) {
        if (row[size_t(i)]) target.setValue(i, *row[size_t(i)]);
    }
}

} // namespace data
