#include "shell/frmTurnova.h"

#include "data/ChangeHooks.h"
#include "data/DataAccess.h"
#include "data/Schema.h"
#include "data/StartCheck.h"
#include "data/TableFiles.h"
#include "engine/DateValue.h"
#include "platform/Desktop.h"
#include "platform/ErrorReporter.h"
#include "platform/ScreenFit.h"
#include "reports/frminfo.h"
#include "roster/Groups.h"
#include "roster/Konstanten.h"
#include "roster/Statistics.h"
#include "shell/BlockCommands.h"
#include "shell/CheckMenu.h"
#include "shell/DataExportCommands.h"
#include "shell/ExportCommands.h"
#include "shell/StaffingCommands.h"
#include "shell/FileCommands.h"
#include "shell/FlexGrid.h"
#include "shell/FocusReturn.h"
#include "shell/GridEditing.h"
#include "shell/Navigation.h"
#include "shell/PrintCommands.h"
#include "shell/ReportCommands.h"
#include "shell/SettingsCommands.h"
#include "shell/SheetCommands.h"
#include "shell/StatusPanel.h"
#include "shell/StdInfoCommands.h"
#include "shell/UndoCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// The old window measured in twips; 15 twips are one pixel on a 96 dpi screen.
constexpr int twips(int t) {
    return t / 15;
}
} // namespace

class frmTurnova::MainProgress final : public data::ProgressSink {
public:
    explicit MainProgress(QProgressBar* bar) : bar_(bar) {}
    void status(const QString&) override {}
    void setMaximum(int maximum) override { bar_->setMaximum(qMax(1, maximum)); }
    void setValue(int value) override {
        bar_->setValue(qBound(bar_->minimum(), value, bar_->maximum()));
    }
    int value() const override { return bar_->value(); }
    void processEvents() override {
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QProgressBar* bar_;
};

frmTurnova::frmTurnova(const platform::Services& services, QWidget* parent) : QMainWindow(parent) {
    session_.services = services;
    setObjectName(QStringLiteral("frmTurnova"));
    setWindowTitle(QStringLiteral("Turnova"));
    buildControls();
    buildMenus();
    mainProgress_ = std::make_unique<MainProgress>(ProgressBar);
    installGridEditing(*this);
    installNavigation(*this);
    installWorkingTimeCheck(*this);
    installStaffingCheck(*this);
    installSettingsCommands(*this);
    installReportCommands(*this);
    installFocusReturn(*this, *Grid);
    installChooserKeys(*GprSel);
    installPrintCommands(*this);
    installExportCommands(*this);
    installDataExportCommands(*this);
    installSheetCommands(*this);
    installBlockCommands(*this);
    installStdInfo(*this);
    installUndoCommands(*this);
    platform::fitOnScreen(*this, QSize(1100, 760));
}

frmTurnova::~frmTurnova() {
    // The command families filter the grid's, the window's and the application's events and use
    // this window, whose widgets outlive this body: they go first. Menu actions stay with the
    // menus, the layout with the window.
    QList<QPointer<QObject>> commands;
    for (QObject* child : children())
        if (!child->isWidgetType() && !qobject_cast<QAction*>(child) &&
            !qobject_cast<QActionGroup*>(child) && !qobject_cast<QLayout*>(child))
            commands.append(child);
    for (const QPointer<QObject>& command : std::as_const(commands))
        delete command.data();
    if (!unloaded_) session_.env.close();
    session_.progress = &session_.noProgress;
}

void frmTurnova::buildControls() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    Toolbar = new QWidget(central);
    Toolbar->setObjectName(QStringLiteral("Toolbar"));
    Toolbar->setFixedHeight(32);

