#include "reports/frmArbeitszeiten.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/DutyFields.h"
#include "engine/DateValue.h"
#include "platform/Colors.h"
#include "platform/Desktop.h"
#include "platform/Formats.h"
#include "platform/ScreenFit.h"
#include "print/HtmlFile.h"
#include "reports/TimeSheetHtml.h"
#include "roster/DutyEntry.h"
#include "roster/Lookups.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// A read-only box of the account panels.
QLineEdit* shownValue(QWidget* parent, const char* name, const QString& toolTip = {}) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setReadOnly(true);
    e->setFocusPolicy(Qt::NoFocus);
    e->setAlignment(Qt::AlignRight);
    e->setToolTip(toolTip);
    return e;
}

} // namespace

frmArbeitszeiten::frmArbeitszeiten(data::Session& session, const roster::MonthState& month,
                                   int employee, const QString& groupName, QWidget* parent)
    : FormDialog(parent), session_(session), month_(month), groupName_(groupName),
      dutyBinding_(session.env.rsDienstzeiten, session.prompts(), this),
      statBinding_(session.env.rsStatistik, session.prompts(), this) {
    setObjectName(QStringLiteral("frmArbeitszeiten"));
    setModal(true);
    buildControls();
    dialogs::installEnterAsTab(this);
    Form_Load(employee);
}

void frmArbeitszeiten::buildControls() {
    DataCombo1 = new QComboBox(this);
    DataCombo1->setObjectName(QStringLiteral("DataCombo1"));

    Grid = new QTableWidget(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->horizontalHeader()->hide();
    Grid->verticalHeader()->hide();
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setWordWrap(false);
    Grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Grid->setColumnCount(int(reports::SheetHeaders.size()));
    Grid->installEventFilter(this);

    txtTag = lineEdit("txtTag");
    txtTag->setReadOnly(true);
    txtTag->setFocusPolicy(Qt::NoFocus);

    fraZeit = new QGroupBox(QStringLiteral("Dienst"), this);
    fraZeit->setObjectName(QStringLiteral("fraZeit"));
    auto* duty = new QFormLayout(fraZeit);
    const auto field = [this, duty](const char* name, const QString& label) {
        QLineEdit* e = lineEdit(name);
        e->setParent(fraZeit);
        duty->addRow(label, e);
        return e;
    };
    MaskAnfang = field("MaskAnfang", QStringLiteral("Anfang:"));
    MaskEdBox1 = field("MaskEdBox1", QStringLiteral("Ende:"));
    txtPause = field("txtPause", QStringLiteral("Pause:"));
    txtpauschalstunden = field("txtpauschalstunden", QStringLiteral("Pauschal:"));
    Txtkurzinfo = field("Txtkurzinfo", QStringLiteral("Kurzinfo:"));
    Txtkurzinfo->setMaxLength(15);
    txtBemerkung = field("txtBemerkung", QStringLiteral("Bemerkung:"));
    txtBemerkung->setMaxLength(50);
    Text9 = field("Text9", QStringLiteral("Zusatz 1:"));
    Text10 = field("Text10", QStringLiteral("Zusatz 2:"));
    frame2 = new QGroupBox(QStringLiteral("kein Dienst"), this);
    frame2->setObjectName(QStringLiteral("frame2"));
    frame2->hide();

    using Kind = dialogs::RecordBinding::Kind;
    dutyBinding_.bind(MaskAnfang, QStringLiteral("Anfang"), Kind::Time);
    dutyBinding_.bind(MaskEdBox1, QStringLiteral("Ende"), Kind::Time);
    dutyBinding_.bind(txtPause, QStringLiteral("Pause"), Kind::Number);
    dutyBinding_.bind(txtpauschalstunden, QStringLiteral("Normstunden"), Kind::Number);
    dutyBinding_.bind(Txtkurzinfo, QStringLiteral("Kurzinfo"), Kind::Text);
    dutyBinding_.bind(txtBemerkung, QStringLiteral("Bemerkung"), Kind::Text);
    dutyBinding_.bind(Text9, QStringLiteral("S1"), Kind::Number);
    dutyBinding_.bind(Text10, QStringLiteral("S2"), Kind::Number);

    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->setFocusPolicy(Qt::NoFocus);
    for (const char* caption : {"Zeitkonto", "Urlaubskonto", "Zusatz Summen"})
        TabStrip1->addTab(QString::fromUtf8(caption));
    QWidget* panels = buildPanels();
    statBinding_.bind(Text13, QStringLiteral("Soll"), Kind::Number);

    cmdDrucken = button("cmdDrucken", QStringLiteral("Drucken"));
    Command1 = button("Command1", QStringLiteral("Speichern und Schließen"));

    auto* top = new QFormLayout;
    top->addRow(QStringLiteral("Name:"), DataCombo1);
    top->addRow(QStringLiteral("Tag:"), txtTag);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDrucken);
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto* side = new QVBoxLayout;
    side->addLayout(top);
    side->addWidget(fraZeit);
    side->addWidget(frame2);
    side->addWidget(TabStrip1);
    side->addWidget(panels);
    side->addStretch(1);
    side->addLayout(buttons);
    auto* main = new QHBoxLayout(this);
    main->addWidget(Grid, 1);
    main->addLayout(side);

    connect(DataCombo1, &QComboBox::activated, this, [this](int) { DataCombo1_Click(); });
    connect(Grid, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (!filling_ && row != previousRow) Grid_RowColChange();
            });
    connect(TabStrip1, &QTabBar::tabBarClicked, this,
            [this](int index) { TabStrip1_Click(index + 1); });
    connect(&dutyBinding_, &dialogs::RecordBinding::fieldLeft, this, &frmArbeitszeiten::fieldLeft);
    connect(&statBinding_, &dialogs::RecordBinding::fieldLeft, this, &frmArbeitszeiten::fieldLeft);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (!dutyBinding_.hasRefusedField() && !statBinding_.hasRefusedField()) Command1_Click();
    });
    connect(cmdDrucken, &QPushButton::clicked, this, [this] {
        if (!dutyBinding_.hasRefusedField() && !statBinding_.hasRefusedField()) cmdDrucken_Click();
    });
}

