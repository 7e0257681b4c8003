#pragma once
// The public holidays of the German federal states, worked out for any year (Easter by the
// Gregorian computus), and entering them into the holiday table.

#include "data/Session.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <vector>

namespace roster {

// The sixteen states in alphabetical order, then Augsburg (Bayern with the Augsburger
// Friedensfest, which holds in that city only).
enum class FederalState {
    BadenWuerttemberg,
    Bayern,
    Berlin,
    Brandenburg,
    Bremen,
    Hamburg,
    Hessen,
    MecklenburgVorpommern,
    Niedersachsen,
    NordrheinWestfalen,
    RheinlandPfalz,
    Saarland,
    Sachsen,
    SachsenAnhalt,
    SchleswigHolstein,
    Thueringen,
    Augsburg,
};

// The names shown for the states, in the order of FederalState.
QStringList federalStateNames();

// The first and last year the calendar knows (Buß- und Bettag left most states in 1995).
constexpr int FirstHolidayYear = 1995;
constexpr int LastHolidayYear = 2199;

struct StateHoliday {
    QDate day;
    QString name;
    double prozent = 1.0; // 1 a whole day, 0.5 a half day
};

QDate easterSunday(int year);

// The holidays of the state in the year, in date order. With halfDays, 24 and 31 December are
// added as half days (Prozent 0,5).
std::vector<StateHoliday> stateHolidays(FederalState state, int year, bool halfDays);

struct EnteredHolidays {
    int added = 0;
    int kept = 0; // days that already held a holiday; their rows stay as they were
};

// Adds the holidays of the state for the years from first to last to the holiday table through
// rsFeiertage (so the change hooks mark every employee's statistics), all in one transaction.
// Throws on failure; then the table is as it was.
EnteredHolidays enterStateHolidays(data::DataUmgebung& env, FederalState state, int firstYear,
                                   int lastYear, bool halfDays);

} // namespace roster
