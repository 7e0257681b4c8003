#include "data/DataAccess.h"

#include "engine/EngineVersion.h"

namespace data {

namespace {
const QString MissingText = QStringLiteral("MDAC 2.5 Komponenten sind nicht installiert.");
const QString DownloadPage = QStringLiteral("https://www.sqlite.org/download.html");
} // namespace

QString dataAccessVersion() {
    const QString version = engine::engineVersion();
    return version.isEmpty() ? QString() : QStringLiteral("SQLite ") + version;
}

bool checkDataAccess(platform::Prompts& prompts) {
    return checkDataAccess(prompts, dataAccessVersion(), engine::engineVersionNumber());
}

bool checkDataAccess(platform::Prompts& prompts, const QString& versionText, int versionNumber) {
    if (versionText.isEmpty())
        prompts.ask(MissingText);
    // Versions are compared as numbers: as text, 3.100 would come before 3.37.
    if (versionText.isEmpty() || versionNumber < engine::MinimumEngineVersionNumber) {
        prompts.ask(MissingText + QStringLiteral(" : ") + versionText +
                        QStringLiteral("\nDownload unter : ") + DownloadPage,
                    platform::Buttons::Ok, platform::Icon::None, QStringLiteral("MDAC Version"));
        return false;
    }
    return true;
}

} // namespace data
