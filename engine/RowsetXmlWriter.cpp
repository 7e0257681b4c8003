// Writing row-set XML files the way the old data-access library saved a recordset: UTF-8
// without a declaration, the schema with the library's type attributes, one z:row per row, a
// null as a missing attribute. A value the file cannot carry is refused before anything is
// committed, so a written file always reads back as it was given.

#include "engine/RowsetXml.h"

#include "engine/EngineError.h"
#include "engine/RowsetXmlFormat.h"
#include "engine/XmlMarkupLimits.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamWriter>

namespace engine {

using namespace rowsetxml;

namespace {

// The s:datatype attributes the old library wrote for a column type.
struct WrittenType {
    QString dtType;
    QString dbType;    // rs:dbtype, when it wrote one
    int maxLength = 0; // dt:maxLength: bytes of fixed-length types, characters of text
    int precision = 0; // rs:precision of numbers
    bool fixedLength = true;
    bool isLong = false; // rs:long='true' of memo columns
};

WrittenType writtenType(const RowsetColumn& column) {
    switch (column.type) {
    case ColumnType::AutoNumber:
    case ColumnType::Long:
        return {QStringLiteral("int"), {}, 4, 10};
    case ColumnType::Integer:
        return {QStringLiteral("i2"), {}, 2, 5};
    case ColumnType::Double:
        return {QStringLiteral("float"), {}, 8, 15};
    case ColumnType::Single:
        return {QStringLiteral("r4"), {}, 4, 7};
    case ColumnType::Boolean:
        return {QStringLiteral("boolean"), {}, 2, 0};
    case ColumnType::DateTime:
        return {QStringLiteral("dateTime"), QStringLiteral("variantdate"), 16, 0};
    case ColumnType::Currency:
        return {QStringLiteral("number"), QStringLiteral("currency"), 8, 19};
    case ColumnType::Memo:
        return {QStringLiteral("string"), {}, 536870910, 0, false, true};
    case ColumnType::Text:
        break;
    }
    return {QStringLiteral("string"), {}, column.maxLength, 0, false};
}

// Names the old library wrote unchanged: a letter or underscore, then letters, digits and
// underscores, not beginning with "xml". Anything else gets an alias.
bool isPlainXmlName(QStringView name) {
    if (name.isEmpty() || name.startsWith(u"xml", Qt::CaseInsensitive)) return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (!(c.isLetter() || c == u'_' || (i > 0 && c.isDigit()))) return false;
    }
    return true;
}

// The z:row attribute name of every column: its own name, or "c" + its position for a name
// that is not a plain XML name (with underscores added should that clash with another column).
QStringList attributeNames(const QList<RowsetColumn>& columns) {
    QSet<QString> taken;
    for (const RowsetColumn& column : columns) {
        if (isPlainXmlName(column.name)) taken.insert(column.name);
    }
    QStringList names;
    for (qsizetype i = 0; i < columns.size(); ++i) {
        QString name = columns[i].name;
        if (!isPlainXmlName(name)) {
            name = QStringLiteral("c%1").arg(i);
            while (taken.contains(name))
                name += u'_';
            taken.insert(name);
        }
        names.append(name);
    }
    return names;
}

class RowsetWriter {
public:
    RowsetWriter(QXmlStreamWriter& xml, const QString& fileName) : xml_(xml), file_(fileName) {}

    void write(const RowsetData& data) {
        const QString repeated = repeatedColumnName(data.columns);
        if (!repeated.isEmpty())
            fail(QStringLiteral("die Spalte %1 kommt mehr als einmal vor").arg(repeated));
        // What the reader refuses is not written either.
        if (data.columns.isEmpty()) fail(QStringLiteral("die Tabelle hat keine Spalten"));
        if (data.columns.size() > maxXmlAttributesPerElement)
            fail(QStringLiteral("die Tabelle hat mehr als %1 Spalten")
                     .arg(maxXmlAttributesPerElement));
        const QStringList names = attributeNames(data.columns);

        // The root goes first without formatting, which would put a line break before it.
        xml_.writeStartElement(QStringLiteral("xml"));
        xml_.writeNamespace(schemaNs, QStringLiteral("s"));
        xml_.writeNamespace(dataTypeNs, QStringLiteral("dt"));
        xml_.writeNamespace(rowsetNs, QStringLiteral("rs"));
        xml_.writeNamespace(rowNs, QStringLiteral("z"));
        xml_.setAutoFormatting(true);
        xml_.setAutoFormattingIndent(-1);
        xml_.writeStartElement(schemaNs, QStringLiteral("Schema"));
        xml_.writeAttribute(QStringLiteral("id"), QStringLiteral("RowsetSchema"));
        xml_.writeStartElement(schemaNs, QStringLiteral("ElementType"));
        xml_.writeAttribute(QStringLiteral("name"), QStringLiteral("row"));
        xml_.writeAttribute(QStringLiteral("content"), QStringLiteral("eltOnly"));
        xml_.writeAttribute(rowsetNs, QStringLiteral("updatable"), QStringLiteral("true"));
        for (qsizetype i = 0; i < data.columns.size(); ++i)
            writeColumn(data.columns[i], names[i], i + 1);
        xml_.writeEmptyElement(schemaNs, QStringLiteral("extends"));
        xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("rs:rowbase"));
        xml_.writeEndElement(); // s:ElementType
        xml_.writeEndElement(); // s:Schema