QWidget* frmArbeitszeiten::buildPanels() {
    auto* holder = new QWidget(this);
    auto* stack = new QVBoxLayout(holder);
    stack->setContentsMargins(0, 0, 0, 0);
    for (int i = 1; i <= 3; ++i) {
        Frame1[i] = new QGroupBox(holder);
        Frame1[i]->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        Frame1[i]->setVisible(i == 1);
        stack->addWidget(Frame1[i]);
    }
    // Zeitkonto
    auto* account = new QFormLayout(Frame1[1]);
    txtArbTage =
        shownValue(Frame1[1], "txtArbTage", QStringLiteral("Arbeitstage für diesem Monat."));
    txtsum[1] = shownValue(Frame1[1], "txtsum_1", QStringLiteral("Sollstunden"));
    Text13 = lineEdit("Text13");
    Text13->setParent(Frame1[1]);
    Label22 = new QLabel(QStringLiteral("Sollstd. ändern:"), Frame1[1]);
    Label22->setObjectName(QStringLiteral("Label22"));
    txtsum[0] = shownValue(Frame1[1], "txtsum_0", QStringLiteral("Tatsächliche Arbeitszeit"));
    Text2 = shownValue(Frame1[1], "Text2");
    txtSumVormonat = shownValue(Frame1[1], "txtSumVormonat");
    Text1 = shownValue(Frame1[1], "Text1");
    account->addRow(QStringLiteral("Arbeitstage:"), txtArbTage);
    account->addRow(QStringLiteral("Sollstd.:"), txtsum[1]);
    account->addRow(Label22, Text13);
    account->addRow(QStringLiteral("Arbeitszeit:"), txtsum[0]);
    account->addRow(QStringLiteral("Differenz:"), Text2);
    account->addRow(QStringLiteral("Vormonat:"), txtSumVormonat);
    account->addRow(QStringLiteral("Summe:"), Text1);
    // Urlaubskonto and Zusatz Summen: this month and this year
    const auto twoYears = [](QWidget* panel, const QString& first, const QString& second,
                             std::initializer_list<std::pair<QLineEdit**, const char*>> boxes) {
        auto* grid = new QGridLayout(panel);
        int i = 0;
        for (const auto& [box, name] : boxes) {
            *box = shownValue(panel, name);
            if (i % 2 == 0)
                grid->addWidget(new QLabel(i == 0 ? QStringLiteral("In diesem Monat")
                                                  : QStringLiteral("In diesem Jahr"),
                                           panel),
                                i / 2 * 3, 0, 1, 2);
            grid->addWidget(new QLabel(i % 2 == 0 ? first : second, panel), i / 2 * 3 + 1 + i % 2,
                            0);
            grid->addWidget(*box, i / 2 * 3 + 1 + i % 2, 1);
            ++i;
        }
    };
    twoYears(Frame1[2], QStringLiteral("Urlaubstage:"), QStringLiteral("Kranktage:"),
             {{&Text3, "Text3"}, {&Text4, "Text4"}, {&Text5, "Text5"}, {&Text6, "Text6"}});
    twoYears(Frame1[3], QStringLiteral("Zusatz 1:"), QStringLiteral("Zusatz 2:"),
             {{&Text11, "Text11"}, {&Text12, "Text12"}, {&Text8, "Text8"}, {&Text7, "Text7"}});
    return holder;
}

