#include "shell/StaffingCommands.h"

#include "reports/frmBesetzung.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

namespace {

class StaffingCommands : public QObject {
    Q_OBJECT
public:
    explicit StaffingCommands(frmTurnova& window) : QObject(&window), window_(window) {
        setObjectName(QStringLiteral("StaffingCommands"));
    }

    void mnuBesetzung_Click() {
        window_.timer1()->stop();
        frmBesetzung dialog(window_.session(), window_.month().groupNumber, &window_);
        dialog.saved = [this] { window_.gridrepaint(); };
        dialog.exec();
    }

    const roster::StaffingMonth& month() {
        const roster::MonthState& m = window_.month();
        return cache_.month(window_.session().env, m.groupNumber, m.firstDay, m.lastDay);
    }

    void afterRepaint() {
        try {
            roster::markStaffing(*window_.grid(), month());
        } catch (const std::exception& e) {
            cache_.clear();
            data::report(window_.session(), e, QStringLiteral("Besetzung"));
        }
    }

private:
    frmTurnova& window_;
    roster::StaffingCache cache_;
};

StaffingCommands* commandsOf(frmTurnova& window) {
    return window.findChild<StaffingCommands*>(QStringLiteral("StaffingCommands"),
                                               Qt::FindDirectChildrenOnly);
}

} // namespace

void installStaffingCheck(frmTurnova& window) {
    auto* commands = new StaffingCommands(window);
    if (QAction* entry = window.menuAction(QStringLiteral("mnuBesetzung")))
        QObject::connect(entry, &QAction::triggered, commands,
                         &StaffingCommands::mnuBesetzung_Click);
    // the marks go on before the other windows (the check window) follow the repaint
    std::function<void()> after = window.afterRepaint;
    window.afterRepaint = [after, commands] {
        commands->afterRepaint();
        if (after) after();
    };
}

QList<roster::StaffingGap> staffingGaps(frmTurnova& window) {
    StaffingCommands* commands = commandsOf(window);
    if (!commands) return {};
    try {
        return commands->month().gaps;
    } catch (const std::exception&) {
        return {}; // the repaint has reported it
    }
}

#include "StaffingCommands.moc"
