#pragma once
// Rows for the roster tests, written through the shared recordsets as the windows write them.

#include "data/DataUmgebung.h"
#include "engine/DateValue.h"

#include <QDate>
#include <QTime>
#include <QVariant>

namespace testing {

// A new employee; returns his number.
inline int addEmployee(data::DataUmgebung& env, const QString& name, const QDate& firstDay,
                       double normstunden = 8.0, double sollstd = 0.0) {
    engine::Recordset& rs = env.rsMitarbeiter;
    rs.addNew();
    rs.setValue("PlanName", name);
    rs.setValue("Nachname", name);
    rs.setValue("ersterArbeitstag", engine::dateVariant(firstDay));
    rs.setValue("normstunden", normstunden);
    rs.setValue("Sollstd", sollstd);
    rs.update();
    return rs.value("MaNr").toInt();
}

// A time of day as the editors store it; end before start ends on the following day.
inline QVariant timeValue(const QTime& time, bool nextDay = false) {
    if (!time.isValid()) return QVariant();
    return engine::dateVariant(engine::dayNumber(time) + (nextDay ? 1.0 : 0.0));
}

// A duty; start and end may be invalid (no times).
inline void addDuty(data::DataUmgebung& env, int maNr, const QDate& day, const QTime& start,
                    const QTime& end, double pause = 0.0, const QVariant& kurzinfo = QVariant(),
                    double flat = 0.0) {
    engine::Recordset& rs = env.rsDienstzeiten;
    rs.addNew();
    rs.setValue("Tag", engine::dateVariant(day));
    rs.setValue("MaNr", maNr);
    rs.setValue("Anfang", timeValue(start));
    rs.setValue("Ende", timeValue(end, start.isValid() && end.isValid() && end < start));
    rs.setValue("Pause", pause);
    rs.setValue("Kurzinfo", kurzinfo);
    rs.setValue("Normstunden", flat);
    rs.update();
}

// A duty without times: a label and flat hours.
inline void addLabel(data::DataUmgebung& env, int maNr, const QDate& day, const QString& label,
                     double flat = 0.0) {
    addDuty(env, maNr, day, QTime(), QTime(), 0.0, label, flat);
}

inline void addHoliday(data::DataUmgebung& env, const QDate& day, const QString& name = {}) {
    engine::Recordset& rs = env.rsFeiertage;
    rs.addNew();
    rs.setValue("Tag", engine::dateVariant(day));
    rs.setValue("Name", name);
    rs.update();
}

} // namespace testing
