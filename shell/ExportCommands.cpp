#include "shell/ExportCommands.h"

#include "print/HtmlFile.h"
#include "print/RosterHtml.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

QString rosterPageName(const roster::MonthState& month) {
    return QStringLiteral("tnv-%1-%2.html")
        .arg(month.year)
        .arg(month.month, 2, 10, QLatin1Char('0'));
}

void mnutnv_Click(data::Session& session, const roster::MonthState& month) {
    const std::optional<QString> path = session.prompts().saveFile(
        print::htmlFileRequest(session.services.folders.documentsFolder, rosterPageName(month)));
    if (!path) return;
    print::makehtmlplan(session, month, *path);
}

void installExportCommands(frmTurnova& window) {
    QAction* entry = window.menuAction(QStringLiteral("mnutnv"));
    entry->setVisible(true);
    QObject::connect(entry, &QAction::triggered, &window, [&window] {
        window.timer1()->stop();
        mnutnv_Click(window.session(), window.month());
    });
}
