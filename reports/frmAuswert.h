#pragma once
// The annual overview "Jahresübersicht für <year>": on the tab "alle Mitarbeiter" the year's
// working, vacation and sick days, hours and hour balance of every member of the shown group; on
// the tab "nach Mitarbeiter" the twelve statistics rows of one employee, whose monthly targets
// can be corrected when he has a flat target.

#include "data/Session.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;
class QTableWidgetItem;

class frmAuswert : public QDialog {
    Q_OBJECT
public:
    // The year of the roster's month; rsMaNachGrp holds the shown group.
    frmAuswert(data::Session& session, int year, QWidget* parent = nullptr);
    ~frmAuswert() override;

    // Chooses the employee of the second tab by his plan name (loads his rows).
    void chooseEmployee(const QString& planName);
    void gridrepaint();
    void DataCombo1_Change();

private:
    void DataGrid1_AfterColUpdate(QTableWidgetItem* item);

    data::Session& session_;
    int year_;
    int maNr_ = 0;
    bool filling_ = false;

    QTabWidget* TabStrip = nullptr;
    QTableWidget* grid = nullptr;
    QComboBox* DataCombo1 = nullptr;
    QTableWidget* DataGrid1 = nullptr;
    QLabel* Label1 = nullptr;
};