void frmArbeitszeiten::Form_Load(int employee) {
    data::DataUmgebung& env = session_.env;
    try {
        engine::Recordset& employees = env.sortMa();
        for (; !employees.eof(); employees.moveNext())
            DataCombo1->addItem(employees.value(QStringLiteral("PlanName")).toString(),
                                employees.value(QStringLiteral("MaNr")));
        employees.close();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Form_Load"));
    }
    const int index = DataCombo1->findData(employee);
    DataCombo1->setCurrentIndex(index >= 0 ? index : (DataCombo1->count() > 0 ? 0 : -1));
    currentTab_ = 1;
    txtArbTage->setText(QString::number(month_.workDays));
    setWindowTitle(QStringLiteral("Arbeitszeiten für ") + platform::monthYear(month_.firstDay));
    Grid->setCurrentCell(1, 1);
    DataCombo1_Click();
    // within the screen's free area, also on 1024 x 768
    platform::fitOnScreen(*this, QSize(1100, 760));
}

int frmArbeitszeiten::employee() const {
    return DataCombo1->currentIndex() < 0 ? 0 : DataCombo1->currentData().toInt();
}

QDate frmArbeitszeiten::dayOfRow(int row) const {
    return month_.firstDay.addDays(row - 1);
}

void frmArbeitszeiten::DataCombo1_Click() {
    try {
        roster::findStatRow(session_.env, employee(), month_.month, month_.year);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("DataCombo1_Click"));
    }
    fillsheet();
}

void frmArbeitszeiten::fillsheet() {
    filling_ = true;
    const int row = Grid->currentRow();
    const int col = Grid->currentColumn();
    sheet_.setCursor(row, col);
    try {
        showAccounts(reports::fillsheet(session_, month_, employee(), sheet_));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("fillsheet"));
    }
    showSheet();
    filling_ = false;
    Grid_RowColChange();
}

void frmArbeitszeiten::showSheet() {
    Grid->setUpdatesEnabled(false);
    Grid->clearContents();
    Grid->setRowCount(sheet_.rows());
    Grid->setColumnCount(sheet_.cols());
    for (int r = 0; r < sheet_.rows(); ++r) {
        for (int c = 0; c < sheet_.cols(); ++c) {
            auto* item = new QTableWidgetItem(sheet_.text(r, c));
            const quint32 bgr = sheet_.background(r, c);
            const bool fixed = r == 0 || c == 0;
            if (bgr != 0xFFFFFFFFu)
                item->setBackground(platform::fromBgr(bgr));
            else if (fixed)
                item->setBackground(palette().button());
            item->setFlags(fixed ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            item->setTextAlignment(c >= 3 && c != 5 ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
            Grid->setItem(r, c, item);
        }
    }
    Grid->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("Vormonat")) + 12);
    for (int c = 1; c < Grid->columnCount(); ++c)
        Grid->setColumnWidth(c,
                             fontMetrics().horizontalAdvance(QStringLiteral("Arbeitszeit")) + 16);
    Grid->setCurrentCell(sheet_.row(), sheet_.col());
    Grid->setUpdatesEnabled(true);
}

void frmArbeitszeiten::showAccounts(const reports::SheetAccounts& a) {
    txtsum[0]->setText(a.worked);
    txtsum[1]->setText(a.target);
    Text2->setText(a.difference);
    txtSumVormonat->setText(a.previous);
    Text1->setText(a.balance);
    Text13->setVisible(a.statisticsRow);
    Label22->setVisible(a.statisticsRow);
    // the counts are the employee's own with or without a statistics row
    Text3->setText(a.vacationMonth);
    Text4->setText(a.sickMonth);
    Text5->setText(a.vacationYear);
    Text6->setText(a.sickYear);
    if (a.statisticsRow) statBinding_.load();
    Text11->setText(a.extra1Month);
    Text12->setText(a.extra2Month);
    Text8->setText(a.extra1Year);
    Text7->setText(a.extra2Year);
}

void frmArbeitszeiten::Grid_RowColChange() {
    const int row = Grid->currentRow();
    if (row < 1) return;
    txtTag->setText(reports::dayText(month_, row));
    bool found = false;
    try {
        found = employee() > 0 && roster::findDuty(session_.env, dayOfRow(row), employee());
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Grid_RowColChange"));
    }
    frame2->setVisible(!found);
    fraZeit->setVisible(found);
    if (found) dutyBinding_.load();
}

