#pragma once
// The employee window: the list of employees and three pages of their data (personal,
// address, administration), bound to the current row of rsMitarbeiter; new employees, hiding
// and showing them in the order of all employees, and deleting one with all that belongs to
// him.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"

#include <QDate>
#include <QList>

class QFrame;
class QLineEdit;
class QPushButton;
class QStackedLayout;
class QTabBar;

namespace dialogs {
class RecordList;
}

class frmMa : public dialogs::FormDialog {
    Q_OBJECT
public:
    // Edits rsMitarbeiter from its current row. shownFirstDay: the first day of the month the
    // roster shows, the first working day of a new employee.
    // A flat target changed here applies from the shown month on.
    frmMa(data::Session& session, const QDate& shownFirstDay, QWidget* parent = nullptr);
    ~frmMa() override;

    void cmdAddnew_Click();
    void cmddel_Click();
    void cmdHide_Click();
    void cmdShow_Click();
    void TabStrip1_Click(int index);

protected:
    bool unload() override;

private:
    void buildControls();
    void bindFields();
    // Writes the edit fields into the current row and saves it (nothing at the end).
    void saveCurrent();
    // Shows the first page with the focus in its first field.
    void focusFirstField();
    // Shows the current row in the fields and marks it in the list.
    void showCurrent();
    // A new employee behind the last one, starting in the shown month.
    void appendEmployee();
    void DataGrid1_Choose(engine::Bookmark bookmark);
    void txtAnrede_Change();
    bool txtNachname_Validate(QLineEdit* edit);
    bool txtPlanName_Validate(QLineEdit* edit);
    // Hides or shows the current employee (hideEmployee/showEmployee) and stays on him.
    void moveInOrder(bool hide, const QString& procedure);
    void report(const std::exception& error, const QString& procedure);

    data::Session& session_;
    engine::Recordset& rs_;
    QDate shownFirstDay_;
    dialogs::RecordBinding binding_;

    dialogs::RecordList* DataGrid1 = nullptr;
    QTabBar* TabStrip1 = nullptr;
    QList<QFrame*> Frame1; // one frame per tab, Frame1_0 to Frame1_2
    QStackedLayout* pages_ = nullptr;
    QLineEdit* txtAnrede = nullptr;
    QLineEdit* txtVorname = nullptr;
    QLineEdit* txtNachname = nullptr;
    QLineEdit* txtPlanName = nullptr;
    QLineEdit* txtnormstunden = nullptr;
    QLineEdit* txtStdBestand = nullptr;
    QLineEdit* MaskEdBox1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdAddnew = nullptr;
    QPushButton* cmddel = nullptr;
    QPushButton* cmdHide = nullptr;
    QPushButton* cmdShow = nullptr;
    QPushButton* cmdClose = nullptr;
};
