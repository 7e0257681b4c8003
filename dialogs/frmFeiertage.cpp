#include "dialogs/frmFeiertage.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/FieldChecks.h"
#include "dialogs/RecordList.h"
#include "dialogs/frmBundesland.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"

#include <QApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString SaveFailed = QStringLiteral("Beim Speichern des Tages ist ein Fehler aufgetreten.");

QString dayText(const QVariant& value) {
    return value.isNull() ? QString() : platform::shortDate(engine::toDate(value));
}

} // namespace

frmFeiertage::frmFeiertage(data::Session& session, int shownYear, QWidget* parent)
    : FormDialog(parent), session_(session), rs_(session.env.rsFeiertage), shownYear_(shownYear),
      binding_(session.env.rsFeiertage, session.prompts(), this) {
    setObjectName(QStringLiteral("frmFeiertage"));
    setWindowTitle(QStringLiteral("Feiertage"));
    setModal(true);
    buildControls();
    dialogs::installEnterAsTab(this);
    try {
        // the list in date order, so that a saved holiday takes its place by date
        if (rs_.sort().compare(QStringLiteral("Tag"), Qt::CaseInsensitive) != 0)
            rs_.setSort(QStringLiteral("Tag"));
        if (shownYear > 0) moveToYear(shownYear);
        if (shownYear_ <= 0) shownYear_ = session_.today().year();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmFeiertage"));
    }
    DataGrid1->refill();
    binding_.load();
}

void frmFeiertage::moveToYear(int year) {
    const QDate first(year, 1, 1);
    const auto rows = rs_.clone();
    std::optional<engine::Bookmark> found;
    for (; !rows->eof(); rows->moveNext()) {
        const QVariant day = rows->value(QStringLiteral("Tag"));
        found = rows->bookmark();
        if (!day.isNull() && engine::toDate(day) >= first) break;
    }
    if (found) rs_.setBookmark(*found);
}

void frmFeiertage::buildControls() {
    DataGrid1 = new dialogs::RecordList(rs_,
                                        {{QStringLiteral("Tag"), QStringLiteral("Tag"), dayText},
                                         {QStringLiteral("Name"), QStringLiteral("Name"), {}}},
                                        session_.prompts(), this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setMinimumWidth(280);

    MaskEdBox1 = lineEdit("MaskEdBox1");
    txtName = lineEdit("txtName");
    txtProzent = lineEdit("txtProzent");
    cmdnew = button("cmdnew", QStringLiteral("Neuer"));
    cmddel = button("cmddel", QStringLiteral("Löschen"));
    cmdClose = button("cmdClose", QStringLiteral("Speichern und Schließen"));
    cmdBundesland =
        button("cmdBundesland", QStringLiteral("Feiertage für &Bundesland ... eintragen"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Tag:"), MaskEdBox1);
    form->addRow(QStringLiteral("Name:"), txtName);
    form->addRow(QStringLiteral("Wert:"), txtProzent);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdnew);
    buttons->addWidget(cmddel);
    buttons->addWidget(cmdBundesland);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* right = new QVBoxLayout;
    right->addLayout(form);
    right->addLayout(buttons, 1);
    auto* main = new QHBoxLayout(this);
    main->addWidget(DataGrid1, 1);
    main->addLayout(right);
    resize(560, 340);

    using Kind = dialogs::RecordBinding::Kind;
    // the date box takes the locale's short date with its mask (two or four year digits)
    binding_.bind(MaskEdBox1, QStringLiteral("Tag"), Kind::Date);
    binding_.bind(txtName, QStringLiteral("Name"), Kind::Text);
    binding_.bindFormatted(
        txtProzent, QStringLiteral("Prozent"),
        [](const QVariant& v) { return platform::generalNumber(v.toDouble()); },
        [](const QString& text) {
            bool ok = false;
            const double v = platform::parseNumber(text, &ok);
            return ok ? QVariant(v) : QVariant(text);
        });

    connect(cmdnew, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdnew_Click(); }));
    connect(cmddel, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmddel_Click(); }));
    connect(cmdBundesland, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdBundesland_Click(); }));
    connect(cmdClose, &QPushButton::clicked, this, binding_.unlessRefused([this] { close(); }));
    connect(DataGrid1, &dialogs::RecordList::chosen, this, &frmFeiertage::DataGrid1_Choose);
}

