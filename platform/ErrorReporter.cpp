#include "platform/ErrorReporter.h"

#include "platform/Logging.h"

namespace platform {

QString errorReportText(long number, const QString& description, const QString& procedure) {
    return QStringList{QStringLiteral("Es ist ein Fehler im Programm aufgetreten"), description,
                       QStringLiteral("Nummer : ") + QString::number(number),
                       QStringLiteral("Modul : ") + procedure}
        .join(QLatin1Char('\n'));
}

void reportError(Prompts& prompts, long number, const QString& description,
                 const QString& procedure) {
    qCWarning(lcPlatform).noquote() << "error" << number << "in" << procedure << ":" << description;
    prompts.message(Message{errorReportText(number, description, procedure),
                            QStringLiteral("Turnova"), Buttons::Ok, Icon::None, 0});
}

} // namespace platform
