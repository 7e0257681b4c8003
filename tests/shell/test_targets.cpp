// Targets and balances as the roster shows and stores them: the target window of a first month
// and its Esc, a changed flat target, the months before the first working day, and a month after
// the last stored statistics row.

#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "print/RecordingSurface.h"
#include "print/RosterHtml.h"
#include "print/RosterPage.h"
#include "reports/TimeSheet.h"
#include "roster/MemoryGrid.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/support/MainWindowDesk.h"
#include "tests/support/Modal.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

using namespace testing;

class TestTargets : public QObject, MainWindowDesk {
    Q_OBJECT

    FlexGrid* grid() { return w->grid(); }
    int days() { return w->month().days; }
    // A member of the group at position pos, marked for the statistics run from his first day.
    int employee(const QString& name, const QDate& firstDay, double sollstd, int pos,
                 double stdbestand = 0) {
        exec(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, normstunden, Sollstd, "
                            "ersterArbeitstag, lastChange, StdBestand) "
                            "VALUES (p0, p0, 8, p1, p2, p2, p3)"),
             {name, sollstd, engine::dateVariant(firstDay), stdbestand});
        const int maNr = int(env().Datenbank.lastInsertRowId());
        exec(QStringLiteral("INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) "
                            "VALUES (1, p0, p1)"),
             {maNr, pos});
        return maNr;
    }
    double storedTarget(int maNr, int month, int year) {
        return scalar(QStringLiteral("SELECT Soll FROM Statistik WHERE MaNr = p0 AND "
                                     "Monat = p1 AND Jahr = p2"),
                      {maNr, month, year})
            .toDouble();
    }
    void start(const QDate& today) { QVERIFY(startWindow(today)); }
    void refresh() {
        w->berStatistik2();
        w->gridrepaint();
    }
    QPoint cellCentre(int row, int col) {
        const QModelIndex index = grid()->model()->index(row, col);
        grid()->scrollTo(index);
        return grid()->visualRect(index).center();
    }
    // The target, difference and balance shown in the column.
    QStringList shown(int col) {
        return {grid()->text(1, col), grid()->text(days() + 3, col).trimmed(),
                grid()->text(days() + 4, col).trimmed()};
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void cleanup() { closeWindow(); }

    // First working day 15 December 2025: the month's automatic target counts the 13 work days
    // from the 15th. Opening the target window and leaving it with Esc changes nothing.
    void theTargetWindowOfAFirstMonthStoresNothingOnEsc() {
        start(QDate(2025, 12, 10));
        const int dora = employee(QStringLiteral("Dora"), QDate(2025, 12, 15), 0, 1);
        refresh();
        QCOMPARE(storedTarget(dora, 12, 2025), 104.0);
        QCOMPARE(grid()->text(1, 1), QStringLiteral("104,00"));
        QString offered;
        onModal([&](QWidget* dialog) {
            offered = in<QLineEdit>(dialog, "Text1")->text();
            QTest::keyClick(dialog, Qt::Key_Escape);
        });
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(days() + 2, 1));
        QCOMPARE(offered, QStringLiteral("104,00"));
        QCOMPARE(storedTarget(dora, 12, 2025), 104.0);
        QCOMPARE(grid()->text(1, 1), QStringLiteral("104,00"));
        QVERIFY(!env().rsStatistik.isEditing());

        // a flat target typed and left with Esc is not stored either; "Speichern" stores it
        const int emil = employee(QStringLiteral("Emil"), QDate(2025, 1, 1), 150, 2);
        refresh();
        for (const bool save : {false, true}) {
            onModal([save](QWidget* dialog) {
                in<QLineEdit>(dialog, "Text1")->setText(QStringLiteral("140"));
                if (save)
                    QTest::mouseClick(in<QPushButton>(dialog, "Command1"), Qt::LeftButton);
                else
                    QTest::keyClick(dialog, Qt::Key_Escape);
            });
            QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCentre(days() + 3, 2));
            QCOMPARE(storedTarget(emil, 12, 2025), save ? 140.0 : 150.0);
            QCOMPARE(grid()->text(1, 2),
                     save ? QStringLiteral("140,00") : QStringLiteral("150,00"));
        }
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    // A changed flat target reaches the stored targets and the roster through the employee
    // window, from the shown month on: 150 back to 0 gives the work days' target, 0 to 150 the
    // flat one; a month's target entered by hand survives a change of the flat target.
    void aChangedFlatTargetIsRecomputed() {
        start(QDate(2025, 12, 10));
        const int emil = employee(QStringLiteral("Emil"), QDate(2025, 1, 1), 150, 1);
        refresh();
        exec(QStringLiteral("UPDATE Statistik SET Soll = 140 WHERE MaNr = p0 AND Monat = 3"),
             {emil});
        grid()->setCursor(5, 1);
        const auto setFlatTarget = [this](const QString& text) {
            onModal([text](QWidget* window) {
                in<QLineEdit>(window, "Text1")->setText(text);
                QTest::mouseClick(in<QPushButton>(window, "cmdClose"), Qt::LeftButton);
            });
            w->menuAction(QStringLiteral("mnumitarb"))->trigger();
        };
        setFlatTarget(QStringLiteral("0"));
        QCOMPARE(storedTarget(emil, 12, 2025), 184.0); // 23 work days
        QCOMPARE(storedTarget(emil, 11, 2025), 150.0); // before the shown month
        QCOMPARE(storedTarget(emil, 3, 2025), 140.0);
        QCOMPARE(grid()->text(1, 1), QStringLiteral("184,00"));
        setFlatTarget(QStringLiteral("150"));
        QCOMPARE(storedTarget(emil, 12, 2025), 150.0);
        QCOMPARE(storedTarget(emil, 1, 2026), 150.0);
        // from a flat target to another, the months before the shown one keep theirs, and so
        // do their balances
        const double novemberBalance =
            scalar(QStringLiteral("SELECT SumVormonat + IstStd - Soll FROM Statistik WHERE MaNr = "
                                  "p0 AND Monat = 11 "
                                  "AND Jahr = 2025"),
                   {emil})
                .toDouble();
        setFlatTarget(QStringLiteral("170"));
        QCOMPARE(storedTarget(emil, 11, 2025), 150.0);
        QCOMPARE(storedTarget(emil, 12, 2025), 170.0);
        QCOMPARE(scalar(QStringLiteral("SELECT SumVormonat FROM Statistik WHERE MaNr = p0 AND "
                                       "Monat = 12 AND Jahr = 2025"),
                        {emil})
                     .toDouble(),
                 novemberBalance);
        setFlatTarget(QStringLiteral("150"));
        QCOMPARE(grid()->text(1, 1), QStringLiteral("150,00"));
        exec(QStringLiteral("UPDATE Statistik SET Soll = 140 WHERE MaNr = p0 AND Monat = 3"),
             {emil});
        setFlatTarget(QStringLiteral("160"));
        QCOMPARE(storedTarget(emil, 12, 2025), 160.0);
        QCOMPARE(storedTarget(emil, 3, 2025), 140.0); // entered by hand
        QCOMPARE(grid()->text(1, 1), QStringLiteral("160,00"));
        QVERIFY(desk->prompts.shown.isEmpty());
    }

    // Before the first working day there is no target, and the balance is the opening balance,
    // whether the month has a statistics row or not.
    void monthsBeforeTheFirstWorkingDayHaveNoTarget() {
        start(QDate(2025, 12, 10));
        employee(QStringLiteral("Dora"), QDate(2025, 12, 15), 0, 1, 12.5);
        employee(QStringLiteral("Emil"), QDate(2025, 12, 15), 150, 2);
        refresh();
        QCOMPARE(shown(1), QStringList({"104,00", "-104,00", "-91,50"}));
        QCOMPARE(shown(2), QStringList({"150,00", "-150,00", "-150,00"}));
        w->datumDown_Click(); // November 2025
        QCOMPARE(shown(1), QStringList({"0,00", "0,00", "12,50"}));
        QCOMPARE(shown(2), QStringList({"0,00", "0,00", "0,00"}));
        // a row left from an earlier first working day does not count either
        exec(QStringLiteral("INSERT INTO Statistik (Jahr, Monat, MaNr, Soll, SumVormonat) "
                            "SELECT 2025, 11, MaNr, 160, -20 FROM Mitarbeiter"));
        w->gridrepaint();
        QCOMPARE(shown(1), QStringList({"0,00", "0,00", "12,50"}));
    }

    // A duty before the first working day (15 December) counts in December's balance and in
    // the carry into January alike.
    void hoursBeforeTheFirstWorkingDayCountInTheBalanceAndTheCarry() {
        start(QDate(2025, 12, 10));
        const int dora = employee(QStringLiteral("Dora"), QDate(2025, 12, 15), 0, 1);
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden) "
                            "VALUES (p0, p1, 'X', 8)"),
             {engine::dateVariant(QDate(2025, 12, 10)), dora});
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden) "
                            "VALUES (p0, p1, 'X', 8)"),
             {engine::dateVariant(QDate(2026, 1, 5)), dora});
        refresh();
        QCOMPARE(shown(1), QStringList({"104,00", "-96,00", "-96,00"}));
        w->datumUp_Click(); // January 2026: 22 work days, 8 hours
        QCOMPARE(shown(1), QStringList({"176,00", "-168,00", "-264,00"}));
    }

    // First working day 4 November 2025, no duties, today in December: the run stores November
    // to January (152 + 184 + 176 hours missing). February, without a row, carries them on.
    void aMonthAfterTheLastStoredRowCarriesTheBalance() {
        start(QDate(2025, 12, 10));
        const int fritz = employee(QStringLiteral("Fritz"), QDate(2025, 11, 4), 0, 1);
        refresh();
        w->datumUp_Click(); // January 2026
        QCOMPARE(shown(1), QStringList({"176,00", "-176,00", "-512,00"}));
        w->datumUp_Click(); // February 2026: no row
        QVERIFY(scalar(QStringLiteral("SELECT count(*) FROM Statistik WHERE MaNr = p0 AND "
                                      "Jahr = 2026 AND Monat = 2"),
                       {fritz})
                    .toInt() == 0);
        QCOMPARE(shown(1), QStringList({"160,00", "-160,00", "-672,00"}));
        // two months on, with 7,5 hours worked in March (no run has seen them)
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden) "
                            "VALUES (p0, p1, 'X', 7.5)"),
             {engine::dateVariant(QDate(2026, 3, 10)), fritz});
        w->datumUp_Click();
        w->datumUp_Click(); // April 2026: March had 22 work days
        QCOMPARE(shown(1),
                 QStringList({"176,00", "-176,00", platform::fixed(-672.0 - 176 + 7.5 - 176)}));
    }

    // The roster's target, difference and balance of every member are what the printed page, the
    // HTML page and the working-time sheet show: before a first working day, and in a month
    // after the last stored row.
    void everyOutputShowsTheRostersAccount() {
        start(QDate(2025, 12, 10));
        employee(QStringLiteral("Dora"), QDate(2025, 12, 15), 0, 1, 12.5);
        employee(QStringLiteral("Fritz"), QDate(2025, 11, 4), 0, 2);
        refresh();
        w->datumDown_Click(); // November 2025: before Dora's first working day
        compareOutputs({"Dora", "Fritz"});
        for (int i = 0; i < 3; ++i)
            w->datumUp_Click(); // February 2026: no rows
        QCOMPARE(shown(2), QStringList({"160,00", "-160,00", "-672,00"}));
        compareOutputs({"Dora", "Fritz"});
    }

