#pragma once
// What the two duty editors (a roster duty, a standard duty) share: the colour of the record,
// the sample of the roster cell, the end that runs past midnight, the question after a failed
// save, and the length check of the short text.

#include "dialogs/RecordBinding.h"
#include "engine/Recordset.h"
#include "platform/Prompts.h"

#include <QString>

#include <exception>

class QLineEdit;

namespace dialogs {

// The colour (BGR) of the current duty; white without a record or without a colour.
quint32 dutyColour(const engine::Recordset& rs);

// The read-only "Beispiel" field that shows a duty as its roster cell.
void setUpDutySample(QLineEdit* sample);
// The sample in the duty's colour, with the text the roster would show for the fields as typed;
// the flat hours count only when their field is not empty.
void showDutySample(QLineEdit* sample, quint32 colour, const RecordBinding& binding,
                    const QString& shortInfo, const QLineEdit* flatHours,
                    const QString& flatHoursField);

// A saved duty that ends before it starts runs past midnight: its end moves to the next day
// and is saved again.
void moveEndPastMidnight(engine::Recordset& rs);

// Asks after a failed save of a duty whether the window closes anyway; true for yes.
bool closeDespiteSaveError(platform::Prompts& prompts, const std::exception& error);

// A short text longer than maxLength is refused with a message; true keeps the focus.
bool shortInfoTooLong(platform::Prompts& prompts, const QString& text, int maxLength);

} // namespace dialogs
