#include "reports/frmPruefregeln.h"

#include "engine/Sqlite.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QList<data::DutyKind> AllKinds = {data::DutyKind::Work, data::DutyKind::Vacation,
                                        data::DutyKind::Sick, data::DutyKind::Free};

} // namespace

frmPruefregeln::frmPruefregeln(data::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmPruefregeln"));
    setWindowTitle(QStringLiteral("Regeln der Arbeitszeitprüfung"));
    const auto check = [this](const char* name, const QString& caption) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    const auto combo = [this](const char* name, const QList<std::pair<QString, int>>& items) {
        auto* box = new QComboBox(this);
        box->setObjectName(QLatin1String(name));
        for (const auto& [text, value] : items)
            box->addItem(text, value);
        return box;
    };
    chkRuhezeit = check("chkRuhezeit", QStringLiteral("Ununterbrochene Ruhezeit nach Ende der "
                                                      "täglichen Arbeitszeit (§ 5 Abs. 1 ArbZG) "
                                                      "von mindestens"));
    cboRuhezeit =
        combo("cboRuhezeit", {{QStringLiteral("11 Stunden"), 11},
                              {QStringLiteral("10 Stunden (Krankenhäuser, Pflege)"), 10}});
    chkAusgleich =
        check("chkAusgleich", QStringLiteral("Jede Verkürzung auf 10 Stunden innerhalb eines "
                                             "Kalendermonats oder von vier Wochen\ndurch eine "
                                             "Ruhezeit von mindestens 12 Stunden ausgleichen "
                                             "(§ 5 Abs. 2 ArbZG)"));
    chkHoechstarbeitszeit = check("chkHoechstarbeitszeit",
                                  QStringLiteral("Werktägliche Arbeitszeit höchstens 10 Stunden "
                                                 "(§ 3 ArbZG)"));
    chkDurchschnitt = check("chkDurchschnitt",
                            QStringLiteral("Im Durchschnitt höchstens 8 Stunden je Werktag "
                                           "(48 Stunden je Woche) (§ 3 ArbZG), innerhalb von:"));
    cboZeitraum = combo("cboZeitraum", {{QStringLiteral("24 Wochen"), 0},
                                        {QStringLiteral("6 Kalendermonaten"), 1}});
    chkPausen =
        check("chkPausen", QStringLiteral("Ruhepausen: 30 Minuten bei mehr als 6 bis zu 9 Stunden, "
                                          "45 Minuten bei mehr als 9 Stunden Arbeitszeit;\nnicht "
                                          "länger als 6 Stunden hintereinander ohne Ruhepause "
                                          "(§ 4 ArbZG)"));
    chkSonntage = check("chkSonntage", QStringLiteral("Mindestens 15 beschäftigungsfreie Sonntage "
                                                      "im Jahr (§ 11 Abs. 1 ArbZG)"));
    chkErsatzruhetag =
        check("chkErsatzruhetag",
              QStringLiteral("Ersatzruhetag binnen zwei Wochen nach Sonntagsarbeit,\nbinnen acht "
                             "Wochen nach Arbeit an einem Feiertag (§ 11 Abs. 3 ArbZG)"));
    chkSonntagsruhe = check("chkSonntagsruhe",
                            QStringLiteral("Sonn- und Feiertagsruhe und Ersatzruhetag unmittelbar "
                                           "mit der Ruhezeit verbunden (§ 11 Abs. 4 ArbZG)"));
    chkArbeitstage = check("chkArbeitstage", QStringLiteral("Arbeitstage in Folge, höchstens:"));
    txtArbeitstage = new QLineEdit(this);
    txtArbeitstage->setObjectName(QStringLiteral("txtArbeitstage"));
    txtArbeitstage->setMaxLength(3);
    txtArbeitstage->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);

    tblDienstarten = new QTableWidget(0, 3, this);
    tblDienstarten->setObjectName(QStringLiteral("tblDienstarten"));
    tblDienstarten->setHorizontalHeaderLabels(
        {QStringLiteral("Taste"), QStringLiteral("Kurzinfo"), QStringLiteral("Art")});
    tblDienstarten->verticalHeader()->hide();
    tblDienstarten->horizontalHeader()->setStretchLastSection(true);
    tblDienstarten->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblDienstarten->setMinimumHeight(120);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    // one line a rule, its setting right after its text
    auto* grid = new QVBoxLayout;
    const auto line = [&](QWidget* a, QWidget* b = nullptr) {
        auto* row = new QHBoxLayout;
        row->addWidget(a);
        if (b) row->addWidget(b);
        row->addStretch();
        grid->addLayout(row);
    };
    line(chkRuhezeit, cboRuhezeit);
    line(chkAusgleich);
    line(chkHoechstarbeitszeit);
    line(chkDurchschnitt, cboZeitraum);
    line(chkPausen);
    line(chkSonntage);
    line(chkErsatzruhetag);
    line(chkSonntagsruhe);
    line(chkArbeitstage, txtArbeitstage);
    auto* kinds = new QGroupBox(QStringLiteral("Welche Standarddienste sind keine Arbeit?"), this);
    auto* kindsLayout = new QVBoxLayout(kinds);
    kindsLayout->addWidget(tblDienstarten);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(kinds, 1);
    layout->addLayout(buttons);

    connect(chkRuhezeit, &QCheckBox::toggled, cboRuhezeit, &QWidget::setEnabled);
    connect(chkDurchschnitt, &QCheckBox::toggled, cboZeitraum, &QWidget::setEnabled);
    connect(chkArbeitstage, &QCheckBox::toggled, txtArbeitstage, &QWidget::setEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &frmPruefregeln::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    data::WorkingTimeRules stored;
    try {
        stored = data::loadWorkingTimeRules(session_.env.Datenbank);
        kinds_ = data::standardDutyKinds(session_.env.Datenbank);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmPruefregeln"));
    }
    showRules(stored);
    showDutyKinds(kinds_);
}