void frmArbeitszeiten::fieldLeft(QWidget* field) {
    if (closing_ || filling_) return;
    const bool statistics = field == Text13;
    dialogs::RecordBinding& binding = statistics ? statBinding_ : dutyBinding_;
    engine::Recordset& rs = statistics ? session_.env.rsStatistik : session_.env.rsDienstzeiten;
    // a field that refused its entry keeps it out of the record
    if (!binding.hasRecord() || (!statistics && !fraZeit->isVisible()) ||
        dutyBinding_.hasRefusedField() || statBinding_.hasRefusedField())
        return;
    try {
        binding.store();
        if (!rs.isEditing()) return; // nothing changed
        rs.update();
        if (!statistics) dialogs::moveEndPastMidnight(rs);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("fillsheet"));
        try {
            rs.cancelUpdate();
        } catch (const std::exception&) {
        }
    }
    fillsheet();
}

bool frmArbeitszeiten::Grid_KeyDown(int key) {
    int code = 0;
    if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z))
        code = key; // the number pad's digits count as the digits
    else if (key == Qt::Key_Delete)
        code = 46;
    if (code == 0 || Grid->currentRow() < 1) return false;
    const int maNr = employee();
    const QDate day = dayOfRow(Grid->currentRow());
    data::DataUmgebung& env = session_.env;
    if (code == 46) {
        try {
            if (maNr > 0 && roster::findDuty(env, day, maNr)) {
                env.rsDienstzeiten.deleteCurrent();
                fillsheet();
            }
        } catch (const std::exception& e) {
            data::report(session_, e, QStringLiteral("Grid_KeyDown"));
        }
    } else if (maNr > 0) {
        const QChar character = roster::keyCharacter(code);
        switch (roster::insStdDienst(session_, day, maNr, character)) {
        case roster::StdDienstResult::Written:
            fillsheet();
            break;
        case roster::StdDienstResult::NoStandardDuty:
            session_.prompts().ask(
                QStringLiteral("Dieser Taste ist kein Dienst zugeordnet. \nTaste: ") + character +
                QStringLiteral(" ; Code: ") + QString::number(code));
            break;
        case roster::StdDienstResult::Failed:
            break;
        }
    }
    Grid->setFocus();
    return true;
}

void frmArbeitszeiten::TabStrip1_Click(int tab) {
    if (tab < 1 || tab > 3 || tab == currentTab_) return;
    Frame1[tab]->show();
    Frame1[currentTab_]->hide();
    currentTab_ = tab;
    TabStrip1->setCurrentIndex(tab - 1);
}

void frmArbeitszeiten::Command1_Click() {
    QWidget* focused = focusWidget();
    dialogs::RecordBinding& binding = focused == Text13 ? statBinding_ : dutyBinding_;
    if (focused && binding.validate(focused)) return; // the field being typed in refuses its entry
    try {
        statBinding_.save();
        if (fraZeit->isVisible() && dutyBinding_.save())
            dialogs::moveEndPastMidnight(session_.env.rsDienstzeiten);
    } catch (const std::exception& e) {
        if (!dialogs::closeDespiteSaveError(session_.prompts(), e)) return;
    }
    close();
}

void frmArbeitszeiten::cmdDrucken_Click() {
    const QString planName = DataCombo1->currentText();
    const std::optional<QString> path = session_.prompts().saveFile(print::htmlFileRequest(
        session_.services.folders.documentsFolder, reports::sheetPageName(planName, month_)));
    if (!path) return;
    data::DataUmgebung& env = session_.env;
    try {
        engine::Recordset& settings = env.rsEinstellungen;
        if (settings.eof() || settings.bof()) settings.moveFirst();
        const QString orgname =
            settings.eof() ? QString() : settings.value(QStringLiteral("orgname")).toString();
        reports::writeSheetPage(*path, month_, orgname, groupName_, planName, sheet_);
    } catch (const std::exception& e) {
        session_.prompts().ask(data::errorDescription(e), platform::Buttons::Ok,
                               platform::Icon::Exclamation);
        return;
    }
    if (!(openFile ? openFile(*path) : platform::openWithShell(*path)))
        session_.prompts().ask(QStringLiteral("Die Seite wurde gespeichert, aber es ist kein "
                                              "Programm eingerichtet, das HTML-Dateien öffnet:\n") +
                                   QDir::toNativeSeparators(*path),
                               platform::Buttons::Ok, platform::Icon::Information);
}

bool frmArbeitszeiten::unload() {
    // Everything that passed its check is stored already; only a field still being typed in
    // is dropped.
    closing_ = true;
    data::DataUmgebung& env = session_.env;
    for (engine::Recordset* rs : {&env.rsDienstzeiten, &env.rsStatistik}) {
        try {
            rs->cancelUpdate();
        } catch (const std::exception&) {
        }
    }
    dutyBinding_.load();
    statBinding_.load();
    try {
        env.rsMaDienste.close();
    } catch (const std::exception&) {
    }
    return true;
}

bool frmArbeitszeiten::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Grid && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
            return FormDialog::eventFilter(watched, event);
        if (Grid_KeyDown(key->key())) return true;
    }
    return FormDialog::eventFilter(watched, event);
}
