#pragma once
// The groups of the roster and the order of the employees: the default group, the
// all-employees group (group 1) kept complete, the closing-up of group positions, adding to and
// removing from a group, deleting a group, and the employees' own positions (next, hide, show,
// delete). Every change that touches several rows runs in one transaction.

#include "data/DataUmgebung.h"

namespace roster {

constexpr int AllEmployeesGroup = 1;
inline const QString DefaultGroupName = QStringLiteral("Alle Ma.");

// Adds the group "Alle Ma." when there is no group at all.
void defaultGroup(data::DataUmgebung& env);

// Every employee becomes a member of group 1. An employee without a position gets the next one
// after the highest; a new member takes the employee's position when he is shown, else the next
// position after the highest. Hidden employees (position 0 or below) stay hidden.
void allEmployeesGroup(data::DataUmgebung& env);

// The members of every group get the positions 1 to n in their present order (members with
// the same position in the order they joined). rsMaNachGrp is then reopened for shownGroup
// when it is greater than 0.
void renumberPositions(data::DataUmgebung& env, int shownGroup = 0);

// Appends the employee to the group after its highest position, through rsGpZuordnung.
// Throws the engine's error (GeneralFailure when he is already a member); the new row is
// cancelled then.
void addMember(data::DataUmgebung& env, int maNr, int group);
// Removes the employee from the group; the members after him move up and close any gap
// behind him. false when he is no member.
bool removeMember(data::DataUmgebung& env, int maNr, int group);
// Deletes the group with all its memberships (no employee).
void deleteGroup(data::DataUmgebung& env, int group);

// The position after the highest of all employees (1 when there is none or all are hidden).
int nextEmployeePosition(data::DataUmgebung& env);
// A shown employee gets the position below the lowest (0 when nobody is hidden) and the
// employees after him move up by one. false when he was not shown.
bool hideEmployee(data::DataUmgebung& env, int maNr);
// A hidden employee goes behind the last shown one. false when he was not hidden.
bool showEmployee(data::DataUmgebung& env, int maNr);
// Deletes the employee with all his duties, group memberships and statistics rows; the
// employees after him move up by one and the groups are closed up. All or nothing.
void deleteEmployee(data::DataUmgebung& env, int maNr);

} // namespace roster
