#pragma once
// The criteria of Find and Filter: "column op value" clauses joined by AND or OR, as in
// "DienstNr = 5", "Taste='F'", "tag = #3/15/2024#", "manr=3", "Kurzinfo LIKE 'Ur*'".

#include "engine/Recordset.h"

#include <QString>
#include <QVariant>

#include <vector>

namespace engine::detail {

struct Condition {
    int column = -1;
    QString op;    // = <> < > <= >= LIKE
    QVariant value; // in stored form (day numbers for dates, 0/1 for bits); null for IS NULL
    bool orWithPrevious = false;
};

using Criteria = std::vector<Condition>;

// Parses a criterion against the recordset's fields; throws EngineError (3265 for an unknown
// column, -2147217900 for a malformed text).
Criteria parseCriteria(const QString& text, const std::vector<FieldInfo>& fields);

// SQL for a table cursor: "(\"col\" = ?) AND ..." with the values appended to binds.
QString criteriaSql(const Criteria& criteria, const std::vector<FieldInfo>& fields,
                    QVariantList& binds);

// Evaluation on an in-memory row.
bool matches(const Criteria& criteria, const std::vector<QVariant>& values);

// Order of two stored values as the engine sorts them: null first, numbers by value, text
// without regard to case.
int compareStored(const QVariant& a, const QVariant& b);

// A LIKE pattern ("%" or "*" any text, "_" or "?" one character) matched without regard to case.
bool likeMatch(const QString& text, const QString& pattern);

} // namespace engine::detail
