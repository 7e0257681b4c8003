#include "dialogs/frmDiensteingabe.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/DutyFields.h"
#include "platform/Colors.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmDiensteingabe::frmDiensteingabe(data::Session& session, QWidget* parent)
    : FormDialog(parent), session_(session), rs_(session.env.rsDienstzeiten),
      binding_(session.env.rsDienstzeiten, session.prompts(), this) {
    setObjectName(QStringLiteral("frmDiensteingabe"));
    setWindowTitle(QStringLiteral("Diensteingabe"));
    setModal(true);
    buildControls();
    dialogs::installEnterAsTab(this);
    Diensteingabe_Load();
}

void frmDiensteingabe::buildControls() {
    MaskTag = lineEdit("MaskTag");
    DataCombo1 = new QComboBox(this);
    DataCombo1->setObjectName(QStringLiteral("DataCombo1"));
    MaskAnfang = lineEdit("MaskAnfang");
    MaskEnde = lineEdit("MaskEnde");
    Text1 = lineEdit("Text1");
    Text3 = lineEdit("Text3");
    txtKurzinfo = lineEdit("txtKurzinfo");
    txtKurzinfo->setMaxLength(15);
    txtBemerkung = lineEdit("txtBemerkung");
    txtBemerkung->setMaxLength(50);
    txts1 = lineEdit("txts1");
    txts2 = lineEdit("txts2");
    Text4 = lineEdit("Text4");
    dialogs::setUpDutySample(Text4);
    Command1 = button("Command1", QStringLiteral("Farbe ändern"));
    cmddel = button("cmddel", QStringLiteral("Löschen"));
    cmdClose = button("cmdClose", QStringLiteral("Speichern und Schließen"));

    auto* fields = new QGridLayout;
    const auto addField = [this, fields](int row, int column, const QString& label, QWidget* w) {
        auto* l = new QLabel(label, this);
        l->setBuddy(w);
        fields->addWidget(l, row, column);
        fields->addWidget(w, row, column + 1);
    };
    addField(0, 0, QStringLiteral("Tag:"), MaskTag);
    addField(0, 2, QStringLiteral("Name:"), DataCombo1);
    addField(1, 0, QStringLiteral("Anfang:"), MaskAnfang);
    addField(1, 2, QStringLiteral("Ende:"), MaskEnde);
    addField(2, 0, QStringLiteral("Pause:"), Text1);
    addField(2, 2, QStringLiteral("Pauschal Stunden:"), Text3);
    addField(3, 0, QStringLiteral("Kurzinfo:"), txtKurzinfo);
    addField(3, 2, QStringLiteral("Bemerkung:"), txtBemerkung);
    addField(4, 0, QStringLiteral("Zusatz 1:"), txts1);
    addField(4, 2, QStringLiteral("Zusatz 2:"), txts2);
    addField(5, 0, QStringLiteral("Anzeige:"), Text4);
    fields->addWidget(Command1, 5, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmddel);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* main = new QVBoxLayout(this);
    main->addLayout(fields);
    main->addStretch(1);
    main->addLayout(buttons);
    resize(560, 260);

    using Kind = dialogs::RecordBinding::Kind;
    binding_.bind(MaskTag, QStringLiteral("Tag"), Kind::Date);
    binding_.bind(DataCombo1, QStringLiteral("MaNr"));
    binding_.bind(MaskAnfang, QStringLiteral("Anfang"), Kind::Time);
    binding_.bind(MaskEnde, QStringLiteral("Ende"), Kind::Time);
    binding_.bind(Text1, QStringLiteral("Pause"), Kind::Number);
    binding_.bind(Text3, QStringLiteral("Normstunden"), Kind::Number);
    binding_.bind(txtKurzinfo, QStringLiteral("Kurzinfo"), Kind::Text);
    binding_.bind(txtBemerkung, QStringLiteral("Bemerkung"), Kind::Text);
    binding_.bind(txts1, QStringLiteral("S1"), Kind::Number);
    binding_.bind(txts2, QStringLiteral("S2"), Kind::Number);
    binding_.setCheck(txtKurzinfo, [this](QLineEdit*) { return txtKurzinfo_Validate(); });

    for (QLineEdit* e : {MaskAnfang, MaskEnde, txtKurzinfo, Text3})
        connect(e, &QLineEdit::editingFinished, this, &frmDiensteingabe::showSample);
    connect(Command1, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { Command1_Click(); }));
    connect(cmddel, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmddel_Click(); }));
    connect(cmdClose, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdClose_Click(); }));
}

void frmDiensteingabe::Diensteingabe_Load() {
    try {
        // the employees by position, showing the name and keeping the number
        engine::Recordset& employees = session_.env.sortMa();
        for (; !employees.eof(); employees.moveNext())
            DataCombo1->addItem(employees.value(QStringLiteral("PlanName")).toString(),
                                employees.value(QStringLiteral("MaNr")));
        binding_.load();
        showSample();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Diensteingabe_Load"));
    }
}

void frmDiensteingabe::showSample() {
    dialogs::showDutySample(Text4, dialogs::dutyColour(rs_), binding_, txtKurzinfo->text(), Text3,
                            QStringLiteral("Normstunden"));
}

bool frmDiensteingabe::txtKurzinfo_Validate() {
    return dialogs::shortInfoTooLong(session_.prompts(), txtKurzinfo->text(), 15);
}

void frmDiensteingabe::Command1_Click() {
    const quint32 initial = dialogs::dutyColour(rs_);
    const std::optional<QColor> chosen = session_.prompts().chooseColor(platform::fromBgr(initial));
    if (!chosen) return;
    try {
        rs_.setValue(QStringLiteral("Farbe"), platform::toBgr(*chosen));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command1_Click"));
    }
    showSample();
}

void frmDiensteingabe::cmddel_Click() {
    const platform::Answer answer = session_.prompts().ask(
        QStringLiteral("Soll der Dienst gelöscht werden ?"), platform::Buttons::YesNo,
        platform::Icon::Exclamation, QStringLiteral("Löschen"), 1);
    if (answer != platform::Answer::Yes) return;
    try {
        rs_.deleteCurrent();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmddel_Click"));
        return;
    }
    accept();
}

void frmDiensteingabe::cmdClose_Click() {
    try {
        binding_.store();
        rs_.update();
        dialogs::moveEndPastMidnight(rs_);
    } catch (const std::exception& e) {
        if (!dialogs::closeDespiteSaveError(session_.prompts(), e)) return;
        rs_.cancelUpdate();
    }
    accept();
}

bool frmDiensteingabe::unload() {
    try {
        rs_.cancelUpdate();
        return true;
    } catch (const std::exception& e) {
        if (!dialogs::closeDespiteSaveError(session_.prompts(), e)) return false;
        try {
            rs_.cancelUpdate();
        } catch (const std::exception&) {
        }
        return true;
    }
}
