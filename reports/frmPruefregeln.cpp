#include "reports/frmPruefregeln.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

frmPruefregeln::frmPruefregeln(data::Session& session, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmPruefregeln"));
    setWindowTitle(QStringLiteral("Regeln der Arbeitszeitprüfung"));
    const auto check = [this](const char* name, const QString& caption) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    chkRuhezeit = check("chkRuhezeit",
                        QStringLiteral("Ruhezeit zwischen zwei Diensten (§ 5 ArbZG), mindestens:"));
    cboRuhezeit = new QComboBox(this);
    cboRuhezeit->setObjectName(QStringLiteral("cboRuhezeit"));
    cboRuhezeit->addItem(QStringLiteral("11 Stunden"), 11.0);
    cboRuhezeit->addItem(QStringLiteral("10 Stunden (Krankenhäuser, Pflege, § 5 Abs. 2)"), 10.0);
    chkHoechstarbeitszeit =
        check("chkHoechstarbeitszeit",
              QStringLiteral("Höchstens 10 Stunden Arbeit in einem Dienst (§ 3 ArbZG)"));
    chkPausen = check("chkPausen", QStringLiteral("Ruhepausen: 30 Minuten ab 6 Stunden, 45 Minuten "
                                                  "ab 9 Stunden Arbeit (§ 4 ArbZG)"));
    chkSonntage =
        check("chkSonntage", QStringLiteral("Mindestens 15 freie Sonntage im Jahr (§ 11 ArbZG)"));
    chkArbeitstage = check("chkArbeitstage", QStringLiteral("Arbeitstage in Folge, höchstens:"));
    txtArbeitstage = new QSpinBox(this);
    txtArbeitstage->setObjectName(QStringLiteral("txtArbeitstage"));
    txtArbeitstage->setRange(1, data::WorkingTimeRules::MaxRunLimit);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(chkRuhezeit, 0, 0);
    grid->addWidget(cboRuhezeit, 0, 1);
    grid->addWidget(chkHoechstarbeitszeit, 1, 0, 1, 2);
    grid->addWidget(chkPausen, 2, 0, 1, 2);
    grid->addWidget(chkSonntage, 3, 0, 1, 2);
    grid->addWidget(chkArbeitstage, 4, 0);
    grid->addWidget(txtArbeitstage, 4, 1, Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(chkRuhezeit, &QCheckBox::toggled, cboRuhezeit, &QWidget::setEnabled);
    connect(chkArbeitstage, &QCheckBox::toggled, txtArbeitstage, &QWidget::setEnabled);
    connect(cmdOK, &QPushButton::clicked, this, &frmPruefregeln::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    data::WorkingTimeRules stored;
    try {
        stored = data::loadWorkingTimeRules(session_.env.Datenbank);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmPruefregeln"));
    }
    showRules(stored);
}

void frmPruefregeln::showRules(const data::WorkingTimeRules& r) {
    chkRuhezeit->setChecked(r.restOn);
    cboRuhezeit->setCurrentIndex(r.minRest == 10 ? 1 : 0);
    cboRuhezeit->setEnabled(r.restOn);
    chkHoechstarbeitszeit->setChecked(r.dailyOn);
    chkPausen->setChecked(r.breaksOn);
    chkSonntage->setChecked(r.sundaysOn);
    chkArbeitstage->setChecked(r.runOn);
    txtArbeitstage->setValue(r.maxRun);
    txtArbeitstage->setEnabled(r.runOn);
}

data::WorkingTimeRules frmPruefregeln::rules() const {
    data::WorkingTimeRules r;
    r.restOn = chkRuhezeit->isChecked();
    r.minRest = cboRuhezeit->currentData().toDouble();
    r.dailyOn = chkHoechstarbeitszeit->isChecked();
    r.breaksOn = chkPausen->isChecked();
    r.sundaysOn = chkSonntage->isChecked();
    r.runOn = chkArbeitstage->isChecked();
    r.maxRun = txtArbeitstage->value();
    return r;
}

void frmPruefregeln::cmdOK_Click() {
    try {
        data::saveWorkingTimeRules(session_.env.Datenbank, rules());
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
