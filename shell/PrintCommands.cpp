#include "shell/PrintCommands.h"

#include "platform/Printers.h"
#include "print/PrintPrev.h"
#include "shell/StdInfoCommands.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QTimer>

const char* const PrinterProblemText =
    "Der Druckvorgang kann wegen eines Problems nicht durchgeführt werden. Für diesen Fehler gibt "
    "es folgende Ursachen und Lösungen:\n"
    "\n"
    "1. In der Windows-Systemsteuerung ist kein Drucker ausgewählt.\n"
    "Öffnen Sie die Systemsteuerung, doppelklicken Sie auf das Symbol Drucker, und wählen Sie "
    "Neuer Drucker, um einen Drucker zu installieren.\n"
    "\n"
    "2. Ihr Drucker ist nicht betriebsbereit.\n"
    "Schalten Sie den Drucker auf \"Online\".\n"
    "\n"
    "3. Ihr Drucker ist blockiert, oder der Papierschacht ist leer.\n"
    "Beheben Sie den Papierstau, oder legen Sie Papier nach.\n"
    "\n"
    "4. Sie haben versucht, ein Formular auf einem Drucker auszudrucken, der nur Text drucken "
    "kann.\n"
    "Wechseln Sie zu einem installierten Drucker, der Grafiken ausdrucken kann.";

void mnuprint_Click(frmTurnova& window) {
    data::Session& session = window.session();
    try {
        engine::Recordset& employees = session.env.rsMitarbeiter;
        employees.moveFirst();
        if (employees.eof()) return;
        if (platform::currentPrinter().isEmpty()) {
            session.prompts().ask(QString::fromUtf8(PrinterProblemText));
            return;
        }
        window.timer1()->stop();
        const OverviewHidden hidden(window);
        PrintPrev preview(session, window.month(), &window);
        preview.exec();
    } catch (const std::exception& e) {
        data::report(session, e, QStringLiteral("mnuprint_Click"));
    }
}

void installPrintCommands(frmTurnova& window) {
    QObject::connect(window.menuAction(QStringLiteral("mnuprint")), &QAction::triggered, &window,
                     [&window] { mnuprint_Click(window); });
}
