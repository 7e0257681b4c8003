// Row-set XML files: the forms in which files of the old program arrive, every column type,
// hostile files, and the round trip of what we write.

#include "engine/EngineError.h"
#include "engine/RowsetXml.h"

#include <QDir>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <functional>
#include <limits>

using namespace engine;

namespace {

const char* const namespaces = "xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
                               "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
                               "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
                               "\txmlns:z='#RowsetSchema'";

// The holiday file as the old program saved it; %1 is the content of rs:data.
QByteArray holidayFile(const QString& rows) {
    return QStringLiteral(R"(<xml %1>
<s:Schema id='RowsetSchema'>
	<s:ElementType name='row' content='eltOnly' rs:updatable='true'>
		<s:AttributeType name='Tag' rs:number='1' rs:writeunknown='true' rs:basetable='Feiertage' rs:basecolumn='Tag'>
			<s:datatype dt:type='dateTime' rs:dbtype='variantdate' dt:maxLength='16' rs:fixedlength='true' rs:maybenull='false'/>
		</s:AttributeType>
		<s:AttributeType name='Name' rs:number='2' rs:nullable='true' rs:writeunknown='true' rs:basetable='Feiertage' rs:basecolumn='Name'>
			<s:datatype dt:type='string' dt:maxLength='50'/>
		</s:AttributeType>
		<s:AttributeType name='Prozent' rs:number='3' rs:nullable='true' rs:writeunknown='true' rs:basetable='Feiertage' rs:basecolumn='Prozent'>
			<s:datatype dt:type='r4' dt:maxLength='4' rs:precision='7' rs:fixedlength='true'/>
		</s:AttributeType>
		<s:extends type='rs:rowbase'/>
	</s:ElementType>
</s:Schema>
<rs:data>
%2</rs:data>
</xml>
)")
        .arg(QString::fromLatin1(namespaces), rows)
        .toUtf8();
}

const char* const holidayRows =
    "\t<z:row Tag='2002-01-01T00:00:00' Name='Neujahr' Prozent='1'/>\n"
    "\t<z:row Tag='2002-12-25T00:00:00' Prozent='0.5'/>\n"
    "\t<z:row Tag='2002-12-26T12:30:15' Name='Zweiter Tag &amp; &lt;Feier&gt; für alle'/>\n";

QByteArray holidays() {
    return holidayFile(QString::fromUtf8(holidayRows));
}

QVariant utc(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, m, d), QTime(h, mi, s), Qt::UTC);
}

RowsetData expectedHolidays() {
    RowsetData data;
    data.columns = {{"Tag", ColumnType::DateTime, 0, false},
                    {"Name", ColumnType::Text, 50, true},
                    {"Prozent", ColumnType::Single, 0, true}};
    data.rows = {
        {utc(2002, 1, 1), QString("Neujahr"), 1.0},
        {utc(2002, 12, 25), QVariant(), 0.5},
        {utc(2002, 12, 26, 12, 30, 15), QString("Zweiter Tag & <Feier> für alle"), QVariant()}};
    return data;
}

QByteArray utf16WithBom(const QByteArray& utf8, QStringConverter::Encoding encoding) {
    QStringEncoder encoder(encoding, QStringEncoder::Flag::WriteBom);
    return QByteArray(encoder(QString::fromUtf8(utf8)));
}

// A file with the one column F; the attributes go on s:AttributeType and s:datatype.
QByteArray oneColumnFile(const QString& attributeType, const QString& datatype,
                         const QString& value) {
    return QStringLiteral(
               "<xml %1><s:Schema id='RowsetSchema'><s:ElementType name='row' content='eltOnly'>"
               "<s:AttributeType name='F' rs:number='1' %2><s:datatype %3/></s:AttributeType>"
               "</s:ElementType></s:Schema><rs:data><z:row F='%4'/></rs:data></xml>")
        .arg(QString::fromLatin1(namespaces), attributeType, datatype, value)
        .toUtf8();
}

