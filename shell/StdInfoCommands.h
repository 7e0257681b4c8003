#pragma once
// The standard-duties overview beside the roster: "anzeigen" in the menu shows and hides it and
// carries its check mark, the window is placed beside the roster whenever the main window is
// shown, moved or resized, and it is redrawn after the standard-duties editor closed.

#include "reports/frmstdinfo.h"

#include <QObject>
#include <QPointer>

class frmTurnova;

class StdInfoCommands : public QObject {
    Q_OBJECT
public:
    explicit StdInfoCommands(frmTurnova& window);

    // The overview window; nothing before it was first shown.
    frmstdinfo* overview() const { return overview_; }
    // "anzeigen": shows the overview when checked, hides it otherwise.
    void mnustdinfo_Click();
    // Shows the overview beside the roster when "anzeigen" is checked and the main window is
    // shown and not minimised; hides it otherwise.
    void place();
    void hide();
    // While held (by OverviewHidden), place() keeps the overview hidden.
    void holdHidden(bool hold);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Unload();

    frmTurnova& window_;
    QPointer<frmstdinfo> overview_;
    int hiddenWhileOpen_ = 0;
};

// Hides the overview while a window that wants the screen (print preview, time sheet) is open,
// and places it again afterwards.
class OverviewHidden {
public:
    explicit OverviewHidden(frmTurnova& window);
    ~OverviewHidden();
    OverviewHidden(const OverviewHidden&) = delete;
    OverviewHidden& operator=(const OverviewHidden&) = delete;

private:
    frmTurnova& window_;
};

// Attaches the overview to the main window and its menu.
void installStdInfo(frmTurnova& window);
StdInfoCommands* stdInfo(frmTurnova& window);