    cmdGruppe = new QToolButton(Toolbar);
    cmdGruppe->setObjectName(QStringLiteral("cmdGruppe"));
    cmdGruppe->setText(QStringLiteral("Gruppe:"));
    cmdGruppe->setAutoRaise(true);
    cmdGruppe->setFocusPolicy(Qt::NoFocus);
    GprSel = new QComboBox(Toolbar);
    GprSel->setObjectName(QStringLiteral("GprSel"));
    datumDown = new QPushButton(QStringLiteral("<"), Toolbar);
    datumDown->setObjectName(QStringLiteral("datumDown"));
    datumDown->setToolTip(QStringLiteral("Vormonat"));
    txtdatum = new QLineEdit(Toolbar);
    txtdatum->setObjectName(QStringLiteral("txtdatum"));
    txtdatum->setReadOnly(true);
    txtdatum->setAlignment(Qt::AlignCenter);
    txtdatum->setFocusPolicy(Qt::NoFocus);
    datumUp = new QPushButton(QStringLiteral(">"), Toolbar);
    datumUp->setObjectName(QStringLiteral("datumUp"));
    datumUp->setToolTip(QStringLiteral("Nächster Monat"));
    cmdInfo = new QToolButton(Toolbar);
    cmdInfo->setObjectName(QStringLiteral("cmdInfo"));
    cmdInfo->setText(QStringLiteral("Info:"));
    cmdInfo->setAutoRaise(true);
    cmdInfo->setFocusPolicy(Qt::NoFocus);

    StatusBar1 = new QWidget(Toolbar);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    panels_ = buildStatusPanels(StatusBar1);

    ProgressBar = new QProgressBar(Toolbar);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setTextVisible(false);
    ProgressBar->setRange(0, 10);
    ProgressBar->setValue(0);
    // shown only while it has progress to show; idle, the status panels take its room
    ProgressBar->hide();
    connect(ProgressBar, &QProgressBar::valueChanged, this, [this](int value) {
        const bool idle = value <= ProgressBar->minimum();
        if (idle == ProgressBar->isHidden()) return;
        ProgressBar->setHidden(idle);
        layoutToolbar();
    });

    Grid = new FlexGrid(central);
    Grid->setObjectName(QStringLiteral("Grid"));
    painter_ = std::make_unique<roster::GridPainter>(session_, month_, *Grid);
    painter_->afterRepaint = [this] {
        if (afterRepaint) afterRepaint();
    };

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(2000);
    connect(Timer1, &QTimer::timeout, this, &frmTurnova::Timer1_Timer);
    // The toolbar buttons only carry their captions.
    connect(cmdGruppe, &QToolButton::clicked, this, [] {});
    connect(cmdInfo, &QToolButton::clicked, this, [] {});
    connect(datumDown, &QPushButton::clicked, this, &frmTurnova::datumDown_Click);
    connect(datumUp, &QPushButton::clicked, this, &frmTurnova::datumUp_Click);
    connect(GprSel, &QComboBox::activated, this, [this](int) { GprSel_Click(); });
}

