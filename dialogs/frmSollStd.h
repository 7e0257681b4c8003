#pragma once
// The target-hours window: the target (Statistik.Soll) of one employee's month, on the current
// row of rsStatistik, which only "Speichern" writes. With an automatic target (no flat target of the employee) it only shows
// the figure and a note.

#include "data/Session.h"
#include "dialogs/RecordBinding.h"

#include <QDate>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The note shown when the target is worked out from the daily norm hours.
namespace dialogs {
extern const QString AutomaticTargetNote;
}

class frmSollStd : public QDialog {
    Q_OBJECT
public:
    // The employee's statistics row of the month must be the current row of rsStatistik.
    explicit frmSollStd(data::Session& session, QWidget* parent = nullptr);

    // The employee's name and the month; automaticTarget shows the note and locks the input.
    void prepare(const QString& planName, const QDate& firstDay, bool automaticTarget);
    void Command1_Click();
    // Leaving without "Speichern" (Esc, the close box) writes nothing.
    void reject() override;

private:
    data::Session& session_;
    engine::Recordset& rs_;
    dialogs::RecordBinding binding_;

    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
};
