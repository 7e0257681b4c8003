#pragma once
// Rows for the roster and hook tests, written through the shared recordsets as windows write
// them, and lastChange read and set past the hooks.

#include "data/DataUmgebung.h"
#include "engine/DateValue.h"

#include <QDate>
#include <QTime>

namespace testing {

inline void addRow(engine::Recordset& rs, const QVariantMap& values) {
    rs.addNew();
    for (auto it = values.begin(); it != values.end(); ++it)
        rs.setValue(it.key(), it.value());
    rs.update();
}

inline int addEmployee(data::DataUmgebung& env, const QString& name, const QDate& firstDay,
                       double normstunden = 8.0, double sollstd = 0.0) {
    addRow(env.rsMitarbeiter, {{"PlanName", name},
                               {"Nachname", name},
                               {"ersterArbeitstag", engine::dateVariant(firstDay)},
                               {"normstunden", normstunden},
                               {"Sollstd", sollstd}});
    return env.rsMitarbeiter.value("MaNr").toInt();
}

// A time of day as the editors store it: an end before the start lies on the next day.
inline QVariant timeValue(const QTime& time, bool nextDay = false) {
    return time.isValid() ? engine::dateVariant(engine::dayNumber(time) + (nextDay ? 1 : 0))
                          : QVariant();
}

inline void addDuty(data::DataUmgebung& env, int maNr, const QDate& day,
                    const QTime& start = QTime(6, 0), const QTime& end = QTime(14, 0),
                    double pause = 0.0, const QVariant& kurzinfo = {}, double flat = 0.0) {
    addRow(env.rsDienstzeiten, {{"Tag", engine::dateVariant(day)},
                                {"MaNr", maNr},
                                {"Anfang", timeValue(start)},
                                {"Ende", timeValue(end, start.isValid() && end < start)},
                                {"Pause", pause},
                                {"Kurzinfo", kurzinfo},
                                {"Normstunden", flat}});
}

// A duty without times: a label and flat hours.
inline void addLabel(data::DataUmgebung& env, int maNr, const QDate& day, const QString& label,
                     double flat = 0.0) {
    addDuty(env, maNr, day, QTime(), QTime(), 0.0, label, flat);
}

inline void setLastChange(data::DataUmgebung& env, int maNr, const QVariant& day) {
    env.Datenbank.execute(
        "UPDATE Mitarbeiter SET lastChange = [d] WHERE MaNr = [m]",
        {day.typeId() == QMetaType::QDate ? engine::dateVariant(day.toDate()) : day, maNr},
        {"d", "m"});
}

inline QDate lastChange(data::DataUmgebung& env, int maNr) {
    engine::Recordset rs;
    rs.openSql(env.Datenbank, "SELECT lastChange FROM Mitarbeiter WHERE MaNr = [m]", {maNr}, {"m"});
    return engine::toDate(rs.value(0));
}

} // namespace testing
