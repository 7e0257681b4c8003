#pragma once
// The settings of the working-time check: each rule on or off, the minimum rest (11 hours, or
// 10 in hospitals and care homes) and the longest run of working days. "OK" stores them in the
// settings table of the check; "Abbrechen" and Esc leave them as they were.

#include "data/Session.h"
#include "data/WorkingTimeRules.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

class frmPruefregeln : public QDialog {
    Q_OBJECT
public:
    explicit frmPruefregeln(data::Session& session, QWidget* parent = nullptr);

    // The settings the controls show.
    data::WorkingTimeRules rules() const;

private:
    void showRules(const data::WorkingTimeRules& rules);
    void cmdOK_Click();

    data::Session& session_;
    QCheckBox* chkRuhezeit;
    QComboBox* cboRuhezeit;
    QCheckBox* chkHoechstarbeitszeit;
    QCheckBox* chkPausen;
    QCheckBox* chkSonntage;
    QCheckBox* chkArbeitstage;
    QSpinBox* txtArbeitstage;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