        xml_.writeStartElement(rowsetNs, QStringLiteral("data"));
        for (qsizetype r = 0; r < data.rows.size(); ++r)
            writeRow(data.columns, names, data.rows[r], r + 1);
        xml_.writeEndElement(); // rs:data
        xml_.writeEndElement(); // xml
        xml_.writeEndDocument();
        checkWritten(QStringLiteral("die Daten enthalten Zeichen, die in XML nicht erlaubt sind"));
    }

private:
    [[noreturn]] void fail(const QString& problem) const {
        throw EngineError(
            err::GeneralFailure,
            file_.isEmpty()
                ? QStringLiteral("Die Tabelle kann nicht als XML gespeichert werden: %1.")
                      .arg(problem)
                : QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.")
                      .arg(file_, problem));
    }

    // The writer refuses characters XML cannot carry (control characters, lone surrogates)
    // and reports a failing device the same way; tell the two apart for the message.
    void checkWritten(const QString& problemOfCharacters) const {
        if (!xml_.hasError()) return;
        const auto* device = qobject_cast<const QFileDevice*>(xml_.device());
        if (device && device->error() != QFileDevice::NoError)
            throw EngineError(err::PermissionDenied,
                              QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.")
                                  .arg(file_, device->errorString()));
        fail(problemOfCharacters);
    }

    void writeColumn(const RowsetColumn& column, const QString& name, qsizetype number) {
        xml_.writeStartElement(schemaNs, QStringLiteral("AttributeType"));
        xml_.writeAttribute(QStringLiteral("name"), name);
        if (name != column.name) xml_.writeAttribute(rowsetNs, QStringLiteral("name"), column.name);
        xml_.writeAttribute(rowsetNs, QStringLiteral("number"), QString::number(number));
        if (column.nullable)
            xml_.writeAttribute(rowsetNs, QStringLiteral("nullable"), QStringLiteral("true"));
        if (column.type == ColumnType::AutoNumber)
            xml_.writeAttribute(rowsetNs, QStringLiteral("autoincrement"), QStringLiteral("true"));
        xml_.writeAttribute(rowsetNs, QStringLiteral("writeunknown"), QStringLiteral("true"));

        const WrittenType type = writtenType(column);
        xml_.writeEmptyElement(schemaNs, QStringLiteral("datatype"));
        xml_.writeAttribute(dataTypeNs, QStringLiteral("type"), type.dtType);
        if (!type.dbType.isEmpty())
            xml_.writeAttribute(rowsetNs, QStringLiteral("dbtype"), type.dbType);
        if (type.maxLength > 0)
            xml_.writeAttribute(dataTypeNs, QStringLiteral("maxLength"),
                                QString::number(type.maxLength));
        if (type.precision > 0)
            xml_.writeAttribute(rowsetNs, QStringLiteral("precision"),
                                QString::number(type.precision));
        if (type.isLong)
            xml_.writeAttribute(rowsetNs, QStringLiteral("long"), QStringLiteral("true"));
        if (type.fixedLength)
            xml_.writeAttribute(rowsetNs, QStringLiteral("fixedlength"), QStringLiteral("true"));
        if (!column.nullable)
            xml_.writeAttribute(rowsetNs, QStringLiteral("maybenull"), QStringLiteral("false"));
        xml_.writeEndElement(); // s:AttributeType
        checkWritten(
            QStringLiteral("der Spaltenname %1 enthält Zeichen, die in XML nicht erlaubt sind")
                .arg(quoted(column.name)));
    }

    void writeRow(const QList<RowsetColumn>& columns, const QStringList& names,
                  const RowsetRow& row, qsizetype number) {
        if (row.size() != columns.size())
            fail(QStringLiteral("Datensatz %1 hat %2 Werte für %3 Spalten")
                     .arg(number)
                     .arg(row.size())
                     .arg(columns.size()));
        xml_.writeEmptyElement(rowNs, QStringLiteral("row"));
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QVariant& value = row[i];
            if (!value.isValid() || value.isNull()) continue;
            QString problem;
            const QString text = textFromValue(value, columns[i].type, &problem);
            const QString where =
                QStringLiteral("Datensatz %1, Feld %2").arg(number).arg(columns[i].name);
            if (!problem.isEmpty())
                fail(QStringLiteral("%1: %2 %3").arg(where, quoted(value.toString()), problem));
            xml_.writeAttribute(names[i], text);
            checkWritten(where + QStringLiteral(
                                     ": der Wert enthält Zeichen, die in XML nicht erlaubt sind"));
        }
    }

    QXmlStreamWriter& xml_;
    QString file_;
};

} // namespace

QByteArray formatRowsetXml(const RowsetData& data) {
    QByteArray content;
    QXmlStreamWriter xml(&content);
    RowsetWriter(xml, QString()).write(data);
    return content;
}

void writeRowsetXml(const QString& path, const RowsetData& data) {
    const QString shownPath = QDir::toNativeSeparators(path);
    // QSaveFile writes beside the target and replaces it only on commit; an exception before
    // that discards the partial file and leaves an existing file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw EngineError(err::PermissionDenied,
                          QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.")
                              .arg(shownPath, file.errorString()));
    QXmlStreamWriter xml(&file);
    RowsetWriter(xml, shownPath).write(data);
    // commit() does not look at the flush of the last buffered bytes: flush first
    if (!file.flush() || !file.commit())
        throw EngineError(err::PermissionDenied,
                          QStringLiteral("Die Datei %1 kann nicht geschrieben werden: %2.")
                              .arg(shownPath, file.errorString()));
}

} // namespace engine
