#include "dialogs/StdDienstePrint.h"

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Konstanten.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace dialogs {

namespace {

bool isNull(const QVariant& v) {
    return !v.isValid() || v.isNull();
}

// A time in a column of the given width, right-aligned ("   hh:mm"); blanks for none.
QString timeColumn(const QVariant& value, int width) {
    if (isNull(value)) return QString(width, QLatin1Char(' '));
    return platform::timeText(engine::toDateTime(value).time()).rightJustified(width);
}

// The twips of the old printer as device units.
int fromTwips(const QPaintDevice& device, int twips) {
    return twips * device.logicalDpiY() / 1440;
}

void printCentred(QPainter& painter, const QPaintDevice& device, const QString& family,
                  int pointSize, int topTwips, const QString& text) {
    QFont font(family, pointSize);
    font.setStyleHint(QFont::Serif);
    painter.setFont(font);
    const QFontMetrics metrics(font, &device);
    const int x = (device.width() - metrics.horizontalAdvance(text)) / 2;
    painter.drawText(x, fromTwips(device, topTwips) + metrics.ascent(), text);
}

} // namespace

QString standardDutyLine(const engine::Recordset& rs) {
    const auto field = [&rs](const char* name) { return rs.value(QLatin1String(name)); };
    const QString key = field("Taste").toString();
    const QVariant shortText = field("Kurzinfo");
    const QString shortColumn =
        isNull(shortText) ? QString() : QLatin1Char(' ') + shortText.toString().rightJustified(11);
    return key.rightJustified(5) + QLatin1Char(' ') + timeColumn(field("Anfang"), 8) +
           QLatin1Char(' ') + timeColumn(field("Ende"), 7) + QLatin1Char(' ') +
           QStringLiteral("   ") + platform::fixed(roster::nullToDouble(field("Pause"))) +
           shortColumn.leftJustified(13) + QString(6, QLatin1Char(' ')) + QStringLiteral("    ") +
           platform::fixed(roster::nullToDouble(field("Pauschalstunden")));
}

QStringList standardDutyListLines(const engine::Recordset& rs) {
    QStringList lines{QString(),
                      QStringLiteral("Standarddienste"),
                      QStringLiteral("---------------"),
                      QString(),
                      QString(),
                      StdDienstePrintHeader,
                      QString(StdDienstePrintHeader.size(), QLatin1Char('-'))};
    const std::unique_ptr<engine::Recordset> sorted = rs.clone();
    sorted->setSort(QStringLiteral("Taste"));
    for (sorted->moveFirst(); !sorted->eof(); sorted->moveNext())
        lines << standardDutyLine(*sorted) << QString();
    return lines;
}

void paintStandardDutyList(QPagedPaintDevice& device, const QStringList& lines) {
    QPainter painter(&device);
    QFont listFont(QStringLiteral("Courier New"), 12);
    listFont.setStyleHint(QFont::TypeWriter);
    listFont.setFixedPitch(true);
    painter.setFont(listFont);
    const QFontMetrics metrics(listFont, &device);
    int y = 0;
    for (const QString& line : lines) {
        if (y > 0 && y + metrics.height() > device.height()) {
            device.newPage();
            y = 0;
        }
        painter.drawText(0, y + metrics.ascent(), line);
        y += metrics.height();
    }
    printCentred(painter, device, QStringLiteral("Times New Roman"), 12, 100,
                 QStringLiteral("Karbeno"));
    printCentred(painter, device, QStringLiteral("Times New Roman"), 8, 400,
                 QStringLiteral("Software"));
}

} // namespace dialogs
