#include "dialogs/frmGruppen.h"

#include "dialogs/frmNewGrp.h"
#include "roster/Groups.h"
#include "roster/Konstanten.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int KeyRole = Qt::UserRole + 1;
}

frmGruppen::frmGruppen(data::Session& session, int shownGroup, QWidget* parent)
    : FormDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmGruppen"));
    setWindowTitle(QStringLiteral("Gruppen"));
    setModal(true);
    buildControls();
    try {
        fillEmployees();
        fillGroups(shownGroup);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Form_Load"));
    }
}

void frmGruppen::buildControls() {
    DataCombo1 = new QComboBox(this);
    DataCombo1->setObjectName(QStringLiteral("DataCombo1"));
    lstGprMa = new QListWidget(this);
    lstGprMa->setObjectName(QStringLiteral("lstGprMa"));
    lstAllMa = new QListWidget(this);
    lstAllMa->setObjectName(QStringLiteral("lstAllMa"));
    auto* lblAllMa = new QLabel(QStringLiteral("Alle Mitarbeiter"), this);
    lblAllMa->setObjectName(QStringLiteral("lblAllMa"));
    lblAllMa->setBuddy(lstAllMa);
    Command1 = button("Command1", QStringLiteral("<- hinzufügen"));
    Command2 = button("Command2", QStringLiteral("entfernen ->"));
    Command3 = button("Command3", QStringLiteral("Neue Gruppe"));
    Command4 = button("Command4", QStringLiteral("Gruppe umbenennen"));
    cmddel = button("cmddel", QStringLiteral("Gruppe löschen"));
    Command5 = button("Command5", QStringLiteral("Speichern und Schließen"));

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(Command1);
    middle->addWidget(Command2);
    middle->addStretch(1);
    auto* grid = new QGridLayout;
    grid->addWidget(DataCombo1, 0, 0);
    grid->addWidget(lblAllMa, 0, 2);
    grid->addWidget(lstGprMa, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(lstAllMa, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command3);
    buttons->addWidget(Command4);
    buttons->addWidget(cmddel);
    buttons->addStretch(1);
    buttons->addWidget(Command5);
    auto* main = new QVBoxLayout(this);
    main->addLayout(grid, 1);
    main->addLayout(buttons);
    resize(620, 420);

    connect(DataCombo1, &QComboBox::currentIndexChanged, this, [this] { DataCombo1_Change(); });
    connect(Command1, &QPushButton::clicked, this, &frmGruppen::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmGruppen::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmGruppen::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmGruppen::Command4_Click);
    connect(cmddel, &QPushButton::clicked, this, &frmGruppen::cmddel_Click);
    connect(Command5, &QPushButton::clicked, this, &QWidget::close);
}

void frmGruppen::message(const QString& text) {
    session_.prompts().ask(text);
}

int frmGruppen::currentGroup() const {
    return DataCombo1->currentData().toInt();
}

void frmGruppen::fillGroups(int choose) {
    engine::Recordset& rs = session_.env.rsGruppen;
    const QSignalBlocker quiet(DataCombo1);
    DataCombo1->clear();
    for (const auto groups = rs.clone(); !groups->eof(); groups->moveNext())
        DataCombo1->addItem(groups->value(QStringLiteral("Gruppenname")).toString(),
                            groups->value(QStringLiteral("GruppenNr")));
    const int index = DataCombo1->findData(choose);
    DataCombo1->setCurrentIndex(index >= 0 ? index : (DataCombo1->count() > 0 ? 0 : -1));
    DataCombo1_Change();
}

void frmGruppen::fillEmployees() {
    lstAllMa->clear();
    for (const auto all = session_.env.rsMitarbeiter.clone(); !all->eof(); all->moveNext()) {
        auto* item = new QListWidgetItem(all->value(QStringLiteral("PlanName")).toString());
        item->setData(KeyRole, all->bookmark());
        lstAllMa->addItem(item);
    }
}

void frmGruppen::fillMembers() {
    lstGprMa->clear();
    engine::Recordset& members = session_.env.rsMaNachGrp;
    if (!members.isOpen()) return;
    members.setSort(QStringLiteral("Dienstpos"));
    for (members.moveFirst(); !members.eof(); members.moveNext()) {
        auto* item = new QListWidgetItem(members.value(QStringLiteral("PlanName")).toString());
        item->setData(KeyRole, members.value(QStringLiteral("manr")));
        lstGprMa->addItem(item);
    }
}

bool frmGruppen::moveToChosenGroup() {
    engine::Recordset& rs = session_.env.rsGruppen;
    const int group = currentGroup();
    if (group <= 0) return false;
    rs.moveFirst();
    return rs.find(QStringLiteral("GruppenNr = ") + QString::number(group));
}

void frmGruppen::DataCombo1_Change() {
    data::DataUmgebung& env = session_.env;
    try {
        env.rsMaNachGrp.close();
        if (moveToChosenGroup()) env.MaNachGrp(currentGroup());
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("DataCombo1_Change"));
    }
    fillMembers();
}

