#include "shell/CommandLine.h"

#include "reports/frminfo.h"

#include <QCommandLineParser>

QString versionOutput() {
    return QStringLiteral("Turnova\n") +
           frminfo::versionText(TURNOVA_VERSION_MAJOR, TURNOVA_VERSION_MINOR,
                                TURNOVA_VERSION_PATCH) +
           QLatin1Char('\n');
}

CommandLine readCommandLine(const QStringList& arguments) {
    CommandLine result;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turnova: monatliche Dienstpläne für Pflege, Klinik und Feuerwehr."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Zeigt diese Hilfe an."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Zeigt die Programmversion an."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("datenbank"),
        QStringLiteral("Die Datenbankdatei, mit der Turnova startet (\".tnv\" wird ergänzt, wenn "
                       "der Name keine Endung hat). Ohne Angabe: ~/.local/share/Turnova/"
                       "daten.tnv."),
        QStringLiteral("[datenbank]"));
    // A word the parser does not know as an option is part of the path, as every argument was
    // before the options existed.
    if (!parser.parse(arguments)) {
        result.database = arguments.mid(1).join(QLatin1Char(' '));
        return result;
    }
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = parser.helpText();
        return result;
    }
    if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = versionOutput();
        return result;
    }
    result.database = parser.positionalArguments().join(QLatin1Char(' '));
    return result;
}
