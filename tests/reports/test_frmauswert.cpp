// The annual overview from the menu of the real main window: the yearly table of the shown group
// (headers, names, counts, hours, balance, the first column's width), and the monthly rows of one
// employee with the target that only a flat target lets the planner correct.

#include "engine/DateValue.h"
#include "engine/Recordset.h"
#include "platform/Formats.h"
#include "shell/FlexGrid.h"
#include "shell/frmTurnova.h"
#include "tests/support/MainWindowDesk.h"
#include "tests/support/Modal.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace testing;

class TestAuswert : public QObject, MainWindowDesk {
    Q_OBJECT

    int anna = 0, bernd = 0, carla = 0;

    int employee(const QString& name, double sollstd, int pos) {
        exec(QStringLiteral("INSERT INTO Mitarbeiter (PlanName, Nachname, normstunden, Sollstd, "
                            "ersterArbeitstag, lastChange) VALUES (p0, p0, 8, p1, p2, p2)"),
             {name, sollstd, engine::dateVariant(QDate(2026, 1, 1))});
        const int maNr = int(env().Datenbank.lastInsertRowId());
        exec(QStringLiteral(
                 "INSERT INTO GpZuordnung (GruppenNr, MaNr, DienstPos) VALUES (1, p0, p1)"),
             {maNr, pos});
        return maNr;
    }
    void duty(int maNr, const QDate& day, const QString& kurz, double flat = 0,
              bool timed = false) {
        exec(QStringLiteral("INSERT INTO Dienstzeiten (Tag, MaNr, Kurzinfo, Normstunden, Anfang, "
                            "Ende, Pause) VALUES (p0, p1, p2, p3, p4, p5, 0.5)"),
             {engine::dateVariant(day), maNr, kurz, flat,
              timed ? engine::dateVariant(engine::dayNumber(QTime(6, 0))) : QVariant(),
              timed ? engine::dateVariant(engine::dayNumber(QTime(14, 0))) : QVariant()});
    }
    QString text(QTableWidget* table, int row, int col) {
        const QTableWidgetItem* item = table->item(row, col);
        return item ? item->text() : QString();
    }
    QStringList row(QTableWidget* table, int r) {
        QStringList texts;
        for (int c = 0; c < table->columnCount(); ++c)
            texts << text(table, r, c);
        return texts;
    }
    // Opens the overview from the menu with the cursor in column col, acts on it and closes it.
    void overview(int col, const std::function<void(QWidget*)>& action) {
        w->grid()->setCursor(5, col);
        ModalSeen seen;
        onModal(
            [action](QWidget* window) {
                action(window);
                window->close();
            },
            &seen);
        w->menuAction(QStringLiteral("mnuAuswertungen"))->trigger();
        QCOMPARE(seen.name, QStringLiteral("frmAuswert"));
        QCOMPARE(seen.caption, QStringLiteral("Jahresübersicht für 2026"));
    }

private Q_SLOTS:
    void initTestCase() { platform::setLocale(QLocale(QLocale::German, QLocale::Germany)); }

    void init() {
        QVERIFY(startWindow(QDate(2026, 3, 10)));
        anna = employee(QStringLiteral("Anna"), 0, 1);
        bernd = employee(QStringLiteral("Bernd"), 150, 2);
        carla = employee(QStringLiteral("Carla"), 0, 4);                // position 3 is empty
        duty(anna, QDate(2026, 2, 2), QStringLiteral("Früh"), 0, true); // 7,5 hours
        duty(anna, QDate(2026, 2, 3), QStringLiteral("URLAUB"), 7.7);
        duty(anna, QDate(2026, 2, 4), QStringLiteral("urlaub halbtags"), 4);
        duty(anna, QDate(2026, 2, 5), QStringLiteral("Krank"));
        duty(anna, QDate(2025, 12, 30), QStringLiteral("Früh"), 3); // another year
        duty(bernd, QDate(2026, 3, 2), QStringLiteral("Spät"), 8);
        w->berStatistik2();
        w->gridrepaint();
    }
    void cleanup() { closeWindow(); }

    void theYearlyTableOfTheGroup() {
        QStringList header, annaRow, berndRow, carlaRow;
        int rows = 0;
        QString tab0, tab1;
        overview(1, [&](QWidget* window) {
            auto* table = in<QTableWidget>(window, "grid");
            rows = table->rowCount();
            header = row(table, 0);
            annaRow = row(table, 1);
            berndRow = row(table, 2);
            carlaRow = row(table, 3);
            auto* tabs = in<QTabWidget>(window, "TabStrip");
            tab0 = tabs->tabText(0);
            tab1 = tabs->tabText(1);
        });
        QCOMPARE(tab0, QStringLiteral("alle Mitarbeiter"));
        QCOMPARE(tab1, QStringLiteral("nach Mitarbeiter"));
        QCOMPARE(rows, 4);
        QCOMPARE(header, QStringList({"", "Arbeitstage", "Urlaubstage", "Kranktage", "Freitage",
                                      "Stunden", "Stundenkonto"}));
        // a vacation in any case is no working day; the balance is that of the last row
        const double annaBalance = [this] {
            engine::Recordset rs;
            rs.openSql(env().Datenbank,
                       QStringLiteral("SELECT SumVormonat - Soll + IstStd FROM Statistik WHERE "
                                      "MaNr = m AND Jahr = 2026 ORDER BY Monat DESC"),
                       {anna}, {QStringLiteral("m")});
            return rs.value(0).toDouble();
        }();
        QCOMPARE(annaRow, QStringList({"Anna", "1,00", "2,00", "1,00", "", "19,20",
                                       platform::fixed(annaBalance)}));
        QCOMPARE(berndRow.mid(0, 6), QStringList({"Bernd", "1,00", "", "", "", "8,00"}));
        // no duty in the year, and no statistics row of it
        exec(QStringLiteral("DELETE FROM Statistik WHERE MaNr = p0"), {carla});
        overview(1, [&](QWidget* window) { carlaRow = row(in<QTableWidget>(window, "grid"), 3); });
        QCOMPARE(carlaRow, QStringList({"Carla", "", "", "", "", "", "0,00"}));
    }