void frmTurnova::buildMenus() {
    // The menu tree in its order; hidden entries exist but are never shown. Each part of the
    // program connects the entries whose actions it builds, finding them by name.
    struct Entry {
        const char* name;
        const char* caption;
        int level; // 0 top, 1 sub-menu entry, 2 entry of a sub-sub-menu
        bool visible;
        bool submenu;
    };
    static const Entry tree[] = {
        {"mnuDatei", "Datei", 0, true, true},
        {"mnufilenew", "Neu", 1, false, false},
        {"mnufileopen", "Öffnen", 1, false, false},
        {"mnusaveas", "Speichern unter", 1, false, false},
        {"mnusep", "-", 1, false, false},
        {"mnuprint", "Druckvorschau", 1, true, false},
        {"mnusep2", "-", 1, true, false},
        {"mnuImport", "Importieren", 1, true, true},
        {"mnuImpMa", "Mitarbeiter", 2, false, false},
        {"mnuImpStd", "Standarddienste", 2, true, false},
        {"mnuimfreier", "Feiertage", 2, true, false},
        {"mnuExport", "Exportieren", 1, true, true},
        {"mnuEpMa", "Mitarbeiter", 2, false, false},
        {"mnutnv", "Turnova", 2, true, false},
        {"mnuEpKonten", "Monatskonten (CSV) ...", 2, true, false}, // shell/DataExportCommands
        {"mnuEpKalender", "Kalender (iCal) ...", 2, true, false},
        {"mnuEpStd", "Standarddienste", 2, true, false},
        {"mnuexfreier", "Feiertage", 2, true, false},
        {"mnuSave", "Sichern", 1, true, false},
        {"mnusep3", "-", 1, true, false},
        {"mnusettings", "Eigenschaften", 1, true, false},
        {"mnusep4", "-", 1, true, false},
        {"mnuclose", "Beenden", 1, true, false},
        {"mnuBearbeiten", "Bearbeiten", 0, true, true}, // undo and redo (shell/UndoCommands)
        {"mnuRueckgaengig", "Rückgängig", 1, true, false},
        {"mnuWiederholen", "Wiederholen", 1, true, false},
        {"mnustddienst", "Standarddienste", 0, true, true},
        {"mnustdedit", "Bearbeiten", 1, true, false},
        {"mnustdinfo", "anzeigen", 1, true, false},
        {"mnumitarb", "Mitarbeiter", 0, true, false},
        {"mnuGruppeb", "Gruppen", 0, true, false},
        {"mnufreier", "Freiertage", 0, true, false},
        {"mnuarbeit", "Arbeitszeiten", 0, true, false},
        {"mnuAuswertungen", "Jahresübersicht", 0, true, false},
        {"mnuPruefung", "Prüfung", 0, true, true},
        {"mnuArbeitszeitpruefung", "Arbeitszeitprüfung", 1, true, false}, // shell/CheckMenu
        {"mnuBesetzung", "Besetzung", 1, true, false}, // shell/StaffingCommands
        {"mnuHilfe", "Hilfe", 0, true, true},
        {"mnuHandbuch", "Handbuch", 1, true, false},
        {"mnuinfo", "Info", 1, true, false},
    };
    QMenu* parents[3] = {nullptr, nullptr, nullptr};
    for (const Entry& e : tree) {
        const QString caption = QString::fromUtf8(e.caption);
        QMenu* parentMenu = e.level == 0 ? nullptr : parents[e.level - 1];
        QAction* action = nullptr;
        if (e.submenu) {
            QMenu* m = parentMenu ? parentMenu->addMenu(caption) : menuBar()->addMenu(caption);
            m->setObjectName(QLatin1String(e.name));
            action = m->menuAction();
            parents[e.level] = m;
            if (e.level == 0 && QLatin1String(e.name) == QLatin1String("mnuDatei")) mnuDatei = m;
        } else if (QString::fromUtf8(e.caption) == QLatin1String("-")) {
            action = parentMenu->addSeparator();
        } else {
            action = parentMenu ? parentMenu->addAction(caption) : menuBar()->addAction(caption);
        }
        action->setObjectName(QLatin1String(e.name));
        action->setVisible(e.visible);
        // every command first stops a pending delayed repaint (connected before its handler)
        if (e.visible && !e.submenu && !action->isSeparator())
            connect(action, &QAction::triggered, Timer1, &QTimer::stop);
    }
    QAction* info = menuAction(QStringLiteral("mnustdinfo"));
    info->setCheckable(true);
    info->setChecked(true);
    connect(menuAction(QStringLiteral("mnuclose")), &QAction::triggered, this, &QWidget::close);
    addFileMenuEntries(
        mnuDatei, session_, [this] { gridrepaint(); }, [] {});
    connect(menuAction(QStringLiteral("mnuinfo")), &QAction::triggered, this, [this] {
        Timer1->stop();
        frminfo about(this);
        about.setEngineVersion(data::dataAccessVersion());
        about.exec();
    });
    connect(menuAction(QStringLiteral("mnuHandbuch")), &QAction::triggered, this, [this] {
        // a missing manual or viewer gives no message
        Timer1->stop();
        const QString manual =
            session_.services.folders.programFolder + QStringLiteral("/Handbuch.pdf");
        if (QFileInfo::exists(manual)) platform::openWithShell(manual);
    });

    // the two pop-up menus of the roster grid
    const auto popup = [this](const char* name, const char* caption,
                              std::initializer_list<std::pair<const char*, const char*>> entries) {
        auto* m = new QMenu(QString::fromUtf8(caption), this);
        m->setObjectName(QLatin1String(name));
        for (const auto& [entryName, entryCaption] : entries) {
            QAction* a = QString::fromUtf8(entryCaption) == QLatin1String("-")
                             ? m->addSeparator()
                             : m->addAction(QString::fromUtf8(entryCaption));
            a->setObjectName(QLatin1String(entryName));
        }
        popups_ << m;
    };
    popup("mnuBearb", "Bearbeiten",
          {{"mnuKopier", "hierher kopieren"}, {"mnuVersch", "hierher verschieben"}});
    popup("mnuAktion", "Aktion",
          {{"mnucopy", "kopieren"},
           {"mnuinsert", "einfügen"},
           {"mnudel", "löschen"},
           {"mnusep5", "-"},
           {"nmusaveas", "in Datei speichern"},
           {"mnuinsertfrom", "aus Datei einfügen"}});
}

