#pragma once
// "Kalender (iCal) ...": which employees of the shown group (one or all) and which months go
// into iCalendar files, and the folder they are written to.

#include "data/Session.h"
#include "roster/MonthState.h"

#include <QDialog>

class QComboBox;
class QDateEdit;
class QPushButton;

class frmKalender : public QDialog {
    Q_OBJECT
public:
    frmKalender(data::Session& session, const roster::MonthState& month, QWidget* parent = nullptr);

    // Checks the months, asks for the folder and writes the files; closes the window when they
    // are written.
    void cmdExportieren_Click();

private:
    data::Session& session_;

    QComboBox* cboMitarbeiter = nullptr;
    QDateEdit* dtpVon = nullptr;
    QDateEdit* dtpBis = nullptr;
    QPushButton* cmdExportieren = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
