#include "shell/CheckMenu.h"

#include "reports/frmArbeitszeitpruefung.h"
#include "shell/FlexGrid.h"
#include "shell/StaffingCommands.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QPointer>
#include <QTimer>

namespace {

class CheckMenu : public QObject {
    Q_OBJECT
public:
    explicit CheckMenu(frmTurnova& window) : QObject(&window), window_(window) {
        setObjectName(QStringLiteral("CheckMenu"));
    }

    void mnuPruefung_Click() {
        window_.timer1()->stop();
        if (!list_) {
            list_ = new frmArbeitszeitpruefung(window_.session(), window_.month(), &window_);
            list_->goToCell = [this](int row, int col) {
                // a finding of the whole day (staffing) keeps the cursor's column
                window_.grid()->setCursor(row, col > 0 ? col : window_.grid()->col());
                window_.activateWindow();
                window_.grid()->setFocus();
            };
            list_->rulesChanged = [this] { window_.gridrepaint(); };
            list_->staffingGaps = [this] { return ::staffingGaps(window_); };
        }
        list_->refresh();
        list_->show();
        list_->raise();
        list_->activateWindow();
    }

    // After each repaint of the roster the open window shows the month as it now is.
    void afterRepaint() {
        if (list_ && list_->isVisible()) list_->refresh();
    }

    frmArbeitszeitpruefung* list() const { return list_; }

private:
    frmTurnova& window_;
    QPointer<frmArbeitszeitpruefung> list_;
};

CheckMenu* checkMenu(frmTurnova& window) {
    return window.findChild<CheckMenu*>(QStringLiteral("CheckMenu"), Qt::FindDirectChildrenOnly);
}

} // namespace

void installWorkingTimeCheck(frmTurnova& window) {
    window.painter().showMarks = true;
    auto* commands = new CheckMenu(window);
    if (QAction* entry = window.menuAction(QStringLiteral("mnuArbeitszeitpruefung")))
        QObject::connect(entry, &QAction::triggered, commands, &CheckMenu::mnuPruefung_Click);
    std::function<void()> before = window.afterRepaint;
    window.afterRepaint = [before, commands] {
        if (before) before();
        commands->afterRepaint();
    };
}

frmArbeitszeitpruefung* findingsWindow(frmTurnova& window) {
    CheckMenu* commands = checkMenu(window);
    return commands ? commands->list() : nullptr;
}

#include "CheckMenu.moc"
