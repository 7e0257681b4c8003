#include "reports/frmKalender.h"

#include "reports/DutyCalendar.h"
#include "reports/GroupMembers.h"
#include "roster/Konstanten.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QDateEdit* monthBox(const char* name, const QDate& month, QWidget* parent) {
    auto* box = new QDateEdit(month, parent);
    box->setObjectName(QLatin1String(name));
    box->setDisplayFormat(QStringLiteral("MM.yyyy"));
    return box;
}

} // namespace

frmKalender::frmKalender(data::Session& session, const roster::MonthState& month, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmKalender"));
    setWindowTitle(QStringLiteral("Kalender (iCal) exportieren"));
    setModal(true);
    cboMitarbeiter = new QComboBox(this);
    cboMitarbeiter->setObjectName(QStringLiteral("cboMitarbeiter"));
    cboMitarbeiter->addItem(QStringLiteral("Alle Mitarbeiter der Gruppe"), 0);
    try {
        for (const reports::GroupMember& m : reports::groupMembers(session.env, month.groupNumber))
            cboMitarbeiter->addItem(m.planName, m.basis.maNr);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmKalender"));
    }
    dtpVon = monthBox("dtpVon", month.firstDay, this);
    dtpBis = monthBox("dtpBis", month.firstDay, this);
    cmdExportieren = new QPushButton(QStringLiteral("&Exportieren ..."), this);
    cmdExportieren->setObjectName(QStringLiteral("cmdExportieren"));
    cmdExportieren->setDefault(true);
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    connect(cmdExportieren, &QPushButton::clicked, this, &frmKalender::cmdExportieren_Click);
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Mitarbeiter:"), cboMitarbeiter);
    form->addRow(QStringLiteral("&von Monat:"), dtpVon);
    form->addRow(QStringLiteral("&bis Monat:"), dtpBis);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdExportieren);
    buttons->addWidget(cmdAbbrechen);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addLayout(buttons);
}

void frmKalender::cmdExportieren_Click() {
    const QDate von = dtpVon->date(), bis = dtpBis->date();
    const QDate first(von.year(), von.month(), 1);
    const QDate last = roster::lastDayOfMonth(QDate(bis.year(), bis.month(), 1));
    if (last < first) {
        session_.prompts().ask(QStringLiteral("Der erste Monat liegt nach dem letzten. Bitte "
                                              "korrigieren Sie die Monate."),
                               platform::Buttons::Ok, platform::Icon::Exclamation);
        dtpBis->setFocus();
        return;
    }
    std::vector<reports::CalendarOwner> owners;
    const int chosen = cboMitarbeiter->currentData().toInt();
    for (int i = 1; i < cboMitarbeiter->count(); ++i) {
        const int maNr = cboMitarbeiter->itemData(i).toInt();
        if (chosen == 0 || chosen == maNr) owners.push_back({maNr, cboMitarbeiter->itemText(i)});
    }
    if (owners.empty()) {
        session_.prompts().ask(QStringLiteral("Die Gruppe hat keine Mitarbeiter, deren Dienste "
                                              "exportiert werden könnten."),
                               platform::Buttons::Ok, platform::Icon::Exclamation);
        return;
    }
    const std::optional<QString> folder =
        session_.prompts().chooseFolder(QStringLiteral("Ordner für die Kalenderdateien"),
                                        session_.services.folders.documentsFolder);
    if (!folder) return; // nothing written; the choice stays for another try
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int written = reports::writeDutyCalendars(session_, owners, first, last, *folder);
    QApplication::restoreOverrideCursor();
    if (written == 0) return;
    session_.prompts().ask(QStringLiteral("%1 Kalenderdatei(en) wurden in den Ordner %2 "
                                          "geschrieben.")
                               .arg(written)
                               .arg(QDir::toNativeSeparators(*folder)),
                           platform::Buttons::Ok, platform::Icon::Information);
    accept();
}
