#pragma once
// The month roster painted onto a grid: one row per day, one column per group position, the
// target row, the day labels, the duties with their colours, free days in the weekend colour,
// and the hour, difference and balance rows.

#include "data/Session.h"
#include "roster/GridSurface.h"
#include "roster/MonthState.h"
#include "roster/WorkingTimeCheck.h"

#include <functional>

namespace roster {

// The widest texts the columns are sized for.
inline const QString LabelColumnSample = QStringLiteral("+##Vormonat");
inline const QString DutyColumnSample = QStringLiteral("00X00 X 00X00 XX");

class GridPainter {
public:
    GridPainter(data::Session& session, MonthState& month, GridSurface& grid)
        : session_(session), month_(month), grid_(grid) {}

    // Rebuilds the whole grid from the database, keeping the cursor.
    void gridrepaint();
    // Repaints only when automatic calculation is on.
    void gridrepaintcheck();
    // Day rows, labels, free days, work-day count, sum-row labels.
    void TageEintragen();
    // One column per member: name, target, duties, sums.
    void MaEintragen();

    // The cells whose duties break a working-time rule get a mark with the findings as its
    // tooltip (the screen's grid only).
    void markFindings();

    // Runs after every repaint (the status-bar summary).
    std::function<void()> afterRepaint;
    // Marks the findings of the working-time check on every repaint.
    bool showMarks = false;

private:
    data::Session& session_;
    MonthState& month_;
    GridSurface& grid_;
    WorkingTimeCache findings_;
};

} // namespace roster
