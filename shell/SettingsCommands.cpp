#include "shell/SettingsCommands.h"

#include "dialogs/frmprop.h"
#include "roster/Konstanten.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

void applyScreenFont(frmTurnova& window, const QFont& font) {
    QFont grid = window.grid()->font();
    roster::copyFont(font, grid);
    window.grid()->setFont(grid);
    QFont own = window.font();
    roster::copyFont(grid, own);
    window.setFont(own);
    window.gridrepaint();
}

void mnusettings_Click(frmTurnova& window) {
    window.timer1()->stop();
    dialogs::MainWindowLink link;
    link.window = &window;
    link.month = &window.month();
    link.screenFont = [&window] { return window.grid()->font(); };
    link.setScreenFont = [&window](const QFont& font) { applyScreenFont(window, font); };
    {
        frmprop settings(window.session(), link, &window);
        settings.exec();
    }
    window.gridrepaint();
}

void installSettingsCommands(frmTurnova& window) {
    if (QAction* action = window.menuAction(QStringLiteral("mnusettings")))
        QObject::connect(action, &QAction::triggered, &window,
                         [&window] { mnusettings_Click(window); });
}