QAction* frmTurnova::menuAction(const QString& name) const {
    for (QAction* a : findChildren<QAction*>()) {
        if (a->objectName() == name) return a;
    }
    for (QMenu* m : popups_) {
        for (QAction* a : m->actions()) {
            if (a->objectName() == name) return a;
        }
    }
    return nullptr;
}

QMenu* frmTurnova::popupMenu(const QString& name) const {
    for (QMenu* m : popups_) {
        if (m->objectName() == name) return m;
    }
    return nullptr;
}

void frmTurnova::reportError(const std::exception& error, const QString& procedure) {
    data::report(session_, error, procedure);
}

void frmTurnova::showMonthTitle() {
    txtdatum->setText(roster::changedate(month_));
}

void frmTurnova::gridrepaint() {
    Timer1->stop();
    painter_->gridrepaint();
}

void frmTurnova::gridrepaintcheck() {
    Timer1->stop();
    painter_->gridrepaintcheck();
}

void frmTurnova::berStatistik2() {
    if (roster::berStatistik2(session_) == roster::StatisticsOutcome::Fatal) {
        // the database lacks the structure the program needs
        Form_Unload();
        std::exit(1);
    }
}

void frmTurnova::moveMonth(int months) {
    Timer1->stop();
    month_.firstDay = month_.firstDay.addMonths(months);
    Grid->setCursor(2, qMin(1, Grid->columnCount() - 1)); // a group without members: column 0
    showMonthTitle();
    berStatistik2();
    gridrepaint();
    // the next key goes to the roster, not to the month button
    Grid->setFocus();
}

void frmTurnova::datumDown_Click() {
    moveMonth(-1);
}

void frmTurnova::datumUp_Click() {
    moveMonth(1);
}

void frmTurnova::GprSel_Click() {
    data::DataUmgebung& env = session_.env;
    try {
        env.rsMaNachGrp.close();
        int group = GprSel->currentData().toInt();
        if (GprSel->currentIndex() < 0) {
            env.rsGruppen.moveFirst();
            group =
                env.rsGruppen.eof() ? 0 : env.rsGruppen.value(QStringLiteral("gruppennr")).toInt();
        } else {
            env.rsGruppen.moveFirst();
            env.rsGruppen.find(QStringLiteral("GruppenNr = %1").arg(group));
        }
        env.MaNachGrp(group);
        month_.groupNumber = group;
    } catch (const std::exception& e) {
        reportError(e, QStringLiteral("GprSel_Click"));
    }
    gridrepaint();
    // after choosing, and right after start, the keys go to the roster cell
    Grid->setFocus();
}

