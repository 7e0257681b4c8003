#pragma once
// The window "Arbeitszeitprüfung": every finding of the working-time check in the shown month
// of the shown group, sorted by employee and day. It stays open beside the roster and follows
// it (the main window calls refresh after each repaint); a double-click on a finding moves the
// roster's cursor to its cell. "Regeln" opens the settings of the rules.

#include "data/Session.h"
#include "roster/MonthState.h"
#include "roster/StaffingCheck.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class frmArbeitszeitpruefung : public QDialog {
    Q_OBJECT
public:
    frmArbeitszeitpruefung(data::Session& session, const roster::MonthState& month,
                           QWidget* parent = nullptr);

    // Checks the month again and lists the findings.
    void refresh();

    // Moves the roster's cursor to a cell (grid row, grid column).
    std::function<void(int row, int col)> goToCell;
    // Runs after the rules were changed (the roster repaints its marks).
    std::function<void()> rulesChanged;
    // The staffing gaps of the month, listed after the working-time findings (column 0: the day).
    std::function<QList<roster::StaffingGap>()> staffingGaps;

    // The grid cell of a listed finding: row = day + 1, column = position.
    static constexpr int RowRole = Qt::UserRole + 1;
    static constexpr int ColRole = Qt::UserRole + 2;

private:
    void lvwBefunde_DblClick(QTreeWidgetItem* item);
    void cmdRegeln_Click();

    data::Session& session_;
    const roster::MonthState& month_;
    QLabel* lblMonat;
    QTreeWidget* lvwBefunde;
    QPushButton* cmdRegeln;
    QPushButton* cmdClose;
};
