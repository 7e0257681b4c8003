// Turnova: monthly staff duty rosters. The program starts from its main window; an optional
// argument names the database file.

#include "platform/Folders.h"
#include "platform/Formats.h"
#include "platform/Translations.h"
#include "platform/ScriptedPrompts.h"
#include "platform/WidgetPrompts.h"
#include "shell/frmTurnova.h"

#include <QApplication>
#include <QStringList>
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

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Turnova"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TURNOVA_VERSION_MAJOR)
                                            .arg(TURNOVA_VERSION_MINOR)
                                            .arg(TURNOVA_VERSION_PATCH));
    QLocale::setDefault(platform::locale());
    platform::installTranslations(app);

    platform::WidgetPrompts widgetPrompts;
    LoggingPrompts smokePrompts;
    const int smokeMs = qEnvironmentVariableIntValue("TURNOVA_SMOKE_MS");
    platform::Clock clock;
    platform::Services services;
    services.prompts = smokeMs > 0 ? static_cast<platform::Prompts*>(&smokePrompts)
                                   : static_cast<platform::Prompts*>(&widgetPrompts);
    services.clock = &clock;
    services.folders = platform::Folders::system();

    const QStringList args = QApplication::arguments().mid(1);
    frmTurnova window(services);
    widgetPrompts.setParent(&window);
    if (!window.Turnova_Load(args.join(QLatin1Char(' '))))
        return 0;
    window.show();
    if (smokeMs > 0)
        QTimer::singleShot(smokeMs, &window, &QWidget::close);
    return QApplication::exec();
}
