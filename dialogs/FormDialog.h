#pragma once
// The common frame of the master data windows: every way of closing (the close box, Esc, a
// close button) runs the window's unload step, which may keep the window open.

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace dialogs {

class FormDialog : public QDialog {
    Q_OBJECT
public:
    explicit FormDialog(QWidget* parent = nullptr);

protected:
    // Runs when the window is about to close; false keeps it open.
    virtual bool unload() { return true; }
    // A push button of the window under its object name; Enter in a field never presses it.
    QPushButton* button(const char* name, const QString& caption);
    // An edit field of the window under its object name, with its tool tip.
    QLineEdit* lineEdit(const char* name, const QString& toolTip = {});

    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    bool closing_ = false;
};

// The question before a record is deleted, naming it: "Soll der Mitarbeiter Lena Fischer
// gelöscht werden?" (without a name: "Soll der Mitarbeiter gelöscht werden?").
QString deleteQuestion(const QString& kind, const QString& name);

} // namespace dialogs
