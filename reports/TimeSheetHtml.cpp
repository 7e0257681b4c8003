#include "reports/TimeSheetHtml.h"

#include "platform/Formats.h"
#include "print/HtmlFile.h"
#include "print/HtmlText.h"
#include "print/RosterHtml.h"

namespace reports {

QString sheetPageName(const QString& planName, const roster::MonthState& month) {
    QString name = planName;
    for (const QChar c : {QLatin1Char('/'), QLatin1Char('\\'), QLatin1Char(':')})
        name.replace(c, QLatin1Char('-'));
    return QStringLiteral("tnv-%1-%2.html").arg(name).arg(month.month, 2, 10, QLatin1Char('0'));
}

void writeSheetPage(const QString& path, const roster::MonthState& month, const QString& orgname,
                    const QString& group, const QString& planName,
                    const roster::GridSurface& grid) {
    print::HtmlFile file(path);
    file.head(month, orgname, group);
    file.line(QStringLiteral("<font size=5>") + print::htmlEscape(orgname) +
              QStringLiteral(" Mitarbeiter: ") + print::htmlEscape(planName) +
              QStringLiteral("</font>"));
    print::gridToHtml(file, grid);
    file.commit();
}

} // namespace reports