void frmPruefregeln::showRules(const data::WorkingTimeRules& r) {
    chkRuhezeit->setChecked(r.restOn);
    cboRuhezeit->setCurrentIndex(r.minRest == 10 ? 1 : 0);
    cboRuhezeit->setEnabled(r.restOn);
    chkAusgleich->setChecked(r.compensationOn);
    chkHoechstarbeitszeit->setChecked(r.dailyOn);
    chkDurchschnitt->setChecked(r.averageOn);
    cboZeitraum->setCurrentIndex(r.averageMonths ? 1 : 0);
    cboZeitraum->setEnabled(r.averageOn);
    chkPausen->setChecked(r.breaksOn);
    chkSonntage->setChecked(r.sundaysOn);
    chkErsatzruhetag->setChecked(r.substituteOn);
    chkSonntagsruhe->setChecked(r.joinedRestOn);
    chkArbeitstage->setChecked(r.runOn);
    txtArbeitstage->setText(QString::number(r.maxRun));
    txtArbeitstage->setEnabled(r.runOn);
}

void frmPruefregeln::showDutyKinds(const QList<data::StandardDutyKind>& kinds) {
    tblDienstarten->setRowCount(int(kinds.size()));
    for (int i = 0; i < kinds.size(); ++i) {
        tblDienstarten->setItem(i, 0, new QTableWidgetItem(kinds[i].taste));
        tblDienstarten->setItem(i, 1, new QTableWidgetItem(kinds[i].kurzinfo));
        auto* box = new QComboBox(tblDienstarten);
        box->setObjectName(QStringLiteral("cboArt_%1").arg(i));
        for (const data::DutyKind k : AllKinds)
            box->addItem(data::dutyKindName(k), int(k));
        box->setCurrentIndex(box->findData(int(kinds[i].kind)));
        tblDienstarten->setCellWidget(i, 2, box);
    }
    tblDienstarten->resizeColumnsToContents();
}

std::optional<data::WorkingTimeRules> frmPruefregeln::rules() const {
    data::WorkingTimeRules r;
    r.restOn = chkRuhezeit->isChecked();
    r.minRest = cboRuhezeit->currentData().toDouble();
    r.compensationOn = chkAusgleich->isChecked();
    r.dailyOn = chkHoechstarbeitszeit->isChecked();
    r.averageOn = chkDurchschnitt->isChecked();
    r.averageMonths = cboZeitraum->currentData().toInt() == 1;
    r.breaksOn = chkPausen->isChecked();
    r.sundaysOn = chkSonntage->isChecked();
    r.substituteOn = chkErsatzruhetag->isChecked();
    r.joinedRestOn = chkSonntagsruhe->isChecked();
    r.runOn = chkArbeitstage->isChecked();
    bool number = false;
    const int run = txtArbeitstage->text().trimmed().toInt(&number);
    if (!number || run < 1 || run > data::WorkingTimeRules::MaxRunLimit) return std::nullopt;
    r.maxRun = run;
    return r;
}

QList<data::StandardDutyKind> frmPruefregeln::dutyKinds() const {
    QList<data::StandardDutyKind> kinds = kinds_;
    for (int i = 0; i < kinds.size(); ++i) {
        if (const auto* box = qobject_cast<QComboBox*>(tblDienstarten->cellWidget(i, 2)))
            kinds[i].kind = data::DutyKind(box->currentData().toInt());
    }
    return kinds;
}

void frmPruefregeln::cmdOK_Click() {
    const std::optional<data::WorkingTimeRules> chosen = rules();
    if (!chosen) {
        session_.prompts().ask(
            QStringLiteral("\"Arbeitstage in Folge\" muss eine ganze Zahl von 1 bis %1 sein.")
                .arg(data::WorkingTimeRules::MaxRunLimit),
            platform::Buttons::Ok, platform::Icon::Exclamation,
            QStringLiteral("Arbeitszeitprüfung"));
        txtArbeitstage->setFocus();
        txtArbeitstage->selectAll();
        return;
    }
    try {
        engine::Transaction transaction(session_.env.Datenbank);
        data::saveWorkingTimeRules(session_.env.Datenbank, *chosen);
        data::saveDutyKinds(session_.env.Datenbank, dutyKinds());
        transaction.commit();
    } catch (const std::exception& e) {
        // the dialog stays open with what was chosen
        session_.prompts().ask(
            QStringLiteral(
                "Die Regeln der Arbeitszeitprüfung konnten nicht gespeichert werden.\n") +
                data::errorDescription(e),
            platform::Buttons::Ok, platform::Icon::Exclamation,
            QStringLiteral("Arbeitszeitprüfung"));
        return;
    }
    accept();
}
