#include "platform/Prompts.h"

#include <QRegularExpression>

namespace platform {

namespace {

// "*.*" means every file on Windows; on this system "*.*" would skip files without a dot.
QString qtPatterns(const QString& oldPatterns) {
    QStringList patterns;
    for (const QString& pattern : oldPatterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString trimmed = pattern.trimmed();
        if (trimmed.isEmpty()) continue;
        patterns << (trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
    }
    if (patterns.isEmpty() || patterns.contains(QStringLiteral("*"))) return QStringLiteral("*");
    return patterns.join(QLatin1Char(' '));
}

} // namespace

QStringList qtFilters(const QString& oldFilter) {
    // Qt reads the patterns from the last parenthesised group of an entry, so a pattern group
    // already in the text ("Alle Dateien (*.*)") gives way to the Qt patterns.
    static const QRegularExpression patternGroup(QStringLiteral("\\s*\\([^()]*[*?][^()]*\\)\\s*$"));
    QStringList parts = oldFilter.split(QLatin1Char('|'));
    if (parts.last().isEmpty()) parts.removeLast(); // the old syntax ends with "|"
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString patterns = qtPatterns(parts.value(i + 1));
        QString text = parts[i].trimmed().remove(patternGroup);
        if (text.isEmpty()) text = patterns;
        filters << text + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QList<Answer> buttonAnswers(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return {Answer::Ok};
    case Buttons::OkCancel:
        return {Answer::Ok, Answer::Cancel};
    case Buttons::YesNo:
        return {Answer::Yes, Answer::No};
    case Buttons::YesNoCancel:
        return {Answer::Yes, Answer::No, Answer::Cancel};
    case Buttons::RetryCancel:
        return {Answer::Retry, Answer::Cancel};
    }
    return {Answer::Ok};
}

Answer defaultAnswer(const Message& message) {
    const QList<Answer> answers = buttonAnswers(message.buttons);
    return answers.value(message.defaultButton, answers.first());
}

} // namespace platform
