#include "roster/MonthState.h"

#include "platform/Formats.h"

namespace roster {

void MonthState::setFromToday(const QDate& today) {
    month = today.month();
    year = today.year();
    firstDay = today.addDays(-today.day() + 1);
}

QString changedate(MonthState& state) {
    state.month = state.firstDay.month();
    state.year = state.firstDay.year();
    const QDate next = state.firstDay.addMonths(1);
    state.days = int(state.firstDay.daysTo(next));
    state.lastDay = next.addDays(-1);
    return platform::monthTitle(state.firstDay);
}

} // namespace roster