void compareData(const RowsetData& actual, const RowsetData& expected) {
    QCOMPARE(actual.columns.size(), expected.columns.size());
    for (qsizetype i = 0; i < expected.columns.size(); ++i) {
        QCOMPARE(actual.columns[i].name, expected.columns[i].name);
        QCOMPARE(actual.columns[i].type, expected.columns[i].type);
        QCOMPARE(actual.columns[i].maxLength, expected.columns[i].maxLength);
        QCOMPARE(actual.columns[i].nullable, expected.columns[i].nullable);
    }
    QCOMPARE(actual.rows.size(), expected.rows.size());
    for (qsizetype r = 0; r < expected.rows.size(); ++r) {
        QCOMPARE(actual.rows[r].size(), expected.rows[r].size());
        for (qsizetype c = 0; c < expected.rows[r].size(); ++c) {
            const QVariant& a = actual.rows[r][c];
            const QVariant& e = expected.rows[r][c];
            QVERIFY2(a.isValid() == e.isValid() && a.typeId() == e.typeId() && a == e,
                     qPrintable(QStringLiteral("row %1, column %2: %3 instead of %4")
                                    .arg(r)
                                    .arg(c)
                                    .arg(a.toString(), e.toString())));
        }
    }
}

EngineError errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EngineError& error) {
        return error;
    }
    return EngineError(0, QString());
}

} // namespace

class TestRowsetXml : public QObject {
    Q_OBJECT

private slots:
    void readsFilesOfTheOldProgram_data() {
        QTest::addColumn<QByteArray>("content");
        const QByteArray file = holidays();
        QTest::newRow("as saved by the old library") << file;
        QTest::newRow("UTF-16 little endian with BOM")
            << utf16WithBom(file, QStringConverter::Utf16LE);
        QTest::newRow("UTF-16 big endian with BOM")
            << utf16WithBom(file, QStringConverter::Utf16BE);
        QTest::newRow("declaration, comments, unknown elements and attributes")
            << holidayFile(
                   QStringLiteral(
                       "<!-- Kommentar mit ' und \" --><?pi x='?><rs:other><z:row "
                       "Tag='x'/></rs:other>"
                       "<![CDATA[ <z:row Tag=\"x\"/> ' ]]>"
                       "<z:row Tag='2002-01-01T00:00:00' Name='Neujahr' Prozent='1' Extra='?'>"
                       "<unbekannt/></z:row>"
                       "<z:row Tag='2002-12-25' Prozent='5e-1'/>"
                       "<z:row Tag='2002-12-26T12:30:15.2' Name='Zweiter Tag &#38; &lt;Feier&gt; "
                       "f&#252;r alle'/>"))
                   .prepend("<?xml version='1.0' encoding='UTF-8'?>\n");
        // Written with single quotes here and turned into double quotes.
        QTest::newRow("double quotes, wrapped tags, other prefixes, data in the default namespace")
            << QByteArray(R"(<xml xmlns:x='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'
   xmlns:t='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882' xmlns:r='urn:schemas-microsoft-com:rowset'>
 <x:Schema id='RowsetSchema'><x:ElementType
   name='row' content='eltOnly'>
  <x:AttributeType name='Prozent' r:number='3' r:nullable='true' t:type='r4'/>
  <x:AttributeType
     name='c1' r:name='Name'
     r:number='2' r:nullable='true'
     t:type='string' t:maxLength='50'/>
  <x:AttributeType name='Tag' r:number='1'><x:datatype t:type='dateTime'
     r:maybenull='false'/></x:AttributeType>
 </x:ElementType></x:Schema>
 <r:data xmlns='#RowsetSchema'>
  <row Tag='2002-01-01T00:00:00'
       c1='Neujahr'
       Prozent='1'/>
  <row Prozent='0.5' Tag='2002-12-25T00:00:00'/>
  <row Tag='2002-12-26T12:30:15' c1='Zweiter Tag &amp; &lt;Feier&gt; für alle'></row>
 </r:data>
</xml>)")
                   .replace('\'', '"');
        // Pending changes: the first row inserted, the second updated (only the changed value
        // and a forced null in the new row), one row deleted.
        QTest::newRow("pending insert, update and delete") << holidayFile(QStringLiteral(
            "<rs:insert><z:row Tag='2002-01-01T00:00:00' Name='Neujahr' Prozent='1'/></rs:insert>"
            "<rs:update><z:row Prozent='0.5' rs:forcenull='Name'/><rs:original>"
            "<z:row Tag='2002-12-25T00:00:00' Name='Weihnachten' "
            "Prozent='0.25'/></rs:original></rs:update>"
            "<rs:delete><z:row Tag='2002-12-24T00:00:00' Name='gelöscht'/></rs:delete>"
            "<rs:update><rs:original><z:row Tag='2002-12-26T12:30:15' Name='alt' "
            "Prozent='2'/></rs:original>"
            "<z:row Name='Zweiter Tag &amp; &lt;Feier&gt; für alle' "
            "rs:forcenull='Prozent'/></rs:update>"));
        QTest::newRow("deeply nested unknown elements")
            << holidayFile(QString::fromUtf8(holidayRows) + QStringLiteral("<a>").repeated(100000) +
                           QStringLiteral("</a>").repeated(100000));
    }
    void readsFilesOfTheOldProgram() {
        QFETCH(QByteArray, content);
        compareData(parseRowsetXml(content, "Feiertage.xml"), expectedHolidays());
    }