private:
    void compareOutputs(const QStringList& names) {
        const roster::MonthState& month = w->month();
        print::RecordingSurface paper(16838, 11906);
        print::RosterPage(w->session(), month).draw(paper, std::nullopt);
        const QString html = desk->dir.filePath(QStringLiteral("plan.html"));
        QVERIFY(print::makehtmlplan(w->session(), month, html));
        QFile file(html);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString page = QString::fromLatin1(file.readAll());
        const auto htmlRow = [&](const QString& label) {
            const qsizetype from = page.indexOf(QStringLiteral(">") + label + QStringLiteral("<"));
            const QString row = page.mid(from, page.indexOf(QStringLiteral("</tr>"), from) - from);
            QStringList cells;
            static const QRegularExpression cell(
                QStringLiteral("align=\\w+ bgcolor=#FFFFFF>([^<]*)<"));
            for (const auto& m : cell.globalMatch(row))
                cells << m.captured(1).trimmed();
            return cells;
        };
        const QStringList targets = htmlRow(QStringLiteral("Sollstd."));
        const QStringList differences = htmlRow(QStringLiteral("Diff"));
        const QStringList balances = htmlRow(QStringLiteral("+ Vorm."));
        for (int col = 1; col <= names.size(); ++col) {
            const QString name = names.at(col - 1);
            const QStringList screen = shown(col);
            // on paper: after the name come difference, balance and target (no hours here)
            QStringList texts;
            for (const QString& op : paper.ops)
                if (op.startsWith(QLatin1String("text ")))
                    texts << op.section(QLatin1Char('"'), 1, 1);
            const qsizetype at = texts.indexOf(name);
            QVERIFY(at >= 0);
            QCOMPARE(QStringList({texts.value(at + 3), texts.value(at + 1), texts.value(at + 2)}),
                     screen);
            QCOMPARE(QStringList({targets.value(col - 1), differences.value(col - 1),
                                  balances.value(col - 1)}),
                     screen);
            roster::MemoryGrid grid;
            const int maNr =
                scalar(QStringLiteral("SELECT MaNr FROM Mitarbeiter WHERE PlanName = p0"), {name})
                    .toInt();
            const reports::SheetAccounts sheet =
                reports::fillsheet(w->session(), month, maNr, grid);
            QCOMPARE(QStringList({sheet.target, sheet.difference, sheet.balance}), screen);
        }
    }
};

QTEST_MAIN(TestTargets)
#include "test_targets.moc"
