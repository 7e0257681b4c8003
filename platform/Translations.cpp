#include "platform/Translations.h"

#include "platform/Formats.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

void installTranslations(QCoreApplication& app) {
    // The program speaks German whatever the desktop's language, so its message boxes do too.
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_de"), folder)) {
        qCWarning(lcPlatform) << "no Qt translations qtbase_de in" << folder;
        delete translator;
        return;
    }
    app.installTranslator(translator);
}

} // namespace platform
