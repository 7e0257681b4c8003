#pragma once
// The working-time sheet: one employee's month as a table of days with start, end, break, flat
// hours, short text, the two extra counters and the worked hours, beside it the duty of the
// chosen day in bound fields, and three tabs with the month's account, the vacation and sick
// days, and the sums of the extra counters. A duty key enters a standard duty, Delete removes
// the day's duty. Every field that passes its check on leaving is stored at once and shown in
// the sheet; Escape closes and drops only the field still being typed in.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"
#include "reports/TimeSheet.h"
#include "roster/MemoryGrid.h"
#include "roster/MonthState.h"

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTableWidget;

class frmArbeitszeiten : public dialogs::FormDialog {
    Q_OBJECT
public:
    // month: the main window's month; employee: the one to show (0: the first of the list);
    // groupName: the main window's group, named in the printed page.
    frmArbeitszeiten(data::Session& session, const roster::MonthState& month, int employee,
                     const QString& groupName, QWidget* parent = nullptr);

    // The employee chosen in DataCombo1 (0 when there is none).
    int employee() const;
    // The sheet as it is shown.
    const roster::MemoryGrid& sheet() const { return sheet_; }
    // How the printed page is opened: the desktop's program for it (the shell's "open") unless
    // a test answers in its place; false when no program took the file.
    std::function<bool(const QString& path)> openFile;

    void fillsheet();
    void DataCombo1_Click();
    void Grid_RowColChange();
    // A key on the grid (a Qt key code): duty keys and Delete; false for every other key.
    bool Grid_KeyDown(int key);
    void TabStrip1_Click(int tab);
    void Command1_Click();
    void cmdDrucken_Click();

protected:
    bool unload() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QWidget* buildPanels();
    void Form_Load(int employee);
    void showSheet();
    void showAccounts(const reports::SheetAccounts& accounts);
    void fieldLeft(QWidget* field);
    QDate dayOfRow(int row) const;

    data::Session& session_;
    const roster::MonthState month_;
    const QString groupName_;
    roster::MemoryGrid sheet_;
    dialogs::RecordBinding dutyBinding_;
    dialogs::RecordBinding statBinding_;
    int currentTab_ = 1;
    bool filling_ = false;
    bool closing_ = false;

    QComboBox* DataCombo1 = nullptr;
    QTableWidget* Grid = nullptr;
    QLineEdit* txtTag = nullptr;
    QGroupBox* fraZeit = nullptr;
    QGroupBox* frame2 = nullptr;
    QLineEdit* MaskAnfang = nullptr;
    QLineEdit* MaskEdBox1 = nullptr;
    QLineEdit* txtPause = nullptr;
    QLineEdit* txtpauschalstunden = nullptr;
    QLineEdit* Txtkurzinfo = nullptr;
    QLineEdit* txtBemerkung = nullptr;
    QLineEdit* Text9 = nullptr;
    QLineEdit* Text10 = nullptr;
    QTabBar* TabStrip1 = nullptr;
    QWidget* Frame1[4] = {};
    QLineEdit* txtArbTage = nullptr;
    QLineEdit* txtsum[2] = {};
    QLineEdit* Text13 = nullptr;
    QLabel* Label22 = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *txtSumVormonat = nullptr;
    QLineEdit *Text3 = nullptr, *Text4 = nullptr, *Text5 = nullptr, *Text6 = nullptr;
    QLineEdit *Text7 = nullptr, *Text8 = nullptr, *Text11 = nullptr, *Text12 = nullptr;
    QPushButton* cmdDrucken = nullptr;
    QPushButton* Command1 = nullptr;
};