void frmGruppen::Command1_Click() {
    data::DataUmgebung& env = session_.env;
    // the employee highlighted in the list, whether by mouse or by keyboard
    QListWidgetItem* chosen = lstAllMa->currentItem();
    if (!chosen || !chosen->isSelected()) return;
    try {
        if (!moveToChosenGroup()) return;
        const int group = currentGroup();
        env.rsMitarbeiter.setBookmark(chosen->data(KeyRole).value<engine::Bookmark>());
        const int maNr = env.rsMitarbeiter.value(QStringLiteral("MaNr")).toInt();
        try {
            roster::addMember(env, maNr, group);
        } catch (const std::exception& e) {
            if (data::errorNumber(e) == engine::err::GeneralFailure) {
                message(QStringLiteral("Der Mitarbeiter ist schon in der Gruppe."));
                return;
            }
            message(data::errorDescription(e));
        }
        env.MaNachGrp(group);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command1_Click"));
    }
    fillMembers();
}

void frmGruppen::Command2_Click() {
    data::DataUmgebung& env = session_.env;
    QListWidgetItem* member = lstGprMa->currentItem();
    if (!member || !member->isSelected()) return;
    try {
        if (!moveToChosenGroup()) return;
        const int group = currentGroup();
        if (group <= roster::AllEmployeesGroup) {
            message(QStringLiteral("Sie können aus dieser Gruppe kleine Mitarbeiter löschen."));
            return;
        }
        roster::removeMember(env, member->data(KeyRole).toInt(), group);
        env.MaNachGrp(group);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command2_Click"));
    }
    fillMembers();
}

void frmGruppen::Command3_Click() {
    engine::Recordset& rs = session_.env.rsGruppen;
    int chosen = currentGroup();
    try {
        rs.addNew();
        frmNewGrp name(session_, this);
        name.exec();
        // a named group was saved and is the current row; an empty name dropped it
        if (name.saved()) chosen = rs.value(QStringLiteral("GruppenNr")).toInt();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command3_Click"));
    }
    fillGroups(chosen);
}

void frmGruppen::Command4_Click() {
    engine::Recordset& rs = session_.env.rsGruppen;
    const int chosen = currentGroup();
    try {
        if (!moveToChosenGroup()) return;
        frmNewGrp name(session_, this);
        name.setName(rs.value(QStringLiteral("Gruppenname")).toString());
        name.exec();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command4_Click"));
    }
    fillGroups(chosen);
}

void frmGruppen::cmddel_Click() {
    engine::Recordset& rs = session_.env.rsGruppen;
    int chosen = currentGroup();
    try {
        if (!moveToChosenGroup()) return;
        if (chosen == roster::AllEmployeesGroup) {
            message(QStringLiteral("Sie können diese Gruppe nicht löschen."));
            return;
        }
        roster::deleteGroup(session_.env, chosen);
        rs.requery();
        chosen = rs.eof() ? 0 : rs.value(QStringLiteral("GruppenNr")).toInt();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmddel_Click"));
    }
    fillGroups(chosen);
}
