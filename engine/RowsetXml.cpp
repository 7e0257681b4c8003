// Reading row-set XML files. The content is pulled token by token; every element is identified
// by its namespace URI, never by the prefix letters, and nothing in the file is trusted: no DTD,
// no entities beyond XML's own, no attribute value over 1 MB, no markup that would keep the
// parser busy out of proportion, every typed value checked. Any fault throws, so a caller gets
// all rows of a file or none.

#include "engine/RowsetXml.h"

#include "engine/EngineError.h"
#include "engine/RowsetXmlFormat.h"
#include "engine/XmlMarkupLimits.h"

#include <QBitArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <functional>
#include <limits>

namespace engine {

using namespace rowsetxml;
using namespace Qt::Literals::StringLiterals;

int RowsetData::columnIndex(const QString& name) const {
    for (qsizetype i = 0; i < columns.size(); ++i) {
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return static_cast<int>(i);
    }
    return -1;
}

namespace {

constexpr qsizetype maxAttributeLength = 1024 * 1024;

[[noreturn]] void throwBadFile(const QString& fileName, const QString& problem) {
    throw EngineError(
        err::BadFileFormat,
        QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2.").arg(fileName, problem));
}

struct FileColumn {
    RowsetColumn column;
    QString xmlName; // the attribute name in z:row (an alias such as c3 for odd names)
    int number = std::numeric_limits<int>::max(); // rs:number; columns without one come last
    IntegerRange range;
};

// An attribute of s:AttributeType, or of its nested s:datatype, which takes precedence.
class ColumnAttributes {
public:
    ColumnAttributes(const QXmlStreamAttributes& outer, const QXmlStreamAttributes& inner)
        : outer_(outer), inner_(inner) {}
    bool has(const QString& ns, QLatin1StringView name) const {
        return inner_.hasAttribute(ns, name) || outer_.hasAttribute(ns, name);
    }
    QStringView value(const QString& ns, QLatin1StringView name) const {
        return inner_.hasAttribute(ns, name) ? inner_.value(ns, name) : outer_.value(ns, name);
    }
    bool flag(const QString& ns, QLatin1StringView name) const {
        return booleanOf(value(ns, name)).value_or(false);
    }

private:
    const QXmlStreamAttributes& outer_;
    const QXmlStreamAttributes& inner_;
};

class RowsetParser {
public:
    // With `unreadRows`, a row with a value that cannot be read, and a row the file ends in, are
    // left out and described there; the rows around them are kept.
    // With `take`, the rows are handed over in portions of at most `batchRows` as they are read
    // and parse() returns the columns alone.
    RowsetParser(QXmlStreamReader& xml, const QString& fileName, qint64 maxFields,
                 QStringList* unreadRows = nullptr, const RowsetBatchTaker* take = nullptr,
                 int batchRows = 0)
        : xml_(xml), file_(fileName), maxFields_(maxFields), unreadRows_(unreadRows), take_(take),
          batchRows_(std::max(1, batchRows)) {}

    RowsetData parse() {
        while (next() != QXmlStreamReader::StartElement) {
            if (xml_.tokenType() == QXmlStreamReader::EndDocument)
                fail(QStringLiteral("sie enthält kein XML-Element"));
        }
        if (xml_.name() != u"xml")
            fail(QStringLiteral("das Wurzelelement heißt <%1> statt <xml>")
                     .arg(xml_.qualifiedName()));
        bool schemaRead = false;
        bool dataRead = false;
        while (nextChild()) {
            if (is(schemaNs, u"Schema") && !schemaRead) {
                readSchema();
                schemaRead = true;
            } else if (is(rowsetNs, u"data") && !dataRead) {
                if (!schemaRead) fail(QStringLiteral("das Schema (s:Schema) fehlt vor den Daten"));
                try {
                    inData_ = true;
                    readData();
                    inData_ = false;
                } catch (const Truncated&) {
                    unreadRows_->append(QStringLiteral("Datensatz %1: die Datei endet mitten in "
                                                       "diesem Datensatz")
                                            .arg(rowNumber_ + (inRow_ ? 0 : 1)));
                    handOver();
                    return std::move(data_);
                }
                dataRead = true;
            } else if (is(schemaNs, u"Schema") || is(rowsetNs, u"data")) {
                fail(QStringLiteral("<%1> kommt mehr als einmal vor").arg(xml_.qualifiedName()));
            } else {
                skipElement();
            }
        }
        if (!schemaRead) fail(QStringLiteral("das Schema (s:Schema) fehlt"));
        if (!dataRead) fail(QStringLiteral("der Datenteil (rs:data) fehlt"));
        while (next() != QXmlStreamReader::EndDocument) {
        }
        handOver();
        return std::move(data_);
    }

private:
    struct Truncated {};

    [[noreturn]] void fail(const QString& problem) const {
        throwBadFile(file_, QStringLiteral("%1 (Zeile %2)").arg(problem).arg(xml_.lineNumber()));
    }

    // The next token; every refusal of the format happens here.
    QXmlStreamReader::TokenType next() {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && unreadRows_ &&
                inData_)
                throw Truncated{};
            if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError)
                fail(QStringLiteral("die Datei ist unvollständig"));
            fail(QStringLiteral("fehlerhaftes XML: %1")
                     .arg(xml_.errorString().chopped(xml_.errorString().endsWith(u'.') ? 1 : 0)));
        case QXmlStreamReader::DTD:
            fail(QStringLiteral("Dokumenttyp-Deklarationen (DOCTYPE) sind nicht erlaubt"));
        case QXmlStreamReader::EntityReference:
            fail(QStringLiteral("unbekannte Entität &%1;").arg(xml_.name()));
        case QXmlStreamReader::StartElement:
            for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
                if (attribute.value().size() > maxAttributeLength)
                    fail(QStringLiteral("der Wert des Attributs %1 ist länger als 1 MB")
                             .arg(attribute.qualifiedName()));
            }
            break;
        default:
            break;
        }
        return token;
    }

    // Moves to the next child element of the current element; false at the current element's end.
    bool nextChild() {
        for (;;) {
            switch (next()) {
            case QXmlStreamReader::StartElement:
                return true;
            case QXmlStreamReader::EndElement:
                return false;
            default:
                break;
            }
        }
    }

    // Passes over the rest of the current element, however deep it is nested.
    void skipElement() {
        for (int depth = 1; depth > 0;) {
            const QXmlStreamReader::TokenType token = next();
            if (token == QXmlStreamReader::StartElement)
                ++depth;
            else if (token == QXmlStreamReader::EndElement)
                --depth;
        }
    }

    bool is(const QString& ns, QStringView localName) const {
        return xml_.namespaceUri() == ns && xml_.name() == localName;
    }

    bool isRow() const { return is(rowNs, rowName_); }

    void readSchema() {
        bool elementTypeRead = false;
        while (nextChild()) {
            if (is(schemaNs, u"ElementType") && !elementTypeRead) {
                readElementType();
                elementTypeRead = true;
            } else {
                skipElement();
            }
        }
        finishColumns();
    }

    void readElementType() {
        const QStringView name = xml_.attributes().value(QString(), "name"_L1);
        if (!name.isEmpty()) rowName_ = name.toString();
        while (nextChild()) {
            if (is(schemaNs, u"AttributeType"))
                readAttributeType();
            else
                skipElement();
        }
    }

    void readAttributeType() {
        const QXmlStreamAttributes outer = xml_.attributes();
        QXmlStreamAttributes inner;
        while (nextChild()) {
            if (is(schemaNs, u"datatype")) inner = xml_.attributes();
            skipElement();
        }
        const ColumnAttributes attributes(outer, inner);
        FileColumn column;
        column.xmlName = outer.value(QString(), "name"_L1).toString();
        const QStringView fieldName = outer.value(rowsetNs, "name"_L1);
        column.column.name = fieldName.isEmpty() ? column.xmlName : fieldName.toString();
        if (column.xmlName.isEmpty())
            fail(QStringLiteral("eine Spalte im Schema hat keinen Namen"));
        if (outer.hasAttribute(rowsetNs, "number"_L1))
            column.number = schemaNumber(outer.value(rowsetNs, "number"_L1), column.column.name);

        const DataType dataType = dataTypeNamed(attributes.value(dataTypeNs, "type"_L1));
        column.range = dataType.range;
        ColumnType& type = column.column.type;
        type = dataType.type;
        if (type == ColumnType::Long && attributes.flag(rowsetNs, "autoincrement"_L1))
            type = ColumnType::AutoNumber;
        else if (type == ColumnType::Double &&
                 attributes.value(rowsetNs, "dbtype"_L1)
                         .compare(u"currency", Qt::CaseInsensitive) == 0)
            type = ColumnType::Currency;
        else if (type == ColumnType::Text && attributes.flag(rowsetNs, "long"_L1))
            type = ColumnType::Memo;
        if (type == ColumnType::Text && attributes.has(dataTypeNs, "maxLength"_L1))
            column.column.maxLength =
                schemaNumber(attributes.value(dataTypeNs, "maxLength"_L1), column.column.name);

        if (attributes.has(rowsetNs, "nullable"_L1))
            column.column.nullable = attributes.flag(rowsetNs, "nullable"_L1);
        else if (attributes.has(rowsetNs, "maybenull"_L1))
            column.column.nullable = attributes.flag(rowsetNs, "maybenull"_L1);
        columns_.append(column);
    }

    int schemaNumber(QStringView text, const QString& columnName) const {
        bool ok = false;
        const int number = text.toInt(&ok);
        if (!ok || number < 0)
            fail(QStringLiteral("die Spalte %1 hat im Schema die ungültige Zahl %2")
                     .arg(columnName, quoted(text)));
        return number;
    }

    void finishColumns() {
        if (columns_.isEmpty()) fail(QStringLiteral("das Schema beschreibt keine Spalten"));
        std::stable_sort(
            columns_.begin(), columns_.end(),
            [](const FileColumn& a, const FileColumn& b) { return a.number < b.number; });
        for (qsizetype i = 0; i < columns_.size(); ++i) {
            if (columnsByXmlName_.contains(columns_[i].xmlName))
                fail(
                    QStringLiteral("das Attribut %1 ist im Schema mehr als einer Spalte zugeordnet")
                        .arg(columns_[i].xmlName));
            columnsByXmlName_.insert(columns_[i].xmlName, i);
            data_.columns.append(columns_[i].column);
        }
        const QString repeated = repeatedColumnName(data_.columns);
        if (!repeated.isEmpty())
            fail(QStringLiteral("die Spalte %1 kommt im Schema mehr als einmal vor").arg(repeated));
    }

    void readData() {
        while (nextChild()) {
            if (isRow()) {
                appendRow(readRow(nullptr));
            } else if (is(rowsetNs, u"insert")) {
                while (nextChild()) {
                    if (isRow())
                        appendRow(readRow(nullptr));
                    else
                        skipElement();
                }
            } else if (is(rowsetNs, u"update")) {
                readUpdate();
            } else {
                skipElement(); // rs:delete: deleted rows are no longer part of the table
            }
        }
    }

    // A pending change: rs:original holds the row as it was, the z:row beside it the values
    // that changed (a column missing there keeps its original value; rs:forcenull names the
    // columns set to null).
    void readUpdate() {
        RowsetRow changed;
        QBitArray changedColumns;
        RowsetRow original;
        bool hasChanged = false;
        bool hasOriginal = false;
        while (nextChild()) {
            if (isRow()) {
                if (hasChanged)
                    fail(QStringLiteral(
                        "eine Änderung (rs:update) enthält mehr als einen Datensatz"));
                changed = readRow(&changedColumns);
                hasChanged = true;
            } else if (is(rowsetNs, u"original")) {
                while (nextChild()) {
                    if (isRow() && hasOriginal)
                        fail(QStringLiteral("rs:original enthält mehr als einen Datensatz"));
                    if (isRow()) {
                        original = readRow(nullptr);
                        hasOriginal = true;
                    } else {
                        skipElement();
                    }
                }
            } else {
                skipElement();
            }
        }
        if (hasOriginal && hasChanged) {
            for (qsizetype i = 0; i < original.size(); ++i) {
                if (changedColumns.testBit(i)) original[i] = changed[i];
            }
        }
        if (hasOriginal)
            appendRow(original);
        else if (hasChanged)
            appendRow(changed);
        rowUnread_ = false;
    }

    // A row with a value that could not be read was described and is left out.
    void appendRow(const RowsetRow& row) {
        if (!rowUnread_) data_.rows.append(row);
        rowUnread_ = false;
        if (take_ && data_.rows.size() >= batchRows_) handOver();
    }

    // Gives the rows read so far to the taker (streaming) and forgets them.
    void handOver() {
        if (!take_ || data_.rows.isEmpty()) return;
        (*take_)(data_);
        data_.rows.clear();
    }

    // The values of the current z:row; a column without an attribute is null. Attributes
    // that belong to no column are passed over.
    RowsetRow readRow(QBitArray* setColumns) {
        ++rowNumber_;
        inRow_ = true;
        if (rowNumber_ * columns_.size() > maxFields_)
            fail(QStringLiteral("die Datei enthält mehr Felder, als ihre Größe erwarten lässt"));
        RowsetRow row(columns_.size());
        if (setColumns) *setColumns = QBitArray(columns_.size());
        qsizetype index = -1;
        for (const QXmlStreamAttribute& attribute : xml_.attributes()) {
            if (attribute.namespaceUri().isEmpty()) {
                index = columnOf(attribute.name(), index + 1);
                if (index < 0) continue;
                row[index] = value(attribute.value(), columns_[index]);
                if (setColumns) setColumns->setBit(index);
            } else if (setColumns && is(attribute, rowsetNs, u"forcenull")) {
                for (const QStringView name : attribute.value().split(u' ', Qt::SkipEmptyParts)) {
                    const qsizetype named = columnOf(name);
                    if (named >= 0) setColumns->setBit(named);
                }
            }
        }
        skipElement();
        inRow_ = false;
        return row;
    }

    static bool is(const QXmlStreamAttribute& attribute, const QString& ns, QStringView name) {
        return attribute.namespaceUri() == ns && attribute.name() == name;
    }

    // The column of an attribute of z:row; files write them in the schema's order, so the one
    // after the previous attribute's column is tried first.
    qsizetype columnOf(QStringView xmlName, qsizetype likely = 0) const {
        if (likely >= 0 && likely < columns_.size() && columns_[likely].xmlName == xmlName)
            return likely;
        for (qsizetype i = 0; i < columns_.size(); ++i) {
            if (columns_[i].xmlName == xmlName) return i;
        }
        return -1;
    }

    QVariant value(QStringView text, const FileColumn& column) const {
        QString problem;
        QVariant result = valueFromText(text, column.column.type, column.range, &problem);
        if (problem.isEmpty()) return result;
        const QString described = QStringLiteral("Datensatz %1, Feld %2: %3 %4")
                                      .arg(rowNumber_)
                                      .arg(column.column.name, quoted(text), problem);
        if (!unreadRows_) fail(described);
        if (!rowUnread_) unreadRows_->append(described);
        rowUnread_ = true;
        return {};
    }

    QXmlStreamReader& xml_;
    QString file_;
    qint64 maxFields_;
    QList<FileColumn> columns_;
    QHash<QString, qsizetype> columnsByXmlName_;
    QString rowName_ = QStringLiteral("row");
    RowsetData data_;
    qint64 rowNumber_ = 0;
    QStringList* unreadRows_ = nullptr;
    bool inData_ = false;
    bool inRow_ = false;
    mutable bool rowUnread_ = false; // set while a value is read
    const RowsetBatchTaker* take_ = nullptr;
    qsizetype batchRows_ = 1;
};

} // namespace