void frmFeiertage::showCurrent() {
    binding_.load();
    DataGrid1->markCurrent();
}

void frmFeiertage::saveCurrent() {
    if (binding_.save()) DataGrid1->refill();
}

void frmFeiertage::DataGrid1_Choose(engine::Bookmark bookmark) {
    if (binding_.hasRefusedField()) {
        DataGrid1->markCurrent();
        return;
    }
    try {
        saveCurrent();
        rs_.setBookmark(bookmark);
    } catch (const std::exception& e) {
        session_.prompts().ask(SaveFailed + QStringLiteral("\n") + data::errorDescription(e));
    }
    showCurrent();
}

// Saves the shown row before another action; on a failure the user is told, the row stays as
// typed (to correct or to delete) and the action does not go on.
bool frmFeiertage::savedOrTold() {
    try {
        saveCurrent();
        return true;
    } catch (const std::exception& e) {
        session_.prompts().ask(SaveFailed + QStringLiteral("\n") + data::errorDescription(e));
        MaskEdBox1->setFocus();
        return false;
    }
}

void frmFeiertage::cmdnew_Click() {
    if (!savedOrTold()) return;
    try {
        rs_.addNew();
        showCurrent();
        MaskEdBox1->setInputMask(dialogs::dateBoxMask());
        MaskEdBox1->setFocus();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmdnew_Click"));
    }
}

void frmFeiertage::cmddel_Click() {
    if (!binding_.hasRecord()) return;
    const QString day = dialogs::isEmptyMaskText(MaskEdBox1->displayText())
                            ? QString()
                            : QStringLiteral(" (") + MaskEdBox1->displayText() + QLatin1Char(')');
    if (session_.prompts().ask(
            dialogs::deleteQuestion(QStringLiteral("Feiertag"), txtName->text() + day),
            platform::Buttons::YesNo, platform::Icon::Exclamation, QStringLiteral("Löschen"),
            1) != platform::Answer::Yes)
        return;
    try {
        if (rs_.status() == engine::RecordStatus::New) {
            rs_.cancelUpdate(); // a holiday not yet saved is only dropped
        } else {
            rs_.cancelUpdate();
            rs_.deleteCurrent();
            rs_.moveNext();
            if (rs_.eof() && rs_.recordCount() > 0) rs_.moveLast();
        }
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmddel_Click"));
    }
    DataGrid1->refill();
    binding_.load();
}

void frmFeiertage::cmdBundesland_Click() {
    if (!savedOrTold()) return;
    frmBundesland choice(shownYear_, this);
    if (choice.exec() != QDialog::Accepted) return;
    const QString land = roster::federalStateNames().value(int(choice.state()));
    roster::EnteredHolidays entered;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        entered = roster::enterStateHolidays(session_.env, choice.state(), choice.firstYear(),
                                             choice.lastYear(), choice.halfDays());
        QApplication::restoreOverrideCursor();
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        session_.prompts().ask(QStringLiteral("Die Feiertage für %1 konnten nicht eingetragen "
                                              "werden; es wurde nichts geändert.\n")
                                       .arg(land) +
                                   data::errorDescription(e),
                               platform::Buttons::Ok, platform::Icon::Exclamation);
        DataGrid1->refill();
        binding_.load();
        return;
    }
    QString text =
        QStringLiteral("Für %1 wurden %2 Feiertage eingetragen.").arg(land).arg(entered.added);
    if (entered.kept > 0)
        text += QStringLiteral("\n%1 Tage hatten schon einen Feiertag; sie bleiben, wie sie sind.")
                    .arg(entered.kept);
    session_.prompts().ask(text, platform::Buttons::Ok, platform::Icon::Information);
    try {
        moveToYear(choice.firstYear());
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmdBundesland_Click"));
    }
    DataGrid1->refill();
    binding_.load();
}

bool frmFeiertage::unload() {
    try {
        binding_.save();
        return true;
    } catch (const std::exception&) {
        const platform::Answer answer = session_.prompts().ask(
            SaveFailed + QStringLiteral("\nWollen Sie die Eingabemaske trotzdem schließen?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) return false;
        rs_.cancelUpdate();
        return true;
    }
}
