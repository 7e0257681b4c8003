#include "dialogs/FieldChecks.h"

#include "platform/Formats.h"

#include <QLineEdit>

namespace dialogs {

bool isEmptyMaskText(const QString& displayText) {
    for (const QChar c : displayText) {
        if (c.isDigit() || c.isLetter()) return false;
    }
    return true;
}

bool CheckNumberField(QLineEdit* control, platform::Prompts& prompts) {
    if (control->text().isEmpty()) control->setText(platform::fixed(0));
    bool ok = false;
    platform::parseNumber(control->text(), &ok);
    if (!ok) {
        prompts.ask(QStringLiteral("Überprüfen Sie Ihre Eingabe"));
        return true;
    }
    return false;
}

bool isTargetInRange(double hours) {
    return hours >= 0.0 && hours <= MaxMonthTarget;
}

bool CheckTargetField(QLineEdit* control, platform::Prompts& prompts) {
    if (CheckNumberField(control, prompts)) return true;
    if (!isTargetInRange(platform::parseNumber(control->text()))) {
        prompts.ask(TargetRangeMessage);
        return true;
    }
    return false;
}

bool CheckDateField(QLineEdit* control, platform::Prompts& prompts) {
    const QString text = control->displayText();
    if (!platform::parseDate(text).isValid())
        prompts.ask(QStringLiteral("Sie haben kein gültiges Datum eingegeben"));
    return false;
}

bool CheckTimeField(QLineEdit* control, platform::Prompts& prompts) {
    const QString text = control->displayText();
    if (isEmptyMaskText(text)) {
        control->setInputMask(QString());
        control->setText(QString());
        return false;
    }
    if (!platform::parseTime(text).isValid())
        prompts.ask(QStringLiteral("Sie haben keine gültige Zeit eingegeben"));
    return false;
}

QString dateBoxMaskText() {
    return platform::dateInputMask();
}

QString dateBoxMask() {
    QString mask = platform::dateInputMask();
    mask.replace(QLatin1Char('#'), QLatin1Char('0'));
    return mask + QStringLiteral(";_");
}

} // namespace dialogs