    // A duty entered since the last run is in the hours and in the balance alike.
    void theFiguresAreCountedBeforeTheyAreShown() {
        duty(bernd, QDate(2026, 3, 3), QStringLiteral("Spät"), 8);
        exec(QStringLiteral("UPDATE Mitarbeiter SET lastChange = p0 WHERE MaNr = p1"),
             {engine::dateVariant(QDate(2026, 3, 3)), bernd});
        QStringList berndRow;
        overview(2, [&](QWidget* window) { berndRow = row(in<QTableWidget>(window, "grid"), 2); });
        QCOMPARE(berndRow.value(5), QStringLiteral("16,00"));
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT SumVormonat - Soll + IstStd FROM Statistik WHERE "
                                  "MaNr = m AND Jahr = 2026 ORDER BY Monat DESC"),
                   {bernd}, {QStringLiteral("m")});
        QCOMPARE(berndRow.value(6), platform::fixed(rs.value(0).toDouble()));
    }

    void aWideNameWidensTheFirstColumn() {
        int narrow = 0, wide = 0, needed = 0;
        overview(
            1, [&](QWidget* window) { narrow = in<QTableWidget>(window, "grid")->columnWidth(0); });
        const QString name = QStringLiteral("Annemarie Zimmermann-Wiesengrund von Oberhausen");
        exec(QStringLiteral("UPDATE Mitarbeiter SET PlanName = p0 WHERE MaNr = p1"), {name, carla});
        w->gridrepaint();
        overview(1, [&](QWidget* window) {
            auto* table = in<QTableWidget>(window, "grid");
            wide = table->columnWidth(0);
            needed = QFontMetrics(table->font()).horizontalAdvance(name);
        });
        QVERIFY(narrow < needed);
        QVERIFY(wide >= needed);
    }

    void theTargetCanBeCorrectedOnlyWithAFlatTarget() {
        // Anna: targets worked out from the work days
        QString chosen;
        bool hint = true;
        Qt::ItemFlags flags;
        QStringList headers, march;
        overview(1, [&](QWidget* window) {
            chosen = in<QComboBox>(window, "DataCombo1")->currentText();
            auto* months = in<QTableWidget>(window, "DataGrid1");
            for (int c = 0; c < months->columnCount(); ++c)
                headers << months->horizontalHeaderItem(c)->text();
            march = row(months, 2);
            flags = months->item(0, 1)->flags();
            hint = !in<QLabel>(window, "Label1")->isHidden(); // its tab is not the current one
        });
        QCOMPARE(chosen, QStringLiteral("Anna"));
        QCOMPARE(headers, QStringList({"Monat", "Soll", "IstStd", "SumVormonat", "Urlaubstage",
                                       "Kranktage", "MaNr"}));
        QCOMPARE(march.mid(0, 2), QStringList({"3", "176,00"}));
        QVERIFY(!(flags & Qt::ItemIsEditable));
        QVERIFY(!hint);

        // Bernd: a flat target; March corrected to 140,5; a text that is no number is refused
        w->grid()->setCursor(5, 2);
        QString note;
        overview(2, [&](QWidget* window) {
            chosen = in<QComboBox>(window, "DataCombo1")->currentText();
            auto* months = in<QTableWidget>(window, "DataGrid1");
            QVERIFY(months->item(2, 1)->flags() & Qt::ItemIsEditable);
            QVERIFY(!(months->item(2, 2)->flags() & Qt::ItemIsEditable));
            hint = !in<QLabel>(window, "Label1")->isHidden(); // its tab is not the current one
            note = in<QLabel>(window, "Label1")->text();
            months->item(2, 1)->setText(QStringLiteral("zehn"));
            QCOMPARE(months->item(2, 1)->text(), QStringLiteral("150,00"));
            // below 0 or above every hour of a month is refused too
            for (const char* absurd : {"-20", "99999999999", "1e300", "744,5"}) {
                months->item(2, 1)->setText(QLatin1String(absurd));
                QCOMPARE(months->item(2, 1)->text(), QStringLiteral("150,00"));
            }
            months->item(2, 1)->setText(QStringLiteral("140,5"));
            QCOMPARE(months->item(2, 1)->text(), QStringLiteral("140,50"));
        });
        QCOMPARE(chosen, QStringLiteral("Bernd"));
        QVERIFY(hint);
        QCOMPARE(note, QStringLiteral("Die Sollstunden können manuell geändert werden."));
        const QString range = QStringLiteral("Die Sollstunden müssen zwischen 0 und 744 liegen.");
        QCOMPARE(desk->prompts.texts(),
                 QStringList({"Überprüfen Sie Ihre Eingabe", range, range, range, range}));
        engine::Recordset rs;
        rs.openSql(env().Datenbank,
                   QStringLiteral("SELECT Soll FROM Statistik WHERE MaNr = m AND Jahr = 2026 AND "
                                  "Monat = 3"),
                   {bernd}, {QStringLiteral("m")});
        QCOMPARE(rs.value(0).toDouble(), 140.5);
        QCOMPARE(w->grid()->text(1, 2), QStringLiteral("140,50")); // March is shown
    }
};

QTEST_MAIN(TestAuswert)
#include "test_frmauswert.moc"
