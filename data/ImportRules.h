#pragma once
// How a new row of a table is filled from the current row of a row-set file. Columns are
// matched by name without regard to case; key values (autonumbers such as MaNr) are copied like
// any other column, so that references between tables stay valid.
//
// Files of earlier formats lack columns or hold nulls where this program needs a value; for
// these columns a substitute is taken:
//   ersterArbeitstag          null: the first day of the current month (of the previous month
//                             when today is the 1st)
//   PlanName                  null: the file's Vorname; where that is null too, its Nachname
//   Pauschalstunden           null: the file's NBStunden
//   Sollstd                   null: 0
//   Normstunden (duties)      0 or null: the file's NBStunden
// These names are compared with case, so the employees' "normstunden" is not the duties'
// "Normstunden". A column the file gives no value for keeps the table's default.

#include "engine/Recordset.h"

#include <QDate>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace data {

// The value for a column of the table; nothing when the column keeps its default.
std::optional<QVariant> importedValue(const engine::Recordset& file, const QString& column,
                                      const QDate& today);

enum class AutoNumbers { Copy, Renumber };

// The value for each column of target (in its order) from the file's current row; nothing where
// the column keeps its default. Renumber leaves autonumber columns to the table (rows appended
// to a table that has rows of its own).
std::vector<std::optional<QVariant>> importedRow(const engine::Recordset& file,
                                                 const engine::Recordset& target,
                                                 const QDate& today, AutoNumbers autoNumbers);

// Sets every column of target's pending new row to the values importedRow gives.
void setImportedRow(const engine::Recordset& file, engine::Recordset& target, const QDate& today,
                    AutoNumbers autoNumbers);

} // namespace data
