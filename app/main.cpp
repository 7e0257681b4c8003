// Turnova: monthly staff duty rosters. The program starts from its main window; an optional
// argument names the database file.

#include "platform/Folders.h"
#include "platform/Formats.h"
#include "platform/Translations.h"
#include "platform/WidgetPrompts.h"
#include "shell/frmTurnova.h"

#include <QApplication>
#include <QStringList>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Turnova"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(TURNOVA_VERSION_MAJOR)
                                            .arg(TURNOVA_VERSION_MINOR)
                                            .arg(TURNOVA_VERSION_PATCH));
    QLocale::setDefault(platform::locale());
    platform::installTranslations(app);

    platform::WidgetPrompts prompts;
    platform::Clock clock;
    platform::Services services;
    services.prompts = &prompts;
    services.clock = &clock;
    services.folders = platform::Folders::system();

    const QStringList args = QApplication::arguments().mid(1);
    frmTurnova window(services);
    prompts.setParent(&window);
    if (!window.Turnova_Load(args.join(QLatin1Char(' '))))
        return 0;
    window.show();
    return QApplication::exec();
}
