#include "shell/DataExportCommands.h"

#include "reports/MonthAccountsCsv.h"
#include "reports/frmKalender.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

void mnuEpKonten_Click(data::Session& session, const roster::MonthState& month) {
    platform::FileRequest request;
    request.title = QStringLiteral("Monatskonten exportieren");
    request.defaultName = reports::monthAccountsFileName(month);
    request.defaultExtension = QStringLiteral(".csv");
    request.startFolder = session.services.folders.documentsFolder;
    request.filter = QStringLiteral("Alle Dateien (*.*)|*.*|CSV Dateien (*.csv)|*.csv|");
    request.filterIndex = 2;
    const std::optional<QString> path = session.prompts().saveFile(request);
    if (!path) return;
    reports::writeMonthAccounts(session, month, *path);
}

void mnuEpKalender_Click(data::Session& session, const roster::MonthState& month, QWidget* parent) {
    frmKalender window(session, month, parent);
    window.exec();
}

void installDataExportCommands(frmTurnova& window) {
    QObject::connect(window.menuAction(QStringLiteral("mnuEpKonten")), &QAction::triggered, &window,
                     [&window] {
                         window.timer1()->stop();
                         mnuEpKonten_Click(window.session(), window.month());
                     });
    QObject::connect(window.menuAction(QStringLiteral("mnuEpKalender")), &QAction::triggered,
                     &window, [&window] {
                         window.timer1()->stop();
                         mnuEpKalender_Click(window.session(), window.month(), &window);
                     });
}
