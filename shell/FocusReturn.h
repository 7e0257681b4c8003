#pragma once
// The keyboard focus goes back to the roster grid whenever a modal window opened over the main
// window (a dialog, a message box, a question inside a dialog) has closed, whichever way it
// was closed, so that the next duty key writes into the cell under the cursor.

#include <QObject>
#include <QPointer>

class QComboBox;
class QWidget;

class FocusReturn : public QObject {
    Q_OBJECT
public:
    FocusReturn(QWidget& window, QWidget& target);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void giveBack();
    QWidget& window_;
    QPointer<QWidget> target_;
};

// Watches the modal windows of the application for the main window and its grid.
void installFocusReturn(QWidget& window, QWidget& target);

// A closed chooser takes no arrow, page or Home/End key: such a key opens its list, so that a
// key meant for the roster never switches what the chooser shows.
void installChooserKeys(QComboBox& chooser);
