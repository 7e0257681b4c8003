#include "shell/ReportCommands.h"

#include "engine/Recordset.h"
#include "reports/frmAuswert.h"
#include "roster/Lookups.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

void mnuAuswertungen_Click(frmTurnova& window) {
    window.timer1()->stop();
    data::Session& session = window.session();
    data::DataUmgebung& env = session.env;
    QString planName;
    try {
        env.rsMaNachGrp.setSort(QStringLiteral("Dienstpos"));
        // the employee of the current column, else the current employee
        roster::employeeAtPosition(env, window.grid()->col(), window.month().groupNumber);
        engine::Recordset& employees = env.rsMitarbeiter;
        if (employees.isOpen() && !employees.eof() && !employees.bof())
            planName = employees.value(QStringLiteral("PlanName")).toString();
    } catch (const std::exception& e) {
        window.reportError(e, QStringLiteral("mnuAuswertungen_Click"));
    }
    // the figures of duties entered since the last run are counted before they are shown
    window.timer1()->stop();
    window.berStatistik2();
    {
        frmAuswert overview(session, window.month().year, &window);
        overview.chooseEmployee(planName);
        overview.exec();
    }
    window.berStatistik2();
    window.gridrepaint();
}

void installReportCommands(frmTurnova& window) {
    if (QAction* action = window.menuAction(QStringLiteral("mnuAuswertungen")))
        QObject::connect(action, &QAction::triggered, &window,
                         [&window] { mnuAuswertungen_Click(window); });
}
