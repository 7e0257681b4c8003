#include "dialogs/frmSollStd.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/FieldChecks.h"
#include "platform/Formats.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

const QString dialogs::AutomaticTargetNote = QStringLiteral(
    "Die Sollstunden werden automatsch berechnet. Tragen Sie bei der Mitarbeiterverwaltung die "
    "Sollstunden pauschal ein um die automatische Berechnung zu deaktivieren.");

frmSollStd::frmSollStd(data::Session& session, QWidget* parent)
    : QDialog(parent), session_(session), rs_(session.env.rsStatistik),
      binding_(session.env.rsStatistik, session.prompts(), this) {
    setObjectName(QStringLiteral("frmSollStd"));
    setWindowTitle(QStringLiteral("Sollstunden ändern"));
    setModal(true);

    const auto edit = [this](const char* name, bool readOnly) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setReadOnly(readOnly);
        if (readOnly) e->setFocusPolicy(Qt::NoFocus);
        return e;
    };
    Text2 = edit("Text2", true);
    Text3 = edit("Text3", true);
    Text1 = edit("Text1", false);
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Command1 = new QPushButton(QStringLiteral("Speichern"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Mitarbeiter:"), Text2);
    form->addRow(QStringLiteral("Monat:"), Text3);
    form->addRow(QStringLiteral("Sollstunden:"), Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addWidget(Label2);
    main->addStretch(1);
    main->addLayout(buttons);
    resize(380, 200);

    binding_.bind(Text1, QStringLiteral("Soll"), dialogs::RecordBinding::Kind::Number);
    binding_.setCheck(
        Text1, [this](QLineEdit* e) { return dialogs::CheckTargetField(e, session_.prompts()); });
    dialogs::installEnterAsTab(this);
    connect(Command1, &QPushButton::clicked, this, [this] {
        if (!binding_.hasRefusedField()) Command1_Click();
    });
    binding_.load();
}

void frmSollStd::prepare(const QString& planName, const QDate& firstDay, bool automaticTarget) {
    Text2->setText(planName);
    Text3->setText(platform::monthName(firstDay.month()));
    if (automaticTarget) {
        Label2->setText(dialogs::AutomaticTargetNote);
        Text1->setEnabled(false);
    }
}

void frmSollStd::Command1_Click() {
    try {
        if (!Text1->text().trimmed().isEmpty()) {
            // a target outside the range is refused and the window stays open
            if (binding_.validate(Text1)) return;
            binding_.store();
            rs_.update();
        } else {
            rs_.cancelUpdate();
        }
    } catch (const std::exception& e) {
        rs_.cancelUpdate();
        data::report(session_, e, QStringLiteral("Command1_Click"));
    }
    accept();
}

void frmSollStd::reject() {
    try {
        if (rs_.isEditing()) rs_.cancelUpdate();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmSollStd"));
    }
    QDialog::reject();
}
