#pragma once
// The settings of the working-time check: each rule on or off, the minimum rest (11 hours, or
// 10 in hospitals and care homes), the period of the average working time, the longest run of
// working days, and which standard duties are days off. "OK" checks the entries and stores them
// in one transaction; a wrong entry is named with its valid range and nothing is stored.
// "Abbrechen" and Esc leave everything as it was.

#include "data/DutyKinds.h"
#include "data/Session.h"
#include "data/WorkingTimeRules.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class frmPruefregeln : public QDialog {
    Q_OBJECT
public:
    explicit frmPruefregeln(data::Session& session, QWidget* parent = nullptr);

    // The settings the controls show; none when an entry is outside its range.
    std::optional<data::WorkingTimeRules> rules() const;
    // The standard duties with the kinds the table shows.
    QList<data::StandardDutyKind> dutyKinds() const;

private:
    void showRules(const data::WorkingTimeRules& rules);
    void showDutyKinds(const QList<data::StandardDutyKind>& kinds);
    void cmdOK_Click();

    data::Session& session_;
    QList<data::StandardDutyKind> kinds_;
    QCheckBox* chkRuhezeit;
    QComboBox* cboRuhezeit;
    QCheckBox* chkAusgleich;
    QCheckBox* chkHoechstarbeitszeit;
    QCheckBox* chkDurchschnitt;
    QComboBox* cboZeitraum;
    QCheckBox* chkPausen;
    QCheckBox* chkSonntage;
    QCheckBox* chkErsatzruhetag;
    QCheckBox* chkSonntagsruhe;
    QCheckBox* chkArbeitstage;
    QLineEdit* txtArbeitstage;
    QTableWidget* tblDienstarten;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
};
