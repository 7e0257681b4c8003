#include "shell/StdInfoCommands.h"

#include "reports/frmstdinfo.h"
#include "shell/FlexGrid.h"
#include "shell/GridEditing.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QEvent>
#include <QScreen>
#include <QTimer>

StdInfoCommands::StdInfoCommands(frmTurnova& window) : QObject(&window), window_(window) {
    setObjectName(QStringLiteral("StdInfoCommands"));
    window.installEventFilter(this);
    if (QAction* info = window.menuAction(QStringLiteral("mnustdinfo")))
        connect(info, &QAction::triggered, this, &StdInfoCommands::mnustdinfo_Click);
    // after the editor of the menu has closed (its handler was connected first)
    if (QAction* edit = window.menuAction(QStringLiteral("mnustdedit")))
        connect(edit, &QAction::triggered, this, [this] {
            if (overview_) overview_->gridpaint();
        });
}

void StdInfoCommands::mnustdinfo_Click() {
    window_.timer1()->stop();
    place();
}

void StdInfoCommands::place() {
    QAction* info = window_.menuAction(QStringLiteral("mnustdinfo"));
    if (!info || !info->isChecked() || !window_.isVisible() || window_.isMinimized() ||
        !window_.session().env.isOpen() || hiddenWhileOpen_ > 0) {
        hide();
        return;
    }
    if (!overview_) {
        overview_ = new frmstdinfo(window_.session(), &window_);
        overview_->openEditor = [this] {
            if (GridEditing* editing = gridEditing(window_)) editing->mnustdedit_Click();
        };
        connect(overview_.data(), &frmstdinfo::closed, this, &StdInfoCommands::Form_Unload);
    }
    // beside the roster: right of the main window where the screen has room, else in a strip
    // at the window's right edge that the roster leaves free, below the toolbar; so it hides
    // no roster column
    const QRect main = window_.frameGeometry();
    const QRect screen = window_.screen() ? window_.screen()->availableGeometry() : main;
    const QSize size = overview_->frameGeometry().isValid() && overview_->isVisible()
                           ? overview_->frameGeometry().size()
                           : overview_->sizeHint() + QSize(8, 30); // a frame not yet known
    const QPoint gridTop = window_.grid()->mapToGlobal(QPoint(0, 0));
    const int y = gridTop.y() + 40;
    if (main.right() + 1 + size.width() <= screen.right() + 1) {
        window_.setRosterMargin(0);
        overview_->move(main.right() + 1, qMax(screen.top(), y));
    } else {
        window_.setRosterMargin(size.width() + 4);
        const int x = window_.centralWidget()->mapToGlobal(QPoint(0, 0)).x() +
                      window_.centralWidget()->width() - size.width() - 2;
        overview_->move(qMax(screen.left(), x), qMax(screen.top(), y));
    }
    overview_->show();
}

void StdInfoCommands::hide() {
    if (overview_) overview_->hide();
    window_.setRosterMargin(0);
}

void StdInfoCommands::Form_Unload() {
    if (QAction* info = window_.menuAction(QStringLiteral("mnustdinfo"))) info->setChecked(false);
}

bool StdInfoCommands::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::WindowStateChange:
            // after the window has its new geometry
            QTimer::singleShot(0, this, &StdInfoCommands::place);
            break;
        case QEvent::Hide:
            hide();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void StdInfoCommands::holdHidden(bool hold) {
    hiddenWhileOpen_ += hold ? 1 : -1;
    place();
}

OverviewHidden::OverviewHidden(frmTurnova& window) : window_(window) {
    if (StdInfoCommands* info = stdInfo(window_)) info->holdHidden(true);
}

OverviewHidden::~OverviewHidden() {
    if (StdInfoCommands* info = stdInfo(window_)) info->holdHidden(false);
}

void installStdInfo(frmTurnova& window) {
    new StdInfoCommands(window);
}

StdInfoCommands* stdInfo(frmTurnova& window) {
    return window.findChild<StdInfoCommands*>(QStringLiteral("StdInfoCommands"),
                                              Qt::FindDirectChildrenOnly);
}
