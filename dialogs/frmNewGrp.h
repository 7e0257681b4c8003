#pragma once
// The small window that asks for a group's name: for a new group (a row being added to
// rsGruppen) or to rename the current one. Closing it keeps a name that was typed; an empty
// name drops a new group and leaves a renamed one as it was.

#include "data/Session.h"
#include "dialogs/FormDialog.h"

class QLineEdit;
class QPushButton;

class frmNewGrp : public dialogs::FormDialog {
    Q_OBJECT
public:
    // Works on the current row of rsGruppen.
    explicit frmNewGrp(data::Session& session, QWidget* parent = nullptr);

    // The name shown when the window opens (renaming).
    void setName(const QString& name);
    // true when closing saved the name.
    bool saved() const { return saved_; }

protected:
    bool unload() override;

private:
    data::Session& session_;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdSave = nullptr;
    bool saved_ = false;
};
