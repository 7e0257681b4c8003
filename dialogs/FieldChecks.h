#pragma once
// The checks of the dialogs' edit fields, run when the focus is about to leave a field, and the
// focus behaviour of the masked time boxes. A check's true result keeps the focus in the field.

#include "platform/Prompts.h"

#include <QString>

class QLineEdit;

namespace dialogs {

// Empty text becomes the locale's zero with two decimals ("0,00"); a text that is no number
// gives "Überprüfen Sie Ihre Eingabe" and true (the focus stays, the text is kept).
bool CheckNumberField(QLineEdit* control, platform::Prompts& prompts);
// A month's target in hours: 0 to MaxMonthTarget (every hour of the longest month).
inline constexpr double MaxMonthTarget = 744.0;
inline const QString TargetRangeMessage =
    QStringLiteral("Die Sollstunden müssen zwischen 0 und 744 liegen.");
bool isTargetInRange(double hours);
// As CheckNumberField, and a number outside the target range gives TargetRangeMessage and true.
bool CheckTargetField(QLineEdit* control, platform::Prompts& prompts);
// A text that is no date gives "Sie haben kein gültiges Datum eingegeben"; always false.
bool CheckDateField(QLineEdit* control, platform::Prompts& prompts);
// "__:__" (nothing typed) empties the box and its mask; a text that is no time of day gives
// "Sie haben keine gültige Zeit eingegeben"; always false.
bool CheckTimeField(QLineEdit* control, platform::Prompts& prompts);

// The input mask of a time box while it has the focus: two digits, colon, two digits.
inline constexpr const char* TimeMask = "00:00;_";
// The Qt input mask of a date box from the locale's short date pattern ("00.00.0000;_").
QString dateBoxMask();
// The old mask notation ("##.##.####") of the same box.
QString dateBoxMaskText();

// The empty text of a masked box ("__:__", "__.__.____").
bool isEmptyMaskText(const QString& displayText);

} // namespace dialogs
