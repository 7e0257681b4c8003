#include "dialogs/FormDialog.h"

#include <QCloseEvent>

namespace dialogs {

FormDialog::FormDialog(QWidget* parent) : QDialog(parent) {}

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

} // namespace dialogs
