#include "dialogs/DutyFields.h"

#include "data/Session.h"
#include "engine/DateValue.h"
#include "platform/Colors.h"
#include "roster/Konstanten.h"
#include "roster/MonthState.h"

#include <QLineEdit>

#include <cmath>

namespace dialogs {

quint32 dutyColour(const engine::Recordset& rs) {
    if (!onRecord(rs)) return roster::White;
    const QVariant farbe = rs.value(QStringLiteral("Farbe"));
    return farbe.isNull() ? roster::White : quint32(farbe.toLongLong());
}

void setUpDutySample(QLineEdit* sample) {
    sample->setReadOnly(true);
    sample->setFocusPolicy(Qt::NoFocus);
    sample->setAlignment(Qt::AlignCenter);
    sample->setText(QStringLiteral("Beispiel"));
}

void showDutySample(QLineEdit* sample, quint32 colour, const RecordBinding& binding,
                    const QString& shortInfo, const QLineEdit* flatHours,
                    const QString& flatHoursField) {
    QPalette p = sample->palette();
    p.setColor(QPalette::Base, platform::fromBgr(colour));
    sample->setPalette(p);
    const QVariant flat =
        flatHours->text().trimmed().isEmpty() ? QVariant() : binding.widgetValue(flatHoursField);
    sample->setText(roster::dutyText(binding.widgetValue(QStringLiteral("Anfang")),
                                     binding.widgetValue(QStringLiteral("Ende")), shortInfo, flat));
}

void moveEndPastMidnight(engine::Recordset& rs) {
    const auto anfang = engine::dayNumber(rs.value(QStringLiteral("Anfang")));
    const auto ende = engine::dayNumber(rs.value(QStringLiteral("Ende")));
    // an end at the start's time is a 24-hour duty
    if (anfang && ende && std::llround(*ende * 86400.0) <= std::llround(*anfang * 86400.0)) {
        rs.setValue(QStringLiteral("Ende"), engine::dateVariant(*ende + 1.0));
        rs.update();
    }
}

bool closeDespiteSaveError(platform::Prompts& prompts, const std::exception& error) {
    return prompts.ask(QStringLiteral(
                           "Beim Speichern des Dienstes ist ein Fehler aufgetreten.\n Fehler = ") +
                           data::errorDescription(error) +
                           QStringLiteral("\nWollen Sie die Eingabemaske trotzdem schließen?"),
                       platform::Buttons::YesNo) == platform::Answer::Yes;
}

bool shortInfoTooLong(platform::Prompts& prompts, const QString& text, int maxLength) {
    if (text.size() <= maxLength) return false;
    prompts.ask(
        QStringLiteral("Die Kurzinfo darf nicht länger als %1 Zeichen sein").arg(maxLength));
    return true;
}

} // namespace dialogs
