// Turnova: monthly staff duty rosters. The program starts from its main window; an optional
// argument names the database file, "--help" and "--version" answer on the terminal.

#include "platform/Folders.h"
#include "platform/Formats.h"
#include "platform/ProgramIcon.h"
#include "platform/Translations.h"
#include "platform/ScriptedPrompts.h"
#include "platform/WidgetPrompts.h"
#include "shell/CommandLine.h"
#include "shell/frmTurnova.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace {

// The smoke run of the test suite: every message box is answered with its default button and
// written to standard error, and the window closes itself after the given time.
class LoggingPrompts final : public platform::ScriptedPrompts {
public:
    platform::Answer message(const platform::Message& m) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(QString(m.text).replace('\n', " | ")));
        return ScriptedPrompts::message(m);
    }
};

// Names, locale and Qt's German texts, for the terminal answers and for the windows.
void prepare(QCoreApplication& app) {
    QCoreApplication::setApplicationName(QStringLiteral("Turnova"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(TURNOVA_VERSION_MAJOR)
                                                .arg(TURNOVA_VERSION_MINOR)
                                                .arg(TURNOVA_VERSION_PATCH));
    QLocale::setDefault(platform::locale());
    platform::installTranslations(app);
}

// Writes the answer to "--help" or "--version"; false when the program is to start.
bool answeredOnTerminal(const CommandLine& commandLine) {
    if (commandLine.action == CommandLine::Action::Start)
        return false;
    std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    {
        // "--help" and "--version" need no display: they are answered before the window system
        // is reached.
        QCoreApplication terminal(argc, argv);
        prepare(terminal);
        if (answeredOnTerminal(readCommandLine(QCoreApplication::arguments())))
            return 0;
    }
    QApplication app(argc, argv);
    prepare(app);
    QApplication::setDesktopFileName(QStringLiteral("de.karbeno.turnova"));
    QApplication::setWindowIcon(platform::programIcon());
    // Qt's own options (-platform, -style, ...) are gone from the arguments now
    const CommandLine commandLine = readCommandLine(QApplication::arguments());
    if (answeredOnTerminal(commandLine))
        return 0;

    platform::WidgetPrompts widgetPrompts;
    LoggingPrompts smokePrompts;
    const int smokeMs = qEnvironmentVariableIntValue("TURNOVA_SMOKE_MS");
    platform::Clock clock;
    platform::Services services;
    services.prompts = smokeMs > 0 ? static_cast<platform::Prompts*>(&smokePrompts)
                                   : static_cast<platform::Prompts*>(&widgetPrompts);
    services.clock = &clock;
    services.folders = platform::Folders::system();

    frmTurnova window(services);
    widgetPrompts.setParent(&window);
    if (!window.Turnova_Load(commandLine.database))
        return 0;
    window.show();
    if (smokeMs > 0)
        QTimer::singleShot(smokeMs, &window, &QWidget::close);
    return QApplication::exec();
}
