#pragma once
// Backup files as the old program wrote them (single quotes, tabs, no XML declaration) from
// databases of earlier formats: employees without PlanName and first working day, duties that
// kept their flat hours in NBStunden.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace oldfiles {

inline QByteArray rowsetFile(const char* columns, const char* rows) {
    return QByteArray("<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
                      "\txmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
                      "\txmlns:rs='urn:schemas-microsoft-com:rowset'\n"
                      "\txmlns:z='#RowsetSchema'>\n"
                      "<s:Schema id='RowsetSchema'>\n"
                      "\t<s:ElementType name='row' content='eltOnly' rs:updatable='true'>\n") +
           columns +
           "\t\t<s:extends type='rs:rowbase'/>\n\t</s:ElementType>\n</s:Schema>\n<rs:data>\n" +
           rows + "</rs:data>\n</xml>\n";
}

// Two employees: one with a first name, one without (the roster name then is the surname).
inline QByteArray employees() {
    return rowsetFile(
        "\t\t<s:AttributeType name='MaNr' rs:number='1' rs:autoincrement='true'>\n"
        "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:precision='10' rs:fixedlength='true' "
        "rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='Vorname' rs:number='2' rs:nullable='true'>\n"
        "\t\t\t<s:datatype dt:type='string' dt:maxLength='50'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='Nachname' rs:number='3'>\n"
        "\t\t\t<s:datatype dt:type='string' dt:maxLength='50' rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='normstunden' rs:number='4'>\n"
        "\t\t\t<s:datatype dt:type='float' dt:maxLength='8' rs:precision='15' "
        "rs:fixedlength='true' rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n",
        "\t<z:row MaNr='4' Vorname='Grete' Nachname='Alt' normstunden='7.7'/>\n"
        "\t<z:row MaNr='9' Nachname='Ohnevorname' normstunden='6'/>\n");
}

// Two duties of employee 4: flat hours only in NBStunden, and flat hours of their own.
inline QByteArray duties() {
    return rowsetFile(
        "\t\t<s:AttributeType name='DienstNR' rs:number='1' rs:autoincrement='true'>\n"
        "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='Tag' rs:number='2'>\n"
        "\t\t\t<s:datatype dt:type='dateTime' rs:dbtype='variantdate' dt:maxLength='16' "
        "rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='MaNr' rs:number='3'>\n"
        "\t\t\t<s:datatype dt:type='int' dt:maxLength='4' rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='Normstunden' rs:number='4'>\n"
        "\t\t\t<s:datatype dt:type='float' dt:maxLength='8' rs:maybenull='false'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='NBStunden' rs:number='5' rs:nullable='true'>\n"
        "\t\t\t<s:datatype dt:type='float' dt:maxLength='8'/>\n"
        "\t\t</s:AttributeType>\n"
        "\t\t<s:AttributeType name='Kurzinfo' rs:number='6' rs:nullable='true'>\n"
        "\t\t\t<s:datatype dt:type='string' dt:maxLength='15'/>\n"
        "\t\t</s:AttributeType>\n",
        "\t<z:row DienstNR='1' Tag='2002-03-04T00:00:00' MaNr='4' Normstunden='0' NBStunden='5.5' "
        "Kurzinfo='NB'/>\n"
        "\t<z:row DienstNR='2' Tag='2002-03-05T00:00:00' MaNr='4' Normstunden='3' "
        "NBStunden='9'/>\n");
}

inline void write(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

} // namespace oldfiles
