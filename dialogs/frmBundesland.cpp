#include "dialogs/frmBundesland.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox* yearBox(const char* name, int year, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(roster::FirstHolidayYear, roster::LastHolidayYear);
    box->setValue(std::clamp(year, roster::FirstHolidayYear, roster::LastHolidayYear));
    return box;
}

} // namespace

frmBundesland::frmBundesland(int year, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmBundesland"));
    setWindowTitle(QStringLiteral("Feiertage für Bundesland eintragen"));
    setModal(true);
    cboLand = new QComboBox(this);
    cboLand->setObjectName(QStringLiteral("cboLand"));
    cboLand->addItems(roster::federalStateNames());
    spnVon = yearBox("spnVon", year, this);
    spnBis = yearBox("spnBis", year, this);
    // the range stays whole whichever box the user changes
    connect(spnVon, &QSpinBox::valueChanged, spnBis,
            [this](int v) { spnBis->setValue(std::max(v, spnBis->value())); });
    connect(spnBis, &QSpinBox::valueChanged, spnVon,
            [this](int v) { spnVon->setValue(std::min(v, spnVon->value())); });
    chkHalbeTage =
        new QCheckBox(QStringLiteral("&24. und 31. Dezember als halbe Feiertage (Wert 0,5)"), this);
    chkHalbeTage->setObjectName(QStringLiteral("chkHalbeTage"));
    cmdEintragen = new QPushButton(QStringLiteral("&Eintragen"), this);
    cmdEintragen->setObjectName(QStringLiteral("cmdEintragen"));
    cmdEintragen->setDefault(true);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    connect(cmdEintragen, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Bundesland:"), cboLand);
    form->addRow(QStringLiteral("&von Jahr:"), spnVon);
    form->addRow(QStringLiteral("b&is Jahr:"), spnBis);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdEintragen);
    buttons->addWidget(cmdAbbrechen);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(chkHalbeTage);
    main->addLayout(buttons);
}

roster::FederalState frmBundesland::state() const {
    return static_cast<roster::FederalState>(cboLand->currentIndex());
}
int frmBundesland::firstYear() const {
    return spnVon->value();
}
int frmBundesland::lastYear() const {
    return spnBis->value();
}
bool frmBundesland::halfDays() const {
    return chkHalbeTage->isChecked();
}
