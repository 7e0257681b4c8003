#pragma once
// The choice of a federal state and a range of years whose public holidays the holidays window
// enters, with 24 and 31 December as half days when asked.

#include "roster/StateHolidays.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

class frmBundesland : public QDialog {
    Q_OBJECT
public:
    // Proposes the years from year to year.
    explicit frmBundesland(int year, QWidget* parent = nullptr);

    roster::FederalState state() const;
    int firstYear() const;
    int lastYear() const;
    bool halfDays() const;

private:
    QComboBox* cboLand = nullptr;
    QSpinBox* spnVon = nullptr;
    QSpinBox* spnBis = nullptr;
    QCheckBox* chkHalbeTage = nullptr;
    QPushButton* cmdEintragen = nullptr;
    QPushButton* cmdAbbrechen = nullptr;
};