RowsetData parseRowsetXml(const QByteArray& content, const QString& nameForMessages,
                          QStringList* unreadRows) {
    const QString exceeded = exceededXmlMarkupLimit(content);
    if (!exceeded.isEmpty()) throwBadFile(nameForMessages, exceeded);
    // Every field costs memory whether the file gives it a value or not; a file of empty rows
    // under a wide schema must not demand gigabytes. Real tables stay far below one field
    // per byte of the file.
    const qint64 maxFields = content.size() + 1'000'000;
    QXmlStreamReader xml(content);
    return RowsetParser(xml, nameForMessages, maxFields, unreadRows).parse();
}

namespace {

// The file is checked and then parsed straight from the disk, a few kilobytes at a time, so its
// content is never held whole in memory.
RowsetData readFile(const QString& path, QStringList* unreadRows, const RowsetBatchTaker* take,
                    int batchRows) {
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile())
        throw EngineError(err::FileNotFound,
                          QStringLiteral("Die Datei %1 wurde nicht gefunden.").arg(shownPath));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EngineError(err::PermissionDenied,
                          QStringLiteral("Kein Zugriff auf die Datei %1.").arg(shownPath));
    const auto readFault = [&] {
        if (file.error() != QFileDevice::NoError)
            throw EngineError(err::PermissionDenied,
                              QStringLiteral("Die Datei %1 kann nicht gelesen werden: %2.")
                                  .arg(shownPath, file.errorString()));
    };
    const QString exceeded = exceededXmlMarkupLimit(file);
    readFault();
    if (!exceeded.isEmpty()) throwBadFile(shownPath, exceeded);
    if (!file.seek(0)) readFault();
    const qint64 maxFields = file.size() + 1'000'000;
    QXmlStreamReader xml(&file);
    RowsetData data;
    try {
        data = RowsetParser(xml, shownPath, maxFields, unreadRows, take, batchRows).parse();
    } catch (const EngineError&) {
        readFault(); // a failing disk, not a faulty file
        throw;
    }
    readFault();
    return data;
}

} // namespace

RowsetData readRowsetXml(const QString& path, QStringList* unreadRows) {
    return readFile(path, unreadRows, nullptr, 0);
}

QList<RowsetColumn> streamRowsetXml(const QString& path, const RowsetBatchTaker& take,
                                    QStringList* unreadRows, int batchRows) {
    return readFile(path, unreadRows, &take, batchRows).columns;
}

} // namespace engine