    void readsEveryColumnType_data() {
        QTest::addColumn<QString>("attributeType");
        QTest::addColumn<QString>("datatype");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<QVariant>("value");
        const auto row = [](const char* name, const char* attributeType, const char* datatype,
                            const char* text, ColumnType type, const QVariant& value,
                            int maxLength = 0) {
            QTest::newRow(name) << QString(attributeType) << QString::fromUtf8(datatype)
                                << QString::fromUtf8(text) << int(type) << maxLength << value;
        };
        const int intMax = std::numeric_limits<int>::max();
        row("autonumber", "rs:autoincrement='true'", "dt:type='int'", "7", ColumnType::AutoNumber,
            7);
        row("long", "", "dt:type='int' dt:maxLength='4'", "-2147483648", ColumnType::Long,
            std::numeric_limits<int>::min());
        row("i4", "", "dt:type='i4'", " 12 ", ColumnType::Long, 12);
        row("i8", "", "dt:type='i8'", "2147483647", ColumnType::Long, intMax);
        row("ui4", "", "dt:type='ui4'", "5", ColumnType::Long, 5);
        row("ui2", "", "dt:type='ui2'", "65535", ColumnType::Long, 65535);
        row("integer", "", "dt:type='i2'", "-32768", ColumnType::Integer, -32768);
        row("i1", "", "dt:type='i1'", "-5", ColumnType::Integer, -5);
        row("ui1", "", "dt:type='ui1'", "255", ColumnType::Integer, 255);
        row("double with exponent", "", "dt:type='float'", "1.5E3", ColumnType::Double, 1500.0);
        row("r8", "", "dt:type='r8'", "-0.125", ColumnType::Double, -0.125);
        row("number", "", "dt:type='number'", "3.25", ColumnType::Double, 3.25);
        row("single", "", "dt:type='r4'", "0.1", ColumnType::Single, 0.1);
        row("currency", "", "dt:type='number' rs:dbtype='currency'", "12.3456",
            ColumnType::Currency, 12.3456);
        row("boolean True", "", "dt:type='boolean'", "True", ColumnType::Boolean, true);
        row("boolean False", "", "dt:type='boolean'", "False", ColumnType::Boolean, false);
        row("boolean true", "", "dt:type='boolean'", "true", ColumnType::Boolean, true);
        row("boolean 1", "", "dt:type='boolean'", "1", ColumnType::Boolean, true);
        row("boolean 0", "", "dt:type='boolean'", "0", ColumnType::Boolean, false);
        row("date/time", "", "dt:type='dateTime' rs:dbtype='variantdate'", "2002-09-29T13:45:10",
            ColumnType::DateTime, utc(2002, 9, 29, 13, 45, 10));
        row("date only", "", "dt:type='dateTime'", "2002-09-29", ColumnType::DateTime,
            utc(2002, 9, 29));
        row("date type", "", "dt:type='date'", "2002-09-29", ColumnType::DateTime,
            utc(2002, 9, 29));
        row("zone offset kept as wall clock", "", "dt:type='dateTime.tz'",
            "2002-09-29T10:20:30+02:00", ColumnType::DateTime, utc(2002, 9, 29, 10, 20, 30));
        row("fraction rounds up", "", "dt:type='dateTime'", "2002-12-31T23:59:59.5",
            ColumnType::DateTime, utc(2003, 1, 1));
        row("fraction rounds down", "", "dt:type='dateTime'", "2002-09-29T10:20:30.4999",
            ColumnType::DateTime, utc(2002, 9, 29, 10, 20, 30));
        row("text with escapes", "", "dt:type='string' dt:maxLength='50'",
            "a &lt;b&gt; &amp; &quot;c&quot; &apos;d&apos;&#10;e&#9;f  ", ColumnType::Text,
            QString("a <b> & \"c\" 'd'\ne\tf  "), 50);
        row("empty text is not null", "", "dt:type='string' dt:maxLength='50'", "",
            ColumnType::Text, QString(""), 50);
        row("memo", "", "dt:type='string' dt:maxLength='536870910' rs:long='true'", "lang",
            ColumnType::Memo, QString("lang"));
        row("bin.hex as text", "", "dt:type='bin.hex'", "0AFF", ColumnType::Text, QString("0AFF"));
        row("uuid as text", "", "dt:type='uuid'", "{6F9619FF-8B86-D011-B42D-00C04FC964FF}",
            ColumnType::Text, QString("{6F9619FF-8B86-D011-B42D-00C04FC964FF}"));
        row("no type is text", "", "", "1.5", ColumnType::Text, QString("1.5"));
        row("type on the attribute type", "dt:type='i2'", "", "3", ColumnType::Integer, 3);
    }
    void readsEveryColumnType() {
        QFETCH(QString, attributeType);
        QFETCH(QString, datatype);
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, maxLength);
        QFETCH(QVariant, value);
        RowsetData expected;
        expected.columns = {{"F", ColumnType(type), maxLength, true}};
        expected.rows = {{value}};
        compareData(parseRowsetXml(oneColumnFile(attributeType, datatype, text), "f.xml"),
                    expected);
    }

    void refusesBadFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        const QByteArray file = holidays();
        const auto withRows = [](const char* rows) { return holidayFile(QString::fromUtf8(rows)); };
        QTest::newRow("empty") << QByteArray() << "unvollständig";
        QTest::newRow("truncated in a row")
            << file.left(file.indexOf("Neujahr") + 3) << "unvollständig";
        QTest::newRow("truncated before the root ends")
            << file.left(file.indexOf("</xml>")) << "unvollständig";
        QTest::newRow("not XML") << QByteArray("PK\x03\x04\x00\x01"
                                               "binary",
                                               12)
                                 << "fehlerhaftes XML";
        QTest::newRow("content after the root") << file + "<xml/>"
                                                << "fehlerhaftes XML";
        QTest::newRow("wrong root")
            << QByteArray(file).replace("<xml ", "<root ").replace("</xml>", "</root>") << "<root>";
        QTest::newRow("no schema")
            << QStringLiteral("<xml %1><rs:data/></xml>").arg(namespaces).toUtf8() << "Schema";
        QTest::newRow("no data") << file.left(file.indexOf("<rs:data>")) + "</xml>"
                                 << "rs:data";
        QTest::newRow("no columns")
            << QStringLiteral(
                   "<xml %1><s:Schema><s:ElementType name='row'/></s:Schema><rs:data/></xml>")
                   .arg(namespaces)
                   .toUtf8()
            << "keine Spalten";
        QTest::newRow("column twice")
            << QByteArray(file).replace("name='Prozent'", "name='tag'") << "mehr als einmal";
        QTest::newRow("bad rs:number")
            << QByteArray(file).replace("rs:number='2'", "rs:number='zwei'") << "ungültige Zahl";
        QTest::newRow("attribute over 1 MB")
            << holidayFile(QStringLiteral("<z:row Tag='2002-01-01' Name='%1'/>")
                               .arg(QString(1024 * 1024 + 1, u'x')))
            << "länger als 1 MB";
        QString crowded = QStringLiteral("<z:row Tag='2002-01-01'");
        for (int i = 0; i < 100000; ++i)
            crowded += QStringLiteral(" a%1=''").arg(i);
        const QByteArray crowdedFile = holidayFile(crowded + QStringLiteral("/>"));
        QTest::newRow("element with 100000 attributes") << crowdedFile << "mehr als 300 Attribute";
        QTest::newRow("element with 100000 attributes, UTF-16")
            << utf16WithBom(crowdedFile, QStringConverter::Utf16LE) << "mehr als 300 Attribute";
        QString declarations;
        for (int i = 0; i < 200; ++i)
            declarations += QStringLiteral("<n xmlns:p%1 = \"urn:%1\">").arg(i);
        QTest::newRow("namespace declarations piled up")
            << holidayFile(declarations + QStringLiteral("</n>").repeated(200))
            << "mehr als 100 Namensräume";
        QString wide =
            QStringLiteral("<xml %1><s:Schema><s:ElementType name='row'>").arg(namespaces);
        for (int i = 0; i < 1000; ++i)
            wide += QStringLiteral("<s:AttributeType name='f%1'/>").arg(i);
        wide += QStringLiteral("</s:ElementType></s:Schema><rs:data>") +
                QStringLiteral("<z:row/>").repeated(1100) + QStringLiteral("</rs:data></xml>");
        QTest::newRow("empty rows under a wide schema") << wide.toUtf8() << "mehr Felder";
        QTest::newRow("unknown entity")
            << withRows("<z:row Tag='2002-01-01' Name='&foo;'/>") << "foo";
        QTest::newRow("entity expansion")
            << QByteArray("<!DOCTYPE xml [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b "
                          "'&a;&a;&a;&a;&a;&a;&a;&a;'>]>") +
                   QByteArray(file).replace("Neujahr", "&b;")
            << "DOCTYPE";
        QTest::newRow("external entity")
            << QByteArray("<!DOCTYPE xml SYSTEM 'file:///etc/passwd'>") + file << "DOCTYPE";
        QTest::newRow("number abc") << withRows("<z:row Tag='2002-01-01' Prozent='abc'/>")
                                    << "Datensatz 1, Feld Prozent: „abc“ ist keine Zahl";
        QTest::newRow("infinite number")
            << withRows("<z:row Tag='2002-01-01' Prozent='inf'/>") << "keine Zahl";
        QTest::newRow("date 2024-13-45")
            << withRows("<z:row Tag='2002-01-01'/><z:row Tag='2024-13-45'/>")
            << "Datensatz 2, Feld Tag: „2024-13-45“ ist kein gültiges Datum";
        QTest::newRow("time 24:00")
            << withRows("<z:row Tag='2024-01-01T24:00:00'/>") << "kein gültiges Datum";
        QTest::newRow("bad value in a pending insert")
            << withRows("<rs:insert><z:row Tag='gestern'/></rs:insert>") << "kein gültiges Datum";
        QTest::newRow("update with two new rows")
            << withRows("<rs:update><z:row Tag='2002-01-01'/><z:row Tag='2002-01-02'/></rs:update>")
            << "mehr als einen Datensatz";
        QTest::newRow("i2 out of range")
            << oneColumnFile("", "dt:type='i2'", "40000") << "-32768 bis 32767";
        QTest::newRow("int out of range")
            << oneColumnFile("", "dt:type='i8'", "3000000000") << "außerhalb des Bereichs";
        QTest::newRow("fraction in an integer")
            << oneColumnFile("", "dt:type='int'", "1.5") << "keine ganze Zahl";
        QTest::newRow("boolean maybe")
            << oneColumnFile("", "dt:type='boolean'", "vielleicht") << "Ja/Nein";
    }
    void refusesBadFiles() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        const EngineError error = errorOf([&] { parseRowsetXml(content, "C:\\Daten\\probe.xml"); });
        QCOMPARE(error.number(), err::BadFileFormat);
        QVERIFY2(error.description().startsWith(
                     "Die Datei C:\\Daten\\probe.xml kann nicht gelesen werden: "),
                 qPrintable(error.description()));
        QVERIFY2(error.description().contains(problem), qPrintable(error.description()));
        // a file on the disk is streamed, never read whole: the same refusals
        QTemporaryDir dir;
        QFile file(dir.filePath("probe.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        const EngineError streamed = errorOf([&] { readRowsetXml(file.fileName()); });
        QCOMPARE(streamed.number(), err::BadFileFormat);
        QVERIFY2(streamed.description().contains(problem), qPrintable(streamed.description()));
    }

    void missingFileIsReported() {
        QTemporaryDir dir;
        const QString path = dir.filePath("fehlt.xml");
        const EngineError error = errorOf([&] { readRowsetXml(path); });
        QCOMPARE(error.number(), err::FileNotFound);
        QCOMPARE(error.description(), QStringLiteral("Die Datei %1 wurde nicht gefunden.")
                                          .arg(QDir::toNativeSeparators(path)));
    }

    void writtenFileReadsBack() {
        RowsetData data;
        data.columns = {{"MaNr", ColumnType::AutoNumber, 0, false},
                        {"Anzahl", ColumnType::Long},
                        {"Kurz", ColumnType::Integer},
                        {"Stunden", ColumnType::Double},
                        {"Prozent", ColumnType::Single},
                        {"aktiv", ColumnType::Boolean, 0, false},
                        {"Tag", ColumnType::DateTime},
                        {"Name", ColumnType::Text, 50},
                        {"Bemerkung", ColumnType::Memo},
                        {"Betrag", ColumnType::Currency},
                        {"Sollstd.", ColumnType::Double},
                        {"c10", ColumnType::Text, 10},
                        {"Wöchentliche Stunden", ColumnType::Double},
                        {"xmlWert", ColumnType::Long}};
        const int intMax = std::numeric_limits<int>::max();
        data.rows = {
            {1, intMax, -32768, 0.1 + 0.2, 0.1, true, utc(2002, 9, 29, 13, 45, 10),
             QString("Müller <&> \"x\" 'y'"), QString("Zeile 1\r\nZeile 2\tTab  "), 1234.5678, 7.5,
             QString("c-Wert"), 1e-7, 4},
            {2, std::numeric_limits<int>::min(), 32767, 1e300, -0.5, false, utc(1899, 12, 30),
             QString(""), QString("😀 ½"), -0.01, 1.0 / 3, QString(""), -123.25, 0},
            {3, QVariant(), QVariant(), QVariant(), QVariant(), false, QVariant(), QVariant(),
             QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()}};

        const QByteArray text = formatRowsetXml(data);
        QVERIFY(text.startsWith("<xml xmlns:s="));
        for (const char* expected :
             {"xmlns:s=\"uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882\"", "xmlns:z=\"#RowsetSchema\"",
              "xmlns:dt=\"uuid:C2F41010-65B3-11d1-A29F-00AA00C14882\"",
              "xmlns:rs=\"urn:schemas-microsoft-com:rowset\"", "name=\"c10_\" rs:name=\"Sollstd.\"",
              "name=\"c12\" rs:name=\"Wöchentliche Stunden\"", "name=\"c13\" rs:name=\"xmlWert\"",
              "rs:autoincrement=\"true\"", "dt:type=\"dateTime\" rs:dbtype=\"variantdate\"",
              "rs:dbtype=\"currency\"", "rs:long=\"true\"", "<s:extends type=\"rs:rowbase\"/>",
              "Stunden=\"0.30000000000000004\"", "c10_=\"7.5\"", "aktiv=\"True\"",
              "Tag=\"2002-09-29T13:45:10\"", "<z:row MaNr=\"3\" aktiv=\"False\"/>"})
            QVERIFY2(text.contains(expected), expected);

        QTemporaryDir dir;
        const QString path = dir.filePath("Feiertage.xml");
        writeRowsetXml(path, expectedHolidays()); // replaced by the next write
        writeRowsetXml(path, data);
        const RowsetData read = readRowsetXml(path);
        compareData(read, data);
        QCOMPARE(read.columnIndex("SOLLSTD."), 10);
        QCOMPARE(read.columnIndex("fehlt"), -1);
    }

    void refusesValuesTheFileCannotCarry_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("problem");
        QTest::newRow("text in a long")
            << int(ColumnType::Long) << QVariant("abc") << "keine ganze Zahl";
        QTest::newRow("fraction in a long")
            << int(ColumnType::Long) << QVariant(1.5) << "keine ganze Zahl";
        QTest::newRow("too big for an integer")
            << int(ColumnType::Integer) << QVariant(40000) << "bis 32767";
        QTest::newRow("too big for a long")
            << int(ColumnType::Long) << QVariant(qint64(1) << 40) << "außerhalb";
        QTest::newRow("infinity") << int(ColumnType::Double) << QVariant(HUGE_VAL) << "keine Zahl";
        QTest::newRow("not a boolean")
            << int(ColumnType::Boolean) << QVariant("vielleicht") << "Ja/Nein";
        QTest::newRow("not a date")
            << int(ColumnType::DateTime) << QVariant("gestern") << "kein gültiges Datum";
        QTest::newRow("control character")
            << int(ColumnType::Text) << QVariant(QString("a\x01z")) << "nicht erlaubt";
    }
    void refusesValuesTheFileCannotCarry() {
        QFETCH(int, type);
        QFETCH(QVariant, value);
        QFETCH(QString, problem);
        RowsetData data;
        data.columns = {{"F", ColumnType(type), 0, true}};
        data.rows = {{value}};
        QTemporaryDir dir;
        const QString path = dir.filePath("alt.xml");
        writeRowsetXml(path, expectedHolidays());
        const EngineError error = errorOf([&] { writeRowsetXml(path, data); });
        QCOMPARE(error.number(), err::GeneralFailure);
        QVERIFY2(error.description().contains("Datensatz 1, Feld F: "),
                 qPrintable(error.description()));
        QVERIFY2(error.description().contains(problem), qPrintable(error.description()));
        // The old file is untouched and nothing half-written is left beside it.
        compareData(readRowsetXml(path), expectedHolidays());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"alt.xml"});
    }

    void unwritablePlaceIsReported() {
        QTemporaryDir dir;
        const EngineError error =
            errorOf([&] { writeRowsetXml(dir.filePath("fehlt/x.xml"), expectedHolidays()); });
        QCOMPARE(error.number(), err::PermissionDenied);
        QVERIFY(error.description().contains("x.xml"));
    }
};

QTEST_GUILESS_MAIN(TestRowsetXml)
#include "test_rowsetxml.moc"
