// The staffing check with months worked out by hand: a late shift short on a Wednesday and a
// night without a registered nurse on Saturday, the holiday requirement on a weekday holiday, a
// night duty counted for the day it starts, over-staffing, the share of skilled staff, shifts by
// time window; and the cache that a change of the data renews.

#include "data/Staffing.h"
#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "roster/StaffingCheck.h"
#include "tests/support/TestSession.h"

#include <QtTest>

using data::StaffingRequirement;
using roster::StaffedDuty;
using roster::StaffingGap;

namespace {

const QDate Monday(2026, 12, 7);
enum Qual { PFK = 1, PHK = 2, PA = 4 };

StaffedDuty duty(const QDate& day, int maNr, const QString& kurz, const QTime& from,
                 const QTime& to) {
    StaffedDuty d;
    d.day = day;
    d.maNr = maNr;
    d.kurzinfo = kurz;
    d.anfang = engine::dayNumber(from);
    d.ende = engine::dayNumber(to) + (to <= from ? 1 : 0);
    return d;
}
StaffedDuty early(const QDate& day, int maNr) {
    return duty(day, maNr, QStringLiteral("Frühdienst"), QTime(6, 0), QTime(14, 0));
}
StaffedDuty late(const QDate& day, int maNr) {
    return duty(day, maNr, QStringLiteral("Spätdienst"), QTime(13, 30), QTime(21, 30));
}
StaffedDuty night(const QDate& day, int maNr) {
    return duty(day, maNr, QStringLiteral("Nachtdienst"), QTime(21, 0), QTime(6, 15));
}

StaffingRequirement byKey(const QString& shift, const QString& key, int minimum,
                          int days = data::AllDaysBits) {
    StaffingRequirement r;
    r.shift = shift;
    r.key = key;
    r.minimum = minimum;
    r.days = days;
    return r;
}

// Employees 1 and 4 are registered nurses, 6 leads practice; 2, 3, 5, 7 to 9 are assistants.
roster::StaffingRules rules(const QList<StaffingRequirement>& requirements) {
    roster::StaffingRules r;
    r.requirements = requirements;
    r.standardDuties.insert(QStringLiteral("F"), {QStringLiteral("Frühdienst"), 0.25, 7 / 12.0});
    r.standardDuties.insert(QStringLiteral("S"),
                            {QStringLiteral("Spätdienst"), 13.5 / 24, 21.5 / 24});
    r.standardDuties.insert(QStringLiteral("N"), {QStringLiteral("Nachtdienst"), 0.875, 1.26});
    r.qualificationList = {{PFK, QStringLiteral("Pflegefachkraft"), {}, true, {}},
                           {PHK, QStringLiteral("Pflegehilfskraft"), {}, false, {}},
                           {PA, QStringLiteral("Praxisanleitung"), {}, true, {}}};
    r.qualifications = {{1, {PFK}}, {4, {PFK}}, {6, {PA, PFK}}};
    for (int maNr : {2, 3, 5, 7, 8, 9})
        r.qualifications.insert(maNr, {PHK});
    return r;
}

QStringList texts(const roster::StaffingMonth& month) {
    QStringList list;
    for (const StaffingGap& g : month.gaps)
        list << QLocale().toString(g.day, QStringLiteral("ddd ")) + g.text;
    return list;
}

} // namespace

class TestStaffingCheck : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void aWeekWithAShortLateShiftAndANightWithoutNurse() {
        StaffingRequirement lateShift = byKey(QStringLiteral("Spätdienst"), QStringLiteral("S"), 3);
        StaffingRequirement nightShift =
            byKey(QStringLiteral("Nachtdienst"), QStringLiteral("n"), 1);
        lateShift.qualNr = nightShift.qualNr = PFK;
        lateShift.qualMinimum = nightShift.qualMinimum = 1;
        std::vector<StaffedDuty> duties;
        for (int i = 0; i < 7; ++i) {
            const QDate day = Monday.addDays(i);
            for (int maNr : {1, 2, 3})
                if (!(i == 2 && maNr == 3)) duties.push_back(late(day, maNr));
            duties.push_back(night(day, i == 5 ? 5 : 4));
        }
        const roster::StaffingMonth month = roster::checkStaffing(Monday, Monday.addDays(6), duties,
                                                                  rules({lateShift, nightShift}));
        QCOMPARE(texts(month), QStringList({QStringLiteral("Mi. Spätdienst: 2 von 3"),
                                            QStringLiteral("Sa. Nachtdienst: keine "
                                                           "Pflegefachkraft")}));
        QCOMPARE(month.kindsOn(Monday.addDays(2)), int(roster::UnderStaffed));
        QCOMPARE(month.kindsOn(Monday.addDays(5)), int(roster::QualificationMissing));
        QCOMPARE(month.kindsOn(Monday.addDays(6)), 0);
        QCOMPARE(month.shifts,
                 QStringList({QStringLiteral("Spätdienst"), QStringLiteral("Nachtdienst")}));
        QCOMPARE(month.days[2].at(0).count, 2);
        QCOMPARE(month.days[2].at(1).count, 1);