bool frmTurnova::Turnova_Load(const QString& commandLine) {
    data::DataUmgebung& env = session_.env;
    const auto step = [this](const std::function<void()>& statement) {
        try {
            statement();
        } catch (const std::exception& e) {
            reportError(e, QStringLiteral("Turnova_Load"));
        }
    };
    Timer1->setInterval(2000);
    Timer1->stop();
    month_.autoCalc = true;

    if (!data::checkDataAccess(session_.prompts())) return false;

    startWindow_ = new frminfo(this);
    startWindow_->setEngineVersion(data::dataAccessVersion());
    startWindow_->setAttribute(Qt::WA_DeleteOnClose);
    startWindow_->setModal(false);
    startWindow_->show();
    session_.progress = startWindow_;
    const auto status = [this](const QString& text) {
        if (startWindow_) startWindow_->status(text);
    };
    status(QStringLiteral("Start"));
    month_.setFromToday(session_.today());
    showMonthTitle();

    status(QStringLiteral("CheckDB"));
    data::attachChangeHooks(session_);
    data::StartCheckHooks hooks;
    hooks.recomputeStatistics = [this] { berStatistik2(); };
    if (!data::dbstartcheck(session_, commandLine, hooks)) {
        if (startWindow_) startWindow_->close();
        session_.progress = &session_.noProgress;
        return false;
    }

    ProgressBar->setRange(0, 10);
    ProgressBar->setValue(0);
    ProgressBar->setFixedWidth(twips(3000));

    const auto open = [this, &step](const QString& name) {
        const data::TableDef& t = data::table(name);
        step([&] {
            data::openTable(session_, session_.env.recordset(name), t.suffix, t.createStatement);
        });
    };
    open(QStringLiteral("Einstellungen"));
    open(QStringLiteral("Statistik"));
    open(QStringLiteral("Dienstzeiten"));
    open(QStringLiteral("Standarddienste"));
    open(QStringLiteral("Mitarbeiter"));
    open(QStringLiteral("Gruppen"));
    step([&] { roster::defaultGroup(env); });
    open(QStringLiteral("GpZuordnung"));
    step([&] { roster::allEmployeesGroup(env); });
    step([&] {
        env.rsGruppen.moveFirst();
        if (!env.rsGruppen.eof())
            env.MaNachGrp(env.rsGruppen.value(QStringLiteral("gruppennr")).toInt());
    });
    step([&] {
        env.rsGruppen.moveFirst();
        if (!env.rsGruppen.eof())
            roster::renumberPositions(env,
                                      env.rsGruppen.value(QStringLiteral("gruppennr")).toInt());
    });
    open(QStringLiteral("Feiertage"));
    step([&] { berStatistik2(); });

    step([&] {
        env.rsEinstellungen.requery();
        setWindowTitle(QStringLiteral("Turnova | ") +
                       (env.rsEinstellungen.eof()
                            ? QString()
                            : env.rsEinstellungen.value(QStringLiteral("OrgName")).toString()));
    });
    step([&] {
        if (!env.rsEinstellungen.eof()) {
            const QVariant c = env.rsEinstellungen.value(QStringLiteral("WoEndeColor"));
            month_.weekendColor = c.isNull() ? roster::DefaultWeekendColor : c.toUInt();
        }
    });
    step([&] { loadSettingsRow(); });
    step([&] { fillGroupChooser(); });
    step([&] { env.rsDienstzeiten.setSort(QStringLiteral("tag")); });

    if (startWindow_) startWindow_->close();
    session_.progress = mainProgress_.get();
    step([&] { GprSel_Click(); });
    return true;
}

void frmTurnova::loadSettingsRow() {
    engine::Recordset& rs = session_.env.rsEinstellungen;
    if (rs.eof()) {
        const QFont f = Grid->font();
        rs.addNew();
        rs.setValue(QStringLiteral("Firststart"), engine::dateVariant(data::formatMarker()));
        rs.setValue(QStringLiteral("PrintFontName"), f.family());
        rs.setValue(QStringLiteral("PrintFontSize"), f.pointSizeF());
        rs.setValue(QStringLiteral("PrintFontBold"), f.bold());
        rs.setValue(QStringLiteral("PrintFontItalic"), f.italic());
        rs.update();
        return;
    }
    QFont f = Grid->font();
    const QVariant name = rs.value(QStringLiteral("FormFontName"));
    if (!name.isNull() && !name.toString().isEmpty()) f.setFamily(name.toString());
    const QVariant size = rs.value(QStringLiteral("FormFontSize"));
    if (!size.isNull() && size.toDouble() > 0) f.setPointSizeF(size.toDouble());
    f.setBold(rs.value(QStringLiteral("FormFontBold")).toBool());
    f.setItalic(rs.value(QStringLiteral("FormFontItalic")).toBool());
    Grid->setFont(f);
    QFont own = font();
    roster::copyFont(Grid->font(), own);
    setFont(own);
}

