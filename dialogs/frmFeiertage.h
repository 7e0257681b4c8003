#pragma once
// The holidays window: the list of holidays and the date, name and value of the current one,
// bound to the current row of rsFeiertage; new holidays and deleting one.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"

class QLineEdit;
class QPushButton;

namespace dialogs {
class RecordList;
}

class frmFeiertage : public dialogs::FormDialog {
    Q_OBJECT
public:
    // Edits rsFeiertage in date order; from the first holiday of shownYear when given (the
    // year the roster shows), else from its current row.
    explicit frmFeiertage(data::Session& session, int shownYear = 0, QWidget* parent = nullptr);

    void cmdnew_Click();
    void cmddel_Click();
    // "Feiertage für Bundesland ... eintragen": asks for the state and years and enters their
    // holidays; days that have a holiday already keep it.
    void cmdBundesland_Click();

protected:
    bool unload() override;

private:
    void buildControls();
    void showCurrent();
    // Writes the edit fields into the current row and saves it (nothing at the end).
    void saveCurrent();
    bool savedOrTold();
    void DataGrid1_Choose(engine::Bookmark bookmark);
    // Makes the first holiday of a year (else the last one before it) the current row.
    void moveToYear(int year);

    data::Session& session_;
    engine::Recordset& rs_;
    int shownYear_; // proposed for the state's holidays
    dialogs::RecordBinding binding_;

    dialogs::RecordList* DataGrid1 = nullptr;
    QLineEdit* MaskEdBox1 = nullptr;
    QLineEdit* txtName = nullptr;
    QLineEdit* txtProzent = nullptr;
    QPushButton* cmdnew = nullptr;
    QPushButton* cmddel = nullptr;
    QPushButton* cmdBundesland = nullptr;
    QPushButton* cmdClose = nullptr;
};
