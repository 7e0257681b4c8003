#include "shell/Navigation.h"

#include "dialogs/frmFeiertage.h"
#include "dialogs/frmGruppen.h"
#include "dialogs/frmMa.h"
#include "roster/Groups.h"
#include "roster/Lookups.h"
#include "roster/SelectionSummary.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTimer>

Navigation::Navigation(frmTurnova& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("Navigation"));
}

void Navigation::updateStatusBar() {
    data::DataUmgebung& env = window_.session().env;
    FlexGrid* grid = window_.grid();
    if (!grid || !env.isOpen() || window_.month().painting) return;
    try {
        const QRect block = grid->selectedBlock();
        const auto panels = roster::selectionSummary(env, window_.month(), block.top(),
                                                     block.bottom(), grid->col());
        if (!panels) return;
        const QList<QLabel*>& labels = window_.statusPanels();
        for (int i = 0; i < labels.size() && i < panels->size(); ++i)
            labels.at(i)->setText(panels->at(i));
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("StatusBar"));
    }
}

void Navigation::mnumitarb_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    data::DataUmgebung& env = session.env;
    try {
        engine::Recordset& rs = env.rsMitarbeiter;
        if (rs.recordCount() > 0) {
            const int maNr =
                roster::employeeAtPosition(env, window_.grid()->col(), window_.month().groupNumber);
            rs.setSort(QStringLiteral("MaNr"));
            rs.moveFirst();
            if (maNr <= 0 || !rs.find(QStringLiteral("MaNr=") + QString::number(maNr)))
                rs.moveFirst();
        }
        frmMa employees(session, window_.month().firstDay, &window_);
        employees.exec();
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnumitarb_Click"));
    }
    try {
        env.rsMitarbeiter.requery();
        roster::allEmployeesGroup(env);
        roster::renumberPositions(env, window_.month().groupNumber);
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnumitarb_Click"));
    }
    window_.berStatistik2();
    window_.gridrepaint();
}

void Navigation::mnuGruppeb_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    int chosen = window_.month().groupNumber;
    try {
        frmGruppen groups(session, chosen, &window_);
        groups.exec();
        chosen = groups.currentGroup();
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnuGruppeb_Click"));
    }
    try {
        listGroups(window_.groupChooser(), session.env, chosen);
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnuGruppeb_Click"));
    }
    window_.GprSel_Click();
}

void Navigation::mnufreier_Click() {
    window_.timer1()->stop();
    data::Session& session = window_.session();
    try {
        frmFeiertage holidays(session, window_.month().year, &window_);
        holidays.exec();
        session.env.rsFeiertage.requery();
    } catch (const std::exception& e) {
        window_.reportError(e, QStringLiteral("mnufreier_Click"));
    }
    // the targets of the changed months first, so that the repaint shows them
    window_.berStatistik2();
    window_.gridrepaint();
}

void listGroups(QComboBox* chooser, data::DataUmgebung& env, int choose) {
    const QSignalBlocker quiet(chooser);
    chooser->clear();
    const auto groups = env.rsGruppen.clone();
    groups->setSort(QStringLiteral("Gruppenname"));
    for (groups->moveFirst(); !groups->eof(); groups->moveNext())
        chooser->addItem(groups->value(QStringLiteral("Gruppenname")).toString(),
                         groups->value(QStringLiteral("GruppenNr")));
    const int index = chooser->findData(choose);
    chooser->setCurrentIndex(index >= 0 ? index : (chooser->count() > 0 ? 0 : -1));
}

void installNavigation(frmTurnova& window) {
    auto* nav = new Navigation(window);
    window.afterRepaint = [nav] { nav->updateStatusBar(); };
    FlexGrid* grid = window.grid();
    QObject::connect(grid, &QTableWidget::itemSelectionChanged, nav,
                     [nav] { nav->updateStatusBar(); });
    QObject::connect(grid, &QTableWidget::currentCellChanged, nav,
                     [nav] { nav->updateStatusBar(); });
    const auto command = [&window, nav](const char* name, void (Navigation::*handler)()) {
        if (QAction* action = window.menuAction(QLatin1String(name)))
            QObject::connect(action, &QAction::triggered, nav,
                             [nav, handler] { (nav->*handler)(); });
    };
    command("mnumitarb", &Navigation::mnumitarb_Click);
    command("mnuGruppeb", &Navigation::mnuGruppeb_Click);
    command("mnufreier", &Navigation::mnufreier_Click);
}

Navigation* navigation(frmTurnova& window) {
    return window.findChild<Navigation*>(QStringLiteral("Navigation"), Qt::FindDirectChildrenOnly);
}
