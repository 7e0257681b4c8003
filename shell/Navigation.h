#pragma once
// Moving through months and groups around the roster, the status-bar summary of the selection,
// and the dialog commands of the main menu with what runs after each.

#include "roster/Groups.h" // the group routines the start-up runs as well

#include <QObject>

class frmTurnova;
class QComboBox;

namespace data {
class DataUmgebung;
}

class Navigation : public QObject {
    Q_OBJECT
public:
    explicit Navigation(frmTurnova& window);

    // Fills the nine status-bar panels from the selection of the current column.
    void updateStatusBar();

    // "Mitarbeiter": the employee window on the employee of the current column; afterwards
    // the all-employees group, the group positions, the statistics and the repaint.
    void mnumitarb_Click();
    // "Gruppen": the groups window on the shown group; afterwards the chooser shows the group
    // that was chosen there, and the roster repaints.
    void mnuGruppeb_Click();
    // "Freiertage": the holidays window; afterwards the statistics and the repaint.
    void mnufreier_Click();

private:
    frmTurnova& window_;
};

// Connects the status-bar summary and the dialog commands to the main window.
void installNavigation(frmTurnova& window);
// The navigation of a main window.
Navigation* navigation(frmTurnova& window);

// Lists the groups in the chooser by name (each item carries its GruppenNr) and chooses the
// group given; the chooser's signals stay quiet.
void listGroups(QComboBox* chooser, data::DataUmgebung& env, int choose);
