#include "dialogs/frmNewGrp.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmNewGrp::frmNewGrp(data::Session& session, QWidget* parent)
    : FormDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmNewGrp"));
    setWindowTitle(QStringLiteral("Gruppenname"));
    setModal(true);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setMaxLength(50);
    cmdSave = new QPushButton(QStringLiteral("Speichern"), this);
    cmdSave->setObjectName(QStringLiteral("cmdSave"));
    cmdSave->setDefault(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Gruppenname:"), Text1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdSave);
    auto* main = new QVBoxLayout(this);
    main->addLayout(form);
    main->addLayout(buttons);
    resize(320, 100);
    connect(cmdSave, &QPushButton::clicked, this, &QWidget::close);
}

void frmNewGrp::setName(const QString& name) {
    Text1->setText(name);
}

bool frmNewGrp::unload() {
    engine::Recordset& rs = session_.env.rsGruppen;
    try {
        if (Text1->text().isEmpty()) {
            rs.cancelUpdate();
            return true;
        }
        rs.setValue(QStringLiteral("Gruppenname"), Text1->text());
        rs.update();
        saved_ = true;
    } catch (const std::exception& e) {
        rs.cancelUpdate();
        data::report(session_, e, QStringLiteral("frmNewGrp_Unload"));
    }
    return true;
}
