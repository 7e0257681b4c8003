#include "shell/SheetCommands.h"

#include "reports/frmArbeitszeiten.h"
#include "roster/Lookups.h"
#include "shell/FlexGrid.h"
#include "shell/StdInfoCommands.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QComboBox>
#include <QTimer>

namespace {

// Remembers the employee shown last, for a cursor that stands on no employee.
class SheetCommands : public QObject {
public:
    explicit SheetCommands(frmTurnova& window) : QObject(&window), window_(window) {}

    void mnuarbeit_Click() {
        window_.timer1()->stop();
        window_.berStatistik2();
        const OverviewHidden hidden(window_);
        data::Session& session = window_.session();
        try {
            const int atCursor = roster::employeeAtPosition(session.env, window_.grid()->col(),
                                                            window_.month().groupNumber);
            if (atCursor > 0) lastEmployee_ = atCursor;
            frmArbeitszeiten sheet(session, window_.month(), lastEmployee_,
                                   window_.groupChooser()->currentText(), &window_);
            sheet.exec();
            lastEmployee_ = sheet.employee();
        } catch (const std::exception& e) {
            window_.reportError(e, QStringLiteral("mnuarbeit_Click"));
        }
        window_.gridrepaint();
    }

private:
    frmTurnova& window_;
    int lastEmployee_ = 0;
};

} // namespace

void installSheetCommands(frmTurnova& window) {
    auto* commands = new SheetCommands(window);
    QObject::connect(window.menuAction(QStringLiteral("mnuarbeit")), &QAction::triggered, commands,
                     [commands] { commands->mnuarbeit_Click(); });
}
