#include "print/PrintSettings.h"

#include "roster/Konstanten.h"

namespace print {

namespace {

// The settings row, current; false when there is none.
bool settingsRow(engine::Recordset& rs) {
    rs.requery();
    rs.moveFirst();
    return !rs.eof();
}

} // namespace

PrintSettings readPrintSettings(data::DataUmgebung& env, const QFont& defaultFont) {
    PrintSettings settings;
    settings.font = defaultFont;
    engine::Recordset& rs = env.rsEinstellungen;
    if (!settingsRow(rs)) return settings;
    settings.printer = rs.value(QStringLiteral("Printer")).toString();
    const int orientation = roster::nullToLong(rs.value(QStringLiteral("PrinterOrientation")));
    if (orientation != 1 && orientation != 2) {
        rs.setValue(QStringLiteral("PrinterOrientation"), 2);
        rs.update();
    }
    settings.orientation = orientation == 1 ? 1 : 2;
    const QString name = rs.value(QStringLiteral("PrintFontName")).toString();
    if (!name.isEmpty()) settings.font.setFamily(name);
    const double size = roster::nullToDouble(rs.value(QStringLiteral("PrintFontSize")));
    if (size > 0) settings.font.setPointSizeF(size);
    settings.font.setBold(rs.value(QStringLiteral("PrintFontBold")).toBool());
    settings.font.setItalic(rs.value(QStringLiteral("PrintFontitalic")).toBool());
    return settings;
}

void storePrintSettings(data::DataUmgebung& env, const PrintSettings& settings) {
    engine::Recordset& rs = env.rsEinstellungen;
    if (!settingsRow(rs)) return;
    // The columns hold 50 characters; a longer printer name is not kept (the next opening then
    // stays with the current printer).
    rs.setValue(QStringLiteral("PrintFontName"), settings.font.family().left(50));
    rs.setValue(QStringLiteral("PrintFontSize"), settings.font.pointSizeF());
    rs.setValue(QStringLiteral("PrintFontBold"), settings.font.bold());
    rs.setValue(QStringLiteral("PrintFontitalic"), settings.font.italic());
    rs.setValue(QStringLiteral("PrinterOrientation"), settings.orientation);
    rs.setValue(QStringLiteral("Printer"),
                settings.printer.size() <= 50 ? settings.printer : QString());
    rs.update();
}

} // namespace print
