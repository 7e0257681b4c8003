#pragma once
// What reading and writing row-set XML files share: the namespaces of the format, its data
// type names, and the text form of values in z:row attributes.

#include "engine/RowsetXml.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <optional>

namespace engine::rowsetxml {

inline const QString schemaNs = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
inline const QString dataTypeNs = QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882");
inline const QString rowsetNs = QStringLiteral("urn:schemas-microsoft-com:rowset");
inline const QString rowNs = QStringLiteral("#RowsetSchema");

struct IntegerRange {
    qint64 min = 0;
    qint64 max = 0;
};

struct DataType {
    ColumnType type = ColumnType::Text;
    IntegerRange range; // integer types only
};

// The type of a dt:type name (without regard to case). Binary, uuid, an unknown name or no
// name at all read as text: the value is kept as written.
DataType dataTypeNamed(QStringView name);

// The range of values a column of an integer type holds as we write it (i2 or int).
IntegerRange integerRange(ColumnType type);

// True/False, true/false, 1/0 (and -1 for true); nullopt for anything else.
std::optional<bool> booleanOf(QStringView text);

// The value an attribute text stands for in a column. On a bad value the result is invalid
// and *problem tells what is wrong, phrased to follow the quoted value ("ist keine Zahl").
QVariant valueFromText(QStringView text, ColumnType type, IntegerRange range, QString* problem);

// The attribute text of a value for a column. When the column cannot hold the value, the
// result is empty and *problem tells why, phrased as for valueFromText.
QString textFromValue(const QVariant& value, ColumnType type, QString* problem);

// The first column name that another column repeats (without regard to case); empty when
// all names differ.
QString repeatedColumnName(const QList<RowsetColumn>& columns);

// A value for messages: in German quotation marks, shortened to a readable length.
QString quoted(QStringView text);

} // namespace engine::rowsetxml
