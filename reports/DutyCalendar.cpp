#include "reports/DutyCalendar.h"

#include "engine/DateValue.h"
#include "platform/SafeFile.h"
#include "roster/Konstanten.h"
#include "roster/Query.h"

#include <QDir>
#include <QRegularExpression>

#include <libical/ical.h>

#include <cmath>
#include <memory>

namespace reports {

namespace {

const char* const ZoneId = "Europe/Berlin";

// Central European time with its daylight saving rules since 1996.
const char* const ZoneDefinition = "BEGIN:VTIMEZONE\r\n"
                                   "TZID:Europe/Berlin\r\n"
                                   "X-LIC-LOCATION:Europe/Berlin\r\n"
                                   "BEGIN:DAYLIGHT\r\n"
                                   "TZOFFSETFROM:+0100\r\n"
                                   "TZOFFSETTO:+0200\r\n"
                                   "TZNAME:CEST\r\n"
                                   "DTSTART:19700329T020000\r\n"
                                   "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
                                   "END:DAYLIGHT\r\n"
                                   "BEGIN:STANDARD\r\n"
                                   "TZOFFSETFROM:+0200\r\n"
                                   "TZOFFSETTO:+0100\r\n"
                                   "TZNAME:CET\r\n"
                                   "DTSTART:19701025T030000\r\n"
                                   "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\n"
                                   "END:STANDARD\r\n"
                                   "END:VTIMEZONE\r\n";

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

icaltimetype dayValue(const QDate& d) {
    icaltimetype t = icaltime_null_date();
    t.year = d.year();
    t.month = d.month();
    t.day = d.day();
    return t;
}

icaltimetype localTime(const QDateTime& dt) {
    icaltimetype t = icaltime_null_time();
    t.year = dt.date().year();
    t.month = dt.date().month();
    t.day = dt.date().day();
    t.hour = dt.time().hour();
    t.minute = dt.time().minute();
    t.second = dt.time().second();
    return t;
}

icalproperty* zoned(icalproperty* p) {
    icalproperty_add_parameter(p, icalparameter_new_tzid(ZoneId));
    return p;
}

QByteArray utf8(const QString& s) {
    return s.toUtf8();
}

// The time of day of a stored time value, to the second.
QTime timeOfDay(const QVariant& value) {
    const double n = value.toDouble();
    const qint64 seconds = std::llround((n - std::floor(n)) * 86400.0) % 86400;
    return QTime(0, 0).addSecs(int(seconds));
}

// The length of a duty as the hour rule counts it: whole days of the difference are ignored,
// except a difference of exactly one day (a 24-hour duty).
qint64 durationSeconds(const QVariant& anfang, const QVariant& ende) {
    const double span = ende.toDouble() - anfang.toDouble();
    if (roster::isWholeDay(span)) return 86400;
    return std::llround((span - std::floor(span)) * 86400.0) % 86400;
}

} // namespace

QByteArray dutyCalendar(data::DataUmgebung& env, int maNr, const QString& planName,
                        const QDate& first, const QDate& last, const QDateTime& stamp) {
    static const roster::Query duties(
        QStringLiteral("SELECT Tag, Anfang, Ende, Kurzinfo, Bemerkung, Dienstcode FROM "
                       "Dienstzeiten WHERE (MaNr = [parMaNr]) AND (Tag >= [parVon]) AND "
                       "(Tag <= [parBis]) ORDER BY Tag"),
        {QStringLiteral("parMaNr"), QStringLiteral("parVon"), QStringLiteral("parBis")});
    Component calendar(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
    icalcomponent_add_property(calendar.get(),
                               icalproperty_new_prodid("-//Turnova//Dienstplan//DE"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_calscale("GREGORIAN"));
    icalcomponent_add_property(calendar.get(), icalproperty_new_method(ICAL_METHOD_PUBLISH));
    icalproperty* name =
        icalproperty_new_x(utf8(QStringLiteral("Dienste ") + planName).constData());
    icalproperty_set_x_name(name, "X-WR-CALNAME");
    icalcomponent_add_property(calendar.get(), name);
    icalcomponent_add_component(calendar.get(), icalcomponent_new_from_string(ZoneDefinition));

    icaltimetype dtstamp = localTime(stamp.toUTC());
    dtstamp.zone = icaltimezone_get_utc_timezone();
    roster::QueryRun run(env.Datenbank, duties, {maNr, first, last});
    while (run.next()) {
        const QDate day = engine::toDate(run.value(0));
        if (!day.isValid()) continue;
        const QString kurzinfo = run.value(3).toString().trimmed();
        const QString bemerkung = run.value(4).toString().trimmed();
        const QString code = run.value(5).toString().trimmed();
        const bool timed = !run.isNull(1) && !run.isNull(2);
        QString summary = !kurzinfo.isEmpty() ? kurzinfo : !code.isEmpty() ? code : QString();
        if (summary.isEmpty())
            summary = timed ? QStringLiteral("Dienst") : QStringLiteral("Eintrag");

        icalcomponent* event = icalcomponent_new(ICAL_VEVENT_COMPONENT);
        const QByteArray uid = QStringLiteral("turnova-%1-%2@dienstplan")
                                   .arg(maNr)
                                   .arg(day.toString(QStringLiteral("yyyyMMdd")))
                                   .toUtf8();
        icalcomponent_add_property(event, icalproperty_new_uid(uid.constData()));
        icalcomponent_add_property(event, icalproperty_new_dtstamp(dtstamp));
        icalcomponent_add_property(event, icalproperty_new_summary(utf8(summary).constData()));
        if (!bemerkung.isEmpty())
            icalcomponent_add_property(event,
                                       icalproperty_new_description(utf8(bemerkung).constData()));
        if (timed) {
            const QDateTime start(day, timeOfDay(run.value(1)));
            const QDateTime end = start.addSecs(durationSeconds(run.value(1), run.value(2)));
            icalcomponent_add_property(event, zoned(icalproperty_new_dtstart(localTime(start))));
            icalcomponent_add_property(event, zoned(icalproperty_new_dtend(localTime(end))));
        } else {
            // an all-day entry: the day, ending before the next; it does not block the time
            icalcomponent_add_property(event, icalproperty_new_dtstart(dayValue(day)));
            icalcomponent_add_property(event, icalproperty_new_dtend(dayValue(day.addDays(1))));
            icalcomponent_add_property(event, icalproperty_new_transp(ICAL_TRANSP_TRANSPARENT));
        }
        icalcomponent_add_component(calendar.get(), event);
    }
    char* text = icalcomponent_as_ical_string_r(calendar.get());
    const QByteArray bytes(text);
    free(text);
    return bytes;
}

QString dutyCalendarFileName(const QString& planName, const QDate& first, const QDate& last) {
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\x00-\\x1f]"));
    QString name = QString(planName).replace(unsafe, QStringLiteral("_")).trimmed();
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QStringLiteral("Dienste"));
    const QString from = first.toString(QStringLiteral("yyyy-MM"));
    const QString to = last.toString(QStringLiteral("yyyy-MM"));
    return name + QLatin1Char('-') + (from == to ? from : from + QStringLiteral("-bis-") + to) +
           QStringLiteral(".ics");
}

int writeDutyCalendars(data::Session& session, const std::vector<CalendarOwner>& owners,
                       const QDate& first, const QDate& last, const QString& folder) {
    const QDateTime stamp = QDateTime::currentDateTimeUtc();
    data::ProgressSink& progress = *session.progress;
    try {
        // all files complete beside their targets before the first one replaces anything
        std::vector<std::unique_ptr<platform::SafeFile>> files;
        progress.setMaximum(int(owners.size()));
        for (const CalendarOwner& owner : owners) {
            const QString path =
                QDir(folder).filePath(dutyCalendarFileName(owner.planName, first, last));
            files.push_back(std::make_unique<platform::SafeFile>(path));
            files.back()->write(
                dutyCalendar(session.env, owner.maNr, owner.planName, first, last, stamp));
            progress.setValue(int(files.size()));
        }
        for (const auto& file : files)
            file->commit();
        progress.setValue(0);
        return int(files.size());
    } catch (const platform::FileWriteError& e) {
        progress.setValue(0);
        session.prompts().ask(e.message(), platform::Buttons::Ok, platform::Icon::Exclamation);
    } catch (const std::exception& e) {
        progress.setValue(0);
        data::report(session, e, QStringLiteral("Kalender"));
    }
    return 0;
}

} // namespace reports
