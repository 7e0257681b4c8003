#include "platform/Translations.h"

#include "platform/Formats.h"
#include "platform/Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace platform {

void installTranslations(QCoreApplication& app) {
    if (locale().language() != QLocale::German) return;
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
