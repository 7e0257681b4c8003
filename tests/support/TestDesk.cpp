#include "tests/support/TestDesk.h"

#include <QDir>

namespace testing {

TestDesk::TestDesk(const QDate& today) : clock(today) {
    QDir(dir.path()).mkpath(QStringLiteral("program"));
    QDir(dir.path()).mkpath(QStringLiteral("appdata"));
    services.prompts = &prompts;
    services.clock = &clock;
    services.folders.programFolder = dir.filePath(QStringLiteral("program"));
    services.folders.appDataFolder = dir.filePath(QStringLiteral("appdata"));
    services.folders.documentsFolder = dir.path();
}

QString TestDesk::db() const { return dir.filePath(QStringLiteral("plan.tnv")); }

} // namespace testing
