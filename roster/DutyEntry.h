#pragma once
// Turning a standard duty into a duty record (the duty keys of the roster, dropping a standard
// duty, the working-time sheet), and exchanging the positions of two members of a group.

#include "data/Session.h"

#include <QChar>
#include <QDate>

namespace roster {

// The character of a duty key: the number-pad digits (codes 96 to 105) are the digits 0 to 9,
// every other code is its own character (65 is A, 55 is 7).
QChar keyCharacter(int keyCode);
// The code shown for a key: number-pad digits reduced to the codes of the digits.
int keyCodeOf(int keyCode);

enum class StdDienstResult {
    Written,        // the duty was written; rsDienstzeiten stands on it
    NoStandardDuty, // no standard duty has the key; the day is as it was
    Failed,         // an error was reported with "insStdDienst"; the day is as it was
};

// Writes the standard duty of the key as the employee's duty of the day, replacing a duty he
// already has there. Every field is copied (Bemerkung and Kurzinfo empty become null); a norm
// duty takes the employee's daily norm hours as its flat hours, any other its Pauschalstunden.
// The standard duty is looked up first, and the old duty is deleted and the new one written in
// one transaction, so that nothing is lost when there is no such standard duty or the write
// fails. rsStandarddienste is left on the standard duty.
StdDienstResult insStdDienst(data::Session& session, const QDate& day, int maNr, QChar key);

// Exchanges the positions of the members at position and position + direction of a group, in
// one transaction; nothing changes when either position is empty. Throws EngineError.
void swapPositions(data::DataUmgebung& env, int position, int direction, int group);

} // namespace roster
