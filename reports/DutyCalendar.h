#pragma once
// The duties of employees as iCalendar files (RFC 5545) for their phones and calendar programs,
// written by libical: one file per employee, one event per duty. A timed duty has its start and
// end in the time zone Europe/Berlin (the VTIMEZONE is part of the file); a duty without times
// (vacation, sick, free and other labels) is an all-day event. Every event's UID is made of the
// employee and the day, the key of a duty, so importing a later export again updates the events
// instead of doubling them.

#include "data/Session.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <vector>

namespace reports {

// The calendar of one employee's duties from first to last; stamp is the DTSTAMP of its events
// (a moment in UTC).
QByteArray dutyCalendar(data::DataUmgebung& env, int maNr, const QString& planName,
                        const QDate& first, const QDate& last, const QDateTime& stamp);

// The file name of an employee's calendar: the plan name (characters no file system takes
// replaced by "_") and the month, or the first and last month: "Anna-2025-12.ics",
// "Anna-2025-10-bis-2025-12.ics".
QString dutyCalendarFileName(const QString& planName, const QDate& first, const QDate& last);

struct CalendarOwner {
    int maNr = 0;
    QString planName;
};

// Writes the calendars of the employees into the folder, all or none: every file is written
// to its temporary file first and only then put in place. A failure is shown in German; then
// no file of this export has replaced an existing one. Returns the number of files written.
int writeDutyCalendars(data::Session& session, const std::vector<CalendarOwner>& owners,
                       const QDate& first, const QDate& last, const QString& folder);

} // namespace reports
