#pragma once
// The settings window "Eigenschaften": the organisation name, the print font and the weekend
// colour of the settings row, the screen font of the main window, the automatic recalculation
// of the roster, and the program and database versions and the database file.

#include "data/Session.h"
#include "dialogs/FormDialog.h"
#include "dialogs/RecordBinding.h"
#include "roster/MonthState.h"

#include <QFont>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dialogs {

// What the settings window changes in the main window.
struct MainWindowLink {
    QWidget* window = nullptr;       // its caption becomes "Turnova - " + OrgName
    roster::MonthState* month = nullptr; // weekend colour and automatic recalculation
    std::function<QFont()> screenFont;
    // Takes name, size, bold and italic of the font for the roster and the window, and
    // rebuilds the roster.
    std::function<void(const QFont&)> setScreenFont;
};

// "Programm Version:" of the window: major.minor.revision.
QString programVersion(int major, int minor, int revision);

} // namespace dialogs

class frmprop : public dialogs::FormDialog {
    Q_OBJECT
public:
    // The settings row is the current row of rsEinstellungen.
    frmprop(data::Session& session, const dialogs::MainWindowLink& main,
            QWidget* parent = nullptr);

    void setfonts();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    // Stores the flag, saves the settings row and sets the main window's caption.
    bool unload() override;

private:
    void showWeekendColor();

    data::Session& session_;
    dialogs::MainWindowLink main_;
    engine::Recordset& rs_;
    dialogs::RecordBinding binding_;

    QLineEdit* Text1 = nullptr;
    QPushButton* Command2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLabel* Label8 = nullptr;
    QPushButton* Command3 = nullptr;
    QCheckBox* cmdAutorecalc = nullptr;
    QCheckBox* chkBesetzung = nullptr; // the staffing lines of the printout and the HTML page
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text7 = nullptr;
    QLineEdit* Text8 = nullptr;
    QPushButton* OKButton = nullptr;
};