        // both gaps of one shift in one line, as the tooltip names them
        const std::vector<StaffedDuty> one = {late(Monday, 2), late(Monday, 3)};
        const roster::StaffingMonth monday =
            roster::checkStaffing(Monday, Monday, one, rules({lateShift}));
        QCOMPARE(monday.tipOn(Monday), QStringLiteral("Spätdienst: 2 von 3, keine "
                                                      "Pflegefachkraft"));
    }

    void theKindOfDayDecidesTheRequirement() {
        // 24 December is a Thursday, 25 December a holiday on a Friday
        const QDate thursday(2026, 12, 24);
        const QDate holiday(2026, 12, 25);
        const StaffingRequirement weekday =
            byKey(QStringLiteral("Frühdienst"), QStringLiteral("F"), 4, data::WeekdayBit);
        const StaffingRequirement onHoliday =
            byKey(QStringLiteral("Frühdienst"), QStringLiteral("F"), 2, data::HolidayBit);
        std::vector<StaffedDuty> duties = {early(thursday, 1), early(thursday, 2),
                                           early(holiday, 1), early(holiday, 2)};
        roster::StaffingRules r = rules({weekday, onHoliday});
        r.holidays = {holiday};
        const roster::StaffingMonth month = roster::checkStaffing(thursday, holiday, duties, r);
        QCOMPARE(texts(month), QStringList({QStringLiteral("Do. Frühdienst: 2 von 4")}));
        QCOMPARE(roster::dayKindBit(QDate(2026, 12, 26), r.holidays), int(data::SaturdayBit));
        QCOMPARE(roster::dayKindBit(holiday, r.holidays), int(data::HolidayBit));
    }

    void aNightCountsForTheDayItStarts() {
        // a night window from 21:00 to 06:00: Friday's night duty runs into Saturday
        StaffingRequirement nights;
        nights.shift = QStringLiteral("Nacht");
        nights.from = QTime(21, 0);
        nights.to = QTime(6, 0);
        nights.minimum = 1;
        const QDate friday = Monday.addDays(4);
        const std::vector<StaffedDuty> duties = {night(friday, 4)};
        const roster::StaffingMonth month =
            roster::checkStaffing(friday, friday.addDays(1), duties, rules({nights}));
        QCOMPARE(texts(month), QStringList({QStringLiteral("Sa. Nacht: 0 von 1")}));
        QCOMPARE(month.days[0].at(0).count, 1);

        // a window counts the duties that cover at least half of it
        StaffingRequirement mornings = nights;
        mornings.shift = QStringLiteral("Vormittag");
        mornings.from = QTime(6, 0);
        mornings.to = QTime(14, 0);
        mornings.minimum = 0;
        const std::vector<StaffedDuty> day = {
            duty(Monday, 1, QStringLiteral("Tagdienst"), QTime(8, 0), QTime(16, 30)),
            late(Monday, 2), early(Monday, 3), night(Monday, 4)};
        QCOMPARE(roster::checkStaffing(Monday, Monday, day, rules({mornings})).days[0].at(0).count,
                 2);
    }

    void overStaffingAndTheShareOfSkilledStaff() {
        StaffingRequirement earlyShift =
            byKey(QStringLiteral("Frühdienst"), QStringLiteral("F"), 2);
        earlyShift.maximum = 5;
        earlyShift.qualNr = data::AnySkilled;
        earlyShift.qualShare = 50;
        std::vector<StaffedDuty> duties;
        // Monday: 1, 4, 6 skilled of 7 (43 %); Tuesday: 1, 4, 6 of 6 with 3 assistants (50 %)
        for (int maNr : {1, 4, 6, 2, 3, 5, 7})
            duties.push_back(early(Monday, maNr));
        for (int maNr : {1, 4, 6, 2, 3, 5})
            duties.push_back(early(Monday.addDays(1), maNr));
        const roster::StaffingMonth month =
            roster::checkStaffing(Monday, Monday.addDays(1), duties, rules({earlyShift}));
        QCOMPARE(texts(month),
                 QStringList({QStringLiteral("Mo. Frühdienst: 7 von höchstens 5, Anteil "
                                             "Fachkraft 3 von 7 (43 %, mindestens 50 %)"),
                              QStringLiteral("Di. Frühdienst: 6 von höchstens 5")}));
        QCOMPARE(month.kindsOn(Monday), roster::OverStaffed | roster::QualificationMissing);
    }

    void theCacheAsksTheDatabaseOnlyAfterAChange() {
        testing::TestSession t;
        t.createDatabase();
        engine::Connection& db = t.env().Datenbank;
        data::ensureStaffingTables(db);
        db.execute(QStringLiteral("INSERT INTO Gruppen (Gruppenname) VALUES ('Station')"));
        db.execute(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, DienstPos) VALUES "
                                  "('Anna', 'A', 1)"));
        db.execute(QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES "
                                  "(1, 1, 1)"));
        db.execute(QStringLiteral("INSERT INTO Standarddienste (Taste, Kurzinfo) VALUES ('F', "
                                  "'Frühdienst')"));
        data::saveStaffing(db, data::loadQualifications(db), {}, 1,
                           {byKey(QStringLiteral("Frühdienst"), QStringLiteral("F"), 1)});
        roster::StaffingCache cache;
        const QDate first(2026, 12, 1);
        const QDate last(2026, 12, 31);
        QCOMPARE(cache.month(t.env(), 1, first, last).gaps.size(), 31);
        db.execute(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo) VALUES "
                                  "(#12/2/2026#, 1, 'frühdienst')"));
        const roster::StaffingMonth& again = cache.month(t.env(), 1, first, last);
        QCOMPARE(again.gaps.size(), 30);
        QCOMPARE(cache.month(t.env(), 1, QDate(2026, 11, 1), QDate(2026, 11, 30)).gaps.size(), 30);
    }
};

QTEST_MAIN(TestStaffingCheck)
#include "test_staffingcheck.moc"
