#pragma once
// The month the main window shows, and the group. The first day is the one independent value;
// changedate derives the others from it.

#include <QDate>
#include <QString>

namespace roster {

constexpr quint32 DefaultWeekendColor = 13761911; // red 119, green 253, blue 209
constexpr quint32 White = 16777215;                // a duty without a colour of its own

struct MonthState {
    int month = 1;
    int year = 2000;
    QDate firstDay;
    QDate lastDay;
    int days = 0;
    int workDays = 0;
    quint32 weekendColor = DefaultWeekendColor;
    int groupNumber = 0;
    bool painting = false;
    bool autoCalc = true; // "Automatisch berechnen:" of the settings window

    // The first day of today's month.
    void setFromToday(const QDate& today);
};

// Recomputes month, year, last day and days from the first day; returns the month title
// "mmmm.yy" for txtdatum.
QString changedate(MonthState& state);

} // namespace roster
