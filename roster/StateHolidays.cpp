#include "roster/StateHolidays.h"

#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "engine/Sqlite.h"
#include "roster/Konstanten.h"

#include <algorithm>
#include <initializer_list>

namespace roster {

namespace {

using S = FederalState;

bool in(S state, std::initializer_list<S> states) {
    return std::find(states.begin(), states.end(), state) != states.end();
}

// The Wednesday before 23 November.
QDate bussUndBettag(int year) {
    const QDate d(year, 11, 22);
    return d.addDays(-((d.dayOfWeek() - Qt::Wednesday + 7) % 7));
}

} // namespace

QStringList federalStateNames() {
    return {QStringLiteral("Baden-Württemberg"),
            QStringLiteral("Bayern"),
            QStringLiteral("Berlin"),
            QStringLiteral("Brandenburg"),
            QStringLiteral("Bremen"),
            QStringLiteral("Hamburg"),
            QStringLiteral("Hessen"),
            QStringLiteral("Mecklenburg-Vorpommern"),
            QStringLiteral("Niedersachsen"),
            QStringLiteral("Nordrhein-Westfalen"),
            QStringLiteral("Rheinland-Pfalz"),
            QStringLiteral("Saarland"),
            QStringLiteral("Sachsen"),
            QStringLiteral("Sachsen-Anhalt"),
            QStringLiteral("Schleswig-Holstein"),
            QStringLiteral("Thüringen"),
            QStringLiteral("Bayern, Stadt Augsburg")};
}

QDate easterSunday(int year) {
    // the anonymous Gregorian algorithm (Meeus, Jones, Butcher)
    const int a = year % 19, b = year / 100, c = year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    return QDate(year, month, day);
}

std::vector<StateHoliday> stateHolidays(FederalState s, int year, bool halfDays) {
    const QDate easter = easterSunday(year);
    const bool bavarian = in(s, {S::Bayern, S::Augsburg});
    std::vector<StateHoliday> list;
    const auto add = [&](bool holds, const QDate& day, const char* name, double prozent = 1.0) {
        if (holds) list.push_back({day, QString::fromUtf8(name), prozent});
    };
    add(true, QDate(year, 1, 1), "Neujahr");
    add(bavarian || in(s, {S::BadenWuerttemberg, S::SachsenAnhalt}), QDate(year, 1, 6),
        "Heilige Drei Könige");
    add((s == S::Berlin && year >= 2019) || (s == S::MecklenburgVorpommern && year >= 2023),
        QDate(year, 3, 8), "Internationaler Frauentag");
    add(true, easter.addDays(-2), "Karfreitag");
    add(s == S::Brandenburg, easter, "Ostersonntag");
    add(true, easter.addDays(1), "Ostermontag");
    add(true, QDate(year, 5, 1), "Tag der Arbeit");
    // the anniversaries of the end of the war, once each
    add(s == S::Berlin && (year == 2020 || year == 2025), QDate(year, 5, 8), "Tag der Befreiung");
    add(true, easter.addDays(39), "Christi Himmelfahrt");
    add(s == S::Brandenburg, easter.addDays(49), "Pfingstsonntag");
    add(true, easter.addDays(50), "Pfingstmontag");
    add(bavarian || in(s, {S::BadenWuerttemberg, S::Hessen, S::NordrheinWestfalen,
                           S::RheinlandPfalz, S::Saarland}),
        easter.addDays(60), "Fronleichnam");
    add(s == S::Augsburg, QDate(year, 8, 8), "Augsburger Friedensfest");
    add(bavarian || s == S::Saarland, QDate(year, 8, 15), "Mariä Himmelfahrt");
    add(s == S::Thueringen && year >= 2019, QDate(year, 9, 20), "Weltkindertag");
    add(true, QDate(year, 10, 3), "Tag der Deutschen Einheit");
    add(year == 2017 ||
            in(s, {S::Brandenburg, S::MecklenburgVorpommern, S::Sachsen, S::SachsenAnhalt,
                   S::Thueringen}) ||
            (year >= 2018 &&
             in(s, {S::Bremen, S::Hamburg, S::Niedersachsen, S::SchleswigHolstein})),
        QDate(year, 10, 31), "Reformationstag");
    add(bavarian ||
            in(s, {S::BadenWuerttemberg, S::NordrheinWestfalen, S::RheinlandPfalz, S::Saarland}),
        QDate(year, 11, 1), "Allerheiligen");
    add(s == S::Sachsen, bussUndBettag(year), "Buß- und Bettag");
    add(halfDays, QDate(year, 12, 24), "Heiligabend", 0.5);
    add(true, QDate(year, 12, 25), "1. Weihnachtstag");
    add(true, QDate(year, 12, 26), "2. Weihnachtstag");
    add(halfDays, QDate(year, 12, 31), "Silvester", 0.5);

    std::stable_sort(list.begin(), list.end(),
                     [](const StateHoliday& a, const StateHoliday& b) { return a.day < b.day; });
    // two holidays on one day (Christi Himmelfahrt on 1 May) are one row with both names
    std::vector<StateHoliday> merged;
    for (const StateHoliday& h : list) {
        if (!merged.empty() && merged.back().day == h.day) {
            merged.back().name += QStringLiteral(" / ") + h.name;
            merged.back().prozent = std::max(merged.back().prozent, h.prozent);
        } else {
            merged.push_back(h);
        }
    }
    return merged;
}

EnteredHolidays enterStateHolidays(data::DataUmgebung& env, FederalState state, int firstYear,
                                   int lastYear, bool halfDays) {
    EnteredHolidays result;
    const Holidays existing(env, QDate(firstYear, 1, 1), QDate(lastYear, 12, 31));
    engine::Recordset& rs = env.rsFeiertage;
    try {
        engine::Transaction transaction(env.Datenbank);
        for (int year = firstYear; year <= lastYear; ++year) {
            for (const StateHoliday& h : stateHolidays(state, year, halfDays)) {
                if (existing.contains(h.day)) {
                    ++result.kept;
                    continue;
                }
                rs.addNew();
                rs.setValue(QStringLiteral("Tag"), engine::dateVariant(h.day));
                rs.setValue(QStringLiteral("Name"), h.name.left(50));
                rs.setValue(QStringLiteral("Prozent"), h.prozent);
                rs.update();
                ++result.added;
            }
        }
        transaction.commit();
    } catch (...) {
        if (rs.isEditing()) rs.cancelUpdate();
        rs.requery(); // the transaction is rolled back: the rows it had added are gone
        throw;
    }
    rs.requery();
    return result;
}

} // namespace roster
