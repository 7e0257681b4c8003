#include "engine/EngineVersion.h"

#include <sqlite3.h>

namespace engine {

QString engineVersion() {
    return QString::fromLatin1(sqlite3_libversion());
}

int engineVersionNumber() {
    return sqlite3_libversion_number();
}

} // namespace engine
