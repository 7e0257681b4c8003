// Takes the manual's screenshots from the program's own windows: the main window on a demonstration
// database (the standard files and a month of duties), the target-hours window, the settings
// window, both tabs of the annual overview, the about window, the working-time check with its
// rules, and the staffing requirements with the roster's marks. Run it under a display for the
// desktop's look:
//   xvfb-run -a -s "-screen 0 1024x768x24" build/tools/turnova_screenshots std docs/bilder

#include "data/Staffing.h"
#include "platform/Formats.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Translations.h"
#include "reports/frmArbeitszeitpruefung.h"
#include "roster/DutyEntry.h"
#include "roster/Konstanten.h"
#include "shell/CheckMenu.h"
#include "shell/FlexGrid.h"
#include "shell/GridEditing.h"
#include "shell/frmTurnova.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

QString out;

bool save(QWidget* window, const char* name) {
    const QString path = out + u'/' + QLatin1String(name) + QStringLiteral(".png");
    const bool ok = window->grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

// Runs action, which opens a modal window; the window is photographed (after prepare) and closed.
void shoot(const char* name, const std::function<void()>& action,
           const std::function<void(QWidget*)>& prepare = {}) {
    QTimer::singleShot(400, [name, prepare] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window) return;
        if (prepare) prepare(window);
        QApplication::processEvents();
        save(window, name);
        window->close();
    });
    action();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: turnova_screenshots <std folder> <out folder>\n");
        return 2;
    }
    platform::setLocale(QLocale(QLocale::German, QLocale::Germany));
    QLocale::setDefault(platform::locale());
    platform::installTranslations(app);
    out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);

    QTemporaryDir dir;
    platform::ScriptedPrompts prompts;
    prompts.queueAnswer(platform::Answer::Yes); // create the database
    platform::FixedClock clock(QDate(2026, 3, 9));
    platform::Services services;
    services.prompts = &prompts;
    services.clock = &clock;
    services.folders.programFolder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    services.folders.appDataFolder = dir.path();
    services.folders.documentsFolder = dir.path();

    frmTurnova w(services);
    if (!w.Turnova_Load(QString())) return 1;
    data::Session& session = w.session();
    data::DataUmgebung& env = session.env;
    env.rsEinstellungen.moveFirst();
    env.rsEinstellungen.setValue(QStringLiteral("OrgName"), QStringLiteral("Haus am See"));
    env.rsEinstellungen.update();

    // a month of duties for the standard employees
    const QString pattern = QStringLiteral("FFSSNXXTTFSUUUFFKSSXTFFSSNNXXTF");
    const QDate first(2026, 3, 1);
    int shift = 0;
    engine::Recordset employees;
    employees.openTable(env.Datenbank, QStringLiteral("Mitarbeiter"));
    for (; !employees.eof(); employees.moveNext(), shift += 3) {
        const int maNr = employees.value(QStringLiteral("MaNr")).toInt();
        for (QDate d = first; d.month() == 3; d = d.addDays(1)) {
            QChar key = pattern.at((d.day() - 1 + shift) % pattern.size());
            if (roster::isFreeDay(env, d) && key != u'U') key = u'X';
            roster::insStdDienst(session, d, maNr, key);
        }
    }
    w.berStatistik2();
    // the whole screen of 1024 x 768 (run under such a display): the roster with the
    // standard-duties overview in the strip beside it
    w.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    w.show();
    w.gridrepaint();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    {
        const QString path = out + QStringLiteral("/hauptfenster.png");
        const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    }

    // the target window of the second column
    w.grid()->setCursor(w.month().days + 2, 2);
    shoot("sollstunden", [&w] { gridEditing(w)->Grid_DblClick(); });
    // the database lies in a temporary folder here; the picture shows where it lies for a user
    shoot(
        "eigenschaften", [&w] { w.menuAction(QStringLiteral("mnusettings"))->trigger(); },
        [](QWidget* window) {
            if (auto* folder = window->findChild<QWidget*>(QStringLiteral("Text7")))
                folder->setProperty("text", QStringLiteral("/home/planer/.local/share/Turnova"));
        });
    w.grid()->setCursor(5, 2);
    shoot("jahresuebersicht1",
          [&w] { w.menuAction(QStringLiteral("mnuAuswertungen"))->trigger(); });
    shoot(
        "jahresuebersicht2", [&w] { w.menuAction(QStringLiteral("mnuAuswertungen"))->trigger(); },
        [](QWidget* window) {
            window->findChild<QTabWidget*>(QStringLiteral("TabStrip"))->setCurrentIndex(1);
        });
    shoot("info", [&w] { w.menuAction(QStringLiteral("mnuinfo"))->trigger(); });
    // the working-time check and its rules, with an early duty after a late one to find
    employees.moveFirst();
    roster::insStdDienst(session, QDate(2026, 3, 5),
                         employees.value(QStringLiteral("MaNr")).toInt(), u'F');
    w.gridrepaint();
    w.menuAction(QStringLiteral("mnuArbeitszeitpruefung"))->trigger();
    QApplication::processEvents();
    if (frmArbeitszeitpruefung* check = findingsWindow(w)) {
        save(check, "pruefung");
        shoot("pruefregeln",
              [check] { check->findChild<QPushButton*>(QStringLiteral("cmdRegeln"))->click(); });
        check->close();
    }
    // the staffing requirements of the group: the roster's marks and the window
    {
        engine::Connection& db = env.Datenbank;
        data::ensureStaffingTables(db);
        const QList<data::Qualification> quals = data::loadQualifications(db);
        QHash<int, QSet<int>> held;
        int n = 0;
        for (employees.moveFirst(); !employees.eof(); employees.moveNext(), ++n)
            held.insert(employees.value(QStringLiteral("MaNr")).toInt(),
                        {quals.at(n % 3 == 0 ? 0 : 1).qualNr});
        QList<data::StaffingRequirement> requirements;
        for (const auto& [name, key, minimum, days] :
             {std::tuple{"Frühdienst", "F", 1, int(data::WeekdayBit)},
              std::tuple{"Frühdienst", "F", 1,
                         data::SaturdayBit | data::SundayBit | data::HolidayBit},
              std::tuple{"Spätdienst", "S", 2, int(data::AllDaysBits)},
              std::tuple{"Nachtdienst", "N", 1, int(data::AllDaysBits)}}) {
            data::StaffingRequirement r;
            r.shift = QString::fromUtf8(name);
            r.key = QLatin1String(key);
            r.minimum = minimum;
            r.days = days;
            r.maximum = minimum + 2;
            if (r.key == QLatin1String("S")) {
                r.qualNr = quals.at(0).qualNr; // a registered nurse on the late shift
                r.qualMinimum = 1;
            }
            requirements << r;
        }
        data::saveStaffing(db, quals, held, w.month().groupNumber, requirements);
        w.gridrepaint();
        for (int i = 0; i < 20; ++i) {
            QApplication::processEvents();
            QThread::msleep(20);
        }
        const QString path = out + QStringLiteral("/besetzung-plan.png");
        const bool ok = QGuiApplication::primaryScreen()->grabWindow(0).save(path);
        std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
        shoot("besetzung", [&w] { w.menuAction(QStringLiteral("mnuBesetzung"))->trigger(); });
    }
    w.close();
    return 0;
}
