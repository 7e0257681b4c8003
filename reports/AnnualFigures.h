#pragma once
// The figures of the annual overview's yearly table: per member of a group, the year's working,
// vacation and sick days, hours worked and the hour balance of the last statistics row, as the
// table shows them.

#include "data/DataUmgebung.h"

#include <QList>
#include <QString>

namespace reports {

// One row of the yearly table; the counts and hours are empty when they are 0 or missing.
struct AnnualLine {
    QString planName;
    QString arbeitstage;
    QString urlaubstage;
    QString kranktage;
    QString freitage; // no rule: always empty
    QString stunden;
    QString stundenkonto;
};

// The members of rsMaNachGrp (the shown group) in the order of their positions, with the
// figures of the year. rsMaNachGrp is sorted by "Dienstpos"; rsStundSum is closed again.
QList<AnnualLine> annualLines(data::DataUmgebung& env, int year);

} // namespace reports
