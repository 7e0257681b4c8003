#pragma once
// The groups window: choose a group, add employees to it and remove them, create, rename and
// delete groups. Group 1, all employees, can neither be deleted nor lose a member.

#include "data/Session.h"
#include "dialogs/FormDialog.h"

class QComboBox;
class QListWidget;
class QPushButton;

class frmGruppen : public dialogs::FormDialog {
    Q_OBJECT
public:
    // Opens on the group shownGroup (the first group when it does not exist).
    frmGruppen(data::Session& session, int shownGroup, QWidget* parent = nullptr);

    // The group chosen in the window (0 when there is none).
    int currentGroup() const;

    void DataCombo1_Change();
    void Command1_Click(); // <- hinzufügen
    void Command2_Click(); // entfernen ->
    void Command3_Click(); // Neue Gruppe
    void Command4_Click(); // Gruppe umbenennen
    void cmddel_Click();   // Gruppe löschen

private:
    void buildControls();
    // Lists the groups and chooses the one given (the first when it is not there).
    void fillGroups(int choose);
    void fillEmployees();
    void fillMembers();
    // Moves rsGruppen to the chosen group; false when there is none.
    bool moveToChosenGroup();
    void message(const QString& text);

    data::Session& session_;

    QComboBox* DataCombo1 = nullptr;
    QListWidget* lstGprMa = nullptr;
    QListWidget* lstAllMa = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* cmddel = nullptr;
    QPushButton* Command5 = nullptr;
};