void frmTurnova::fillGroupChooser() {
    data::DataUmgebung& env = session_.env;
    engine::Recordset& settings = env.rsEinstellungen;
    GprSel->blockSignals(true);
    GprSel->clear();
    env.rsGruppen.setSort(QStringLiteral("Gruppenname"));
    for (env.rsGruppen.moveFirst(); !env.rsGruppen.eof(); env.rsGruppen.moveNext())
        GprSel->addItem(env.rsGruppen.value(QStringLiteral("Gruppenname")).toString(),
                        env.rsGruppen.value(QStringLiteral("GruppenNr")));
    env.rsGruppen.setSort(QString());
    const QVariant stored =
        settings.eof() ? QVariant() : settings.value(QStringLiteral("StdGruppe"));
    if (!stored.isNull() && !stored.toString().isEmpty()) {
        GprSel->setCurrentIndex(GprSel->findText(stored.toString()));
    } else {
        env.rsGruppen.moveFirst();
        if (!env.rsGruppen.eof()) {
            const QString first = env.rsGruppen.value(QStringLiteral("gruppenname")).toString();
            GprSel->setCurrentIndex(GprSel->findText(first));
            if (!settings.eof()) {
                settings.setValue(QStringLiteral("StdGruppe"), first);
                settings.update();
            }
        }
    }
    GprSel->blockSignals(false);
    month_.groupNumber = GprSel->currentData().toInt();
}

void frmTurnova::Timer1_Timer() {
    Timer1->stop();
    gridrepaintcheck();
    Grid->setFocus();
}

void frmTurnova::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmTurnova::Form_Resize() {
    if (Timer1) Timer1->stop();
    QWidget* inner = centralWidget();
    if (!inner || !Grid) return;
    const int width = inner->width();
    const int height = inner->height();
    Toolbar->setGeometry(0, 0, width, Toolbar->height());
    const int top = Toolbar->height();
    Grid->move(0, top);
    Grid->resize(qMax(0, width - rosterMargin_), height > top ? height - top : Grid->height());
    layoutToolbar();
    ProgressBar->setValue(0);
}

void frmTurnova::setRosterMargin(int right) {
    if (right == rosterMargin_) return;
    rosterMargin_ = right;
    Form_Resize();
}

void frmTurnova::layoutToolbar() {
    const int h = Toolbar->height() - 6;
    int x = 2;
    const auto place = [&x, h](QWidget* w, int width) {
        w->setGeometry(x, 3, width, h);
        x += width + 3;
    };
    place(cmdGruppe, 56);
    place(GprSel, 150);
    place(datumDown, 24);
    place(txtdatum, 96);
    place(datumUp, 24);
    place(cmdInfo, 40);
    const int progressWidth =
        ProgressBar->maximumWidth() < 10000 ? ProgressBar->maximumWidth() : twips(3000);
    const int barLeft = Toolbar->width() - progressWidth;
    const int right = ProgressBar->isHidden() ? Toolbar->width() - 2 : barLeft;
    const int statusLeft = qMax(twips(6000), x);
    StatusBar1->setGeometry(statusLeft, 3, qMax(0, right - statusLeft - 4), h);
    ProgressBar->setGeometry(barLeft, 3, progressWidth, h);
}

void frmTurnova::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

void frmTurnova::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1->stop();
    data::DataUmgebung& env = session_.env;
    try {
        if (env.isOpen() && env.rsEinstellungen.isOpen()) {
            engine::Recordset& rs = env.rsEinstellungen;
            rs.requery();
            rs.moveFirst();
            if (!rs.eof()) {
                const QFont f = Grid->font();
                rs.setValue(QStringLiteral("FormFontName"), f.family());
                rs.setValue(QStringLiteral("FormFontSize"), f.pointSizeF());
                rs.setValue(QStringLiteral("FormFontBold"), f.bold());
                rs.setValue(QStringLiteral("FormFontItalic"), f.italic());
                rs.setValue(QStringLiteral("StdGruppe"), GprSel->currentText());
                rs.update();
            }
        }
    } catch (const std::exception& e) {
        reportError(e, QStringLiteral("Form_Unload"));
    }
    if (startWindow_) startWindow_->close();
    session_.progress = &session_.noProgress;
    env.close();
}
