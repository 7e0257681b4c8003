#pragma once
// Which duties are days off. The working-time check holds only work against the law; whether a
// duty is work or a day of vacation, sickness or free time is a property of its standard duty,
// kept by the duty's short text in the table Dienstarten beside the nine of the design. A short
// text without a row there is a day off when it holds one of the words "Urlaub", "krank" or
// "Frei" as a whole word, in any case ("Urlaub halbtags" is vacation; "Krankenhausbegleitung"
// and "Freizeitbegleitung" are work); a duty without times is also a day off when the word is
// only part of its text ("Freizeitausgleich"), as the check always took it. The statistics keep
// their own rule.

#include "engine/Connection.h"

#include <QHash>
#include <QList>
#include <QString>

namespace data {

enum class DutyKind { Work = 0, Vacation = 1, Sick = 2, Free = 3 };

// "Arbeit", "Urlaub", "krank", "Frei": the names the rules dialog offers.
QString dutyKindName(DutyKind kind);

// The kind a short text has without a row of its own; timed: the duty has start and end.
DutyKind presetDutyKind(const QString& kurzinfo, bool timed);

class DutyKinds {
public:
    DutyKind of(const QString& kurzinfo, bool timed) const;
    void set(const QString& kurzinfo, DutyKind kind);

private:
    QHash<QString, DutyKind> byText_; // case-folded, trimmed short text
};

// A standard duty as the rules dialog lists it, with the kind in force.
struct StandardDutyKind {
    QString taste;
    QString kurzinfo;
    DutyKind kind = DutyKind::Work;
};

// Creates the table when it is missing.
void ensureDutyKindsTable(engine::Connection& connection);

// The stored kinds; none when the table is missing.
DutyKinds loadDutyKinds(engine::Connection& connection);

// The standard duties with a short text, by key, with their kinds.
QList<StandardDutyKind> standardDutyKinds(engine::Connection& connection);

// Stores the kind of every short text given, in one transaction. Throws EngineError.
void saveDutyKinds(engine::Connection& connection, const QList<StandardDutyKind>& kinds);

} // namespace data
