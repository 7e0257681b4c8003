#include "dialogs/FormDialog.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace dialogs {

FormDialog::FormDialog(QWidget* parent) : QDialog(parent) {}

QPushButton* FormDialog::button(const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* FormDialog::lineEdit(const char* name, const QString& toolTip) {
    auto* e = new QLineEdit(this);
    e->setObjectName(QLatin1String(name));
    e->setToolTip(toolTip);
    return e;
}

void FormDialog::closeEvent(QCloseEvent* event) {
    if (closing_) {
        QDialog::closeEvent(event);
        return;
    }
    if (!unload()) {
        event->ignore();
        return;
    }
    closing_ = true;
    QDialog::closeEvent(event); // hides the window through reject()
    closing_ = false;
}

void FormDialog::reject() {
    // Esc and the close box come here: they close the window as every other way does.
    if (closing_)
        QDialog::reject();
    else
        close();
}

QString deleteQuestion(const QString& kind, const QString& name) {
    const QString named = name.simplified();
    return named.isEmpty() ? QStringLiteral("Soll der %1 gelöscht werden?").arg(kind)
                           : QStringLiteral("Soll der %1 %2 gelöscht werden?").arg(kind, named);
}

} // namespace dialogs
