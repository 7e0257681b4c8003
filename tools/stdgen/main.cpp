// turnova_stdgen FOLDER          writes the standard table files into FOLDER
// turnova_stdgen --check FOLDER  fails when the files in FOLDER differ from what it writes

#include "engine/EngineError.h"
#include "tools/stdgen/StandardTables.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int check(const QString& folder) {
    QTemporaryDir written;
    stdgen::writeStandardFiles(written.path());
    int differences = 0;
    for (const QString& name : stdgen::standardFileNames()) {
        const QString committed = folder + QLatin1Char('/') + name;
        if (!QFile::exists(committed) ||
            contentOf(committed) != contentOf(written.filePath(name))) {
            std::fprintf(stderr, "%s differs from what turnova_stdgen writes\n",
                         qPrintable(committed));
            ++differences;
        }
    }
    return differences == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 2 && args[0] == QLatin1String("--check"))
            return check(args[1]);
        if (args.size() == 1 && !args[0].startsWith(QLatin1Char('-'))) {
            stdgen::writeStandardFiles(args[0]);
            return 0;
        }
    } catch (const engine::EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 2;
    }
    std::fprintf(stderr, "usage: turnova_stdgen FOLDER | turnova_stdgen --check FOLDER\n");
    return 2;
}
