#include "shell/UndoCommands.h"

#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {

class UndoCommands : public QObject {
public:
    explicit UndoCommands(frmTurnova& window)
        : QObject(&window), window_(window),
          undo_(window.menuAction(QStringLiteral("mnuRueckgaengig"))),
          redo_(window.menuAction(QStringLiteral("mnuWiederholen"))) {
        setObjectName(QStringLiteral("UndoCommands"));
        if (!undo_ || !redo_) return;
        undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
        redo_->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
        connect(undo_, &QAction::triggered, this, [this] { step(false); });
        connect(redo_, &QAction::triggered, this, [this] { step(true); });
        if (QMenu* actions = window.popupMenu(QStringLiteral("mnuAktion"))) {
            actions->addSeparator();
            actions->addAction(undo_);
            actions->addAction(redo_);
            connect(actions, &QMenu::aboutToShow, this, &UndoCommands::refresh);
        }
        if (QAction* edit = window.menuAction(QStringLiteral("mnuBearbeiten"));
            edit && edit->menu())
            connect(edit->menu(), &QMenu::aboutToShow, this, &UndoCommands::refresh);
        window.session().undo.changed = [this] { refresh(); };
        refresh();
        std::function<void()> before = window.afterRepaint;
        window.afterRepaint = [before, this] {
            if (before) before();
            refresh();
        };
    }

    ~UndoCommands() override { window_.session().undo.changed = nullptr; }

    // The entries' texts and states as the log now stands.
    void refresh() {
        data::Session& session = window_.session();
        if (refreshing_) return;
        refreshing_ = true;
        const struct Done {
            bool& flag;
            ~Done() { flag = false; }
        } done{refreshing_};
        try {
            session.undo.watch(session.env.Datenbank);
            undo_->setText(session.undo.undoText());
            undo_->setEnabled(session.undo.canUndo());
            redo_->setText(session.undo.redoText());
            redo_->setEnabled(session.undo.canRedo());
        } catch (const std::exception& e) {
            session.undo.clear(true);
            undo_->setText(QStringLiteral("Rückgängig nicht möglich"));
            undo_->setEnabled(false);
            redo_->setEnabled(false);
            window_.reportError(e, QStringLiteral("Rückgängig"));
        }
    }

private:
    void step(bool redo) {
        data::Session& session = window_.session();
        data::DataUmgebung& env = session.env;
        window_.timer1()->stop();
        try {
            const std::optional<QDate> month = redo ? session.undo.redo() : session.undo.undo();
            if (!month) return;
            // the shared recordsets read the duties and employees again
            env.rsDienstzeiten.requery();
            if (env.rsMitarbeiter.isOpen() && !env.rsMitarbeiter.isEditing())
                env.rsMitarbeiter.requery();
            if (month->isValid() && *month != window_.month().firstDay) {
                window_.month().firstDay = *month;
                window_.showMonthTitle();
            }
        } catch (const std::exception& e) {
            window_.reportError(e, redo ? QStringLiteral("Wiederholen")
                                        : QStringLiteral("Rückgängig"));
        }
        window_.berStatistik2();
        window_.gridrepaint();
        window_.grid()->setFocus();
    }

    frmTurnova& window_;
    QAction* undo_;
    QAction* redo_;
    bool refreshing_ = false;
};

} // namespace

void installUndoCommands(frmTurnova& window) {
    new UndoCommands(window);
}
