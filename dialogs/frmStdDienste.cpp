#include "dialogs/frmStdDienste.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/DutyFields.h"
#include "dialogs/RecordList.h"
#include "dialogs/StdDienstePrint.h"
#include "engine/DateValue.h"
#include "engine/TextCompare.h"
#include "platform/Colors.h"
#include "platform/Formats.h"
#include "platform/Printers.h"
#include "roster/Konstanten.h"
#include "roster/MonthState.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString HelpText =
    QStringLiteral("Im Turnova können Sie die Standarddienste über die festgelegte Taste "
                   "eingeben.") +
    QStringLiteral("\n\n") +
    QStringLiteral("Wählen Sie den Tag und den Mitarbeiter aus und drücken Sie die Taste des "
                   "Standarddienstes.");

QString listTime(const QVariant& value) {
    if (value.isNull()) return QString();
    return platform::timeText(engine::toDateTime(value).time());
}

void setBackground(QLineEdit* edit, const QColor& colour) {
    QPalette p = edit->palette();
    p.setColor(QPalette::Base, colour);
    edit->setPalette(p);
}

} // namespace

frmStdDienste::frmStdDienste(data::Session& session, QWidget* parent)
    : FormDialog(parent), session_(session), rs_(session.env.rsStandarddienste),
      binding_(session.env.rsStandarddienste, session.prompts(), this) {
    setObjectName(QStringLiteral("frmStdDienste"));
    setWindowTitle(QStringLiteral("Standarddienste"));
    setModal(true);
    buildControls();
    dialogs::installEnterAsTab(this);
    Form_Load();
}

void frmStdDienste::buildControls() {
    const auto timeColumn = [](const char* field, const char* header) {
        return dialogs::RecordList::Column{QLatin1String(field), QLatin1String(header), listTime};
    };
    DataGrid1 =
        new dialogs::RecordList(rs_,
                                {{QStringLiteral("Taste"), QStringLiteral("Taste"), {}},
                                 timeColumn("Anfang", "Anfang"),
                                 timeColumn("Ende", "Ende"),
                                 {QStringLiteral("Kurzinfo"), QStringLiteral("Kurzinfo"), {}}},
                                session_.prompts(), this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setToolTip(QStringLiteral("Berabeiten Sie die Dienste in der Eigabemaske."));
    DataGrid1->verticalHeader()->hide();
    DataGrid1->setTabKeyNavigation(false);
    DataGrid1->setMinimumWidth(300);

    txtTaste = lineEdit("txtTaste");
    txtTaste->setMaxLength(1);
    txtTaste->installEventFilter(this);
    MaskAnfang = lineEdit("MaskAnfang", QStringLiteral("Dienstanfang"));
    MaskEdBox1 = lineEdit("MaskEdBox1", QStringLiteral("Dienstende"));
    txtPause = lineEdit("txtPause", QStringLiteral("Pause (Dezimal)"));
    Txtkurzinfo = lineEdit("Txtkurzinfo");
    Txtkurzinfo->setMaxLength(15);
    txtNBStunden = lineEdit("txtNBStunden", QStringLiteral("Die Pauschalstunden werden der "
                                                           "Arbeitszeit hinzugerechnet."));
    chkNormdienst =
        new QCheckBox(QStringLiteral("Arbeitszeit des Ma. als Pauschalstunden eintragen"), this);
    chkNormdienst->setObjectName(QStringLiteral("chkNormdienst"));
    Text2 = lineEdit("Text2");
    Text3 = lineEdit("Text3");
    txtBemerkung = lineEdit("txtBemerkung");
    txtBemerkung->setMaxLength(50);
    Text1 = lineEdit("Text1");
    dialogs::setUpDutySample(Text1);
    Command3 = button("Command3", QStringLiteral("Farbe ändern"));
    cmdaddnew = button("cmdaddnew", QStringLiteral("Neuer "));
    cmddel = button("cmddel", QStringLiteral("Löschen"));
    cmdPrint = button("cmdPrint", QStringLiteral("Drucken"));
    cmdclose = button("cmdclose", QStringLiteral("Speichern und Schließen"));
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);

    auto* fields = new QGridLayout;
    int row = 0;
    const auto addRow = [this, fields, &row](const QString& label, QWidget* w) {
        auto* l = new QLabel(label, this);
        l->setBuddy(w);
        fields->addWidget(l, row, 0);
        fields->addWidget(w, row++, 1);
    };
    addRow(QStringLiteral("Taste:"), txtTaste);
    addRow(QStringLiteral("Anfang:"), MaskAnfang);
    addRow(QStringLiteral("Ende:"), MaskEdBox1);
    addRow(QStringLiteral("Pause:"), txtPause);
    addRow(QStringLiteral("Kurzinfo:"), Txtkurzinfo);
    addRow(QStringLiteral("Pauschalstunden:"), txtNBStunden);
    fields->addWidget(chkNormdienst, row++, 0, 1, 2);
    addRow(QStringLiteral("Zusatz 1:"), Text2);
    addRow(QStringLiteral("Zusatz 2:"), Text3);
    addRow(QStringLiteral("Bemerkung:"), txtBemerkung);
    addRow(QStringLiteral("Beispiel Anzeige:"), Text1);
    fields->addWidget(Command3, row++, 1);
    fields->setRowStretch(row, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(DataGrid1, 1);
    left->addWidget(Label1);
    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(fields);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdaddnew);
    buttons->addWidget(cmddel);
    buttons->addWidget(cmdPrint);
    buttons->addStretch(1);
    buttons->addWidget(cmdclose);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(buttons);
    resize(760, 460);

    using Kind = dialogs::RecordBinding::Kind;
    binding_.bind(txtTaste, QStringLiteral("Taste"), Kind::Text);
    binding_.bind(MaskAnfang, QStringLiteral("Anfang"), Kind::Time);
    binding_.bind(MaskEdBox1, QStringLiteral("Ende"), Kind::Time);
    binding_.bind(txtPause, QStringLiteral("Pause"), Kind::Number);
    binding_.bind(Txtkurzinfo, QStringLiteral("Kurzinfo"), Kind::Text);
    binding_.bind(txtNBStunden, QStringLiteral("Pauschalstunden"), Kind::Number);
    binding_.bind(chkNormdienst, QStringLiteral("Normdienst"));
    binding_.bind(Text2, QStringLiteral("S1"), Kind::Number);
    binding_.bind(Text3, QStringLiteral("S2"), Kind::Number);
    binding_.bind(txtBemerkung, QStringLiteral("Bemerkung"), Kind::Text);
    binding_.setCheck(Txtkurzinfo, [this](QLineEdit*) { return Txtkurzinfo_Validate(); });

    connect(DataGrid1, &dialogs::RecordList::chosen, this, &frmStdDienste::DataGrid1_RowColChange);
    connect(chkNormdienst, &QCheckBox::clicked, this, &frmStdDienste::chkNormdienst_Click);
    for (QLineEdit* e : {MaskAnfang, MaskEdBox1, Txtkurzinfo, txtNBStunden})
        connect(e, &QLineEdit::editingFinished, this, &frmStdDienste::showSample);
    connect(Command3, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { Command3_Click(); }));
    connect(cmdaddnew, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdaddnew_Click(); }));
    connect(cmddel, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmddel_Click(); }));
    connect(cmdPrint, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdPrint_Click(); }));
    connect(cmdclose, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdclose_Click(); }));
}

void frmStdDienste::Form_Load() {
    Label1->setText(HelpText);
    try {
        // a search of the key handler may have left the recordset past its last row
        if (rs_.isOpen() && !rs_.isEditing() && rs_.eof()) rs_.moveFirst();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Form_Load"));
    }
    DataGrid1->refill();
    showRecord();
}

bool frmStdDienste::hasRecord() const {
    return binding_.hasRecord();
}

void frmStdDienste::showSample() {
    dialogs::showDutySample(Text1, dialogs::dutyColour(rs_), binding_, Txtkurzinfo->text(),
                            txtNBStunden, QStringLiteral("Pauschalstunden"));
}

void frmStdDienste::showRecord() {
    binding_.load();
    showSample();
    chknorm();
}

void frmStdDienste::DataGrid1_RowColChange(engine::Bookmark chosen) {
    try {
        // moving to another record writes the edits of this one
        binding_.save();
        rs_.setBookmark(chosen);
        if (rs_.eof()) rs_.moveFirst();
        if (hasRecord() && rs_.value(QStringLiteral("Farbe")).isNull())
            rs_.setValue(QStringLiteral("Farbe"), roster::White);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("DataGrid1_RowColChange"));
    }
    DataGrid1->refill();
    showRecord();
}

void frmStdDienste::chknorm() {
    const QVariant norm = hasRecord() ? rs_.value(QStringLiteral("Normdienst")) : QVariant();
    offerFlatHours(roster::nullToDouble(norm) == 0);
}

void frmStdDienste::chkNormdienst_Click() {
    offerFlatHours(!chkNormdienst->isChecked());
}

void frmStdDienste::offerFlatHours(bool offered) {
    txtNBStunden->setEnabled(offered);
    setBackground(txtNBStunden, palette().color(offered ? QPalette::Base : QPalette::Button));
}

bool frmStdDienste::txtTaste_KeyPress(const QString& typed) {
    const auto taken = [this, &typed](const QVariant& ownId) {
        const std::unique_ptr<engine::Recordset> all = rs_.clone();
        for (; !all->eof(); all->moveNext()) {
            if (!engine::sameText(all->value(QStringLiteral("Taste")).toString(), typed)) continue;
            if (ownId.isNull() || all->value(QStringLiteral("id")) != ownId) return true;
        }
        return false;
    };
    try {
        if (rs_.eof() && rs_.recordCount() == 0) {
            session_.prompts().ask(
                QStringLiteral("Erstellen Sie erst einen neuen Standarddienst. Drücken Sie auf "
                               "'Neuer Zeitdienst' und geben Sie dann hier die Werte ein."));
            return false;
        }
        const QVariant oldKey = rs_.value(QStringLiteral("Taste"));
        if (!oldKey.isNull()) {
            const bool refused = taken(rs_.value(QStringLiteral("id")));
            if (refused) session_.prompts().ask(QStringLiteral("Diese Taste ist bereits vergeben"));
            // the record is saved with the key it has so far
            txtTaste->setText(oldKey.toString());
            binding_.save();
            DataGrid1->refill();
            return !refused;
        }
        if (taken(QVariant())) {
            session_.prompts().ask(QStringLiteral("Diese Taste ist bereits vergeben"));
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("txtTaste_KeyPress"));
        return false;
    }
}

bool frmStdDienste::Txtkurzinfo_Validate() {
    return dialogs::shortInfoTooLong(session_.prompts(), Txtkurzinfo->text(), 12);
}

void frmStdDienste::Command3_Click() {
    if (!hasRecord()) return;
    const quint32 initial = dialogs::dutyColour(rs_);
    const std::optional<QColor> chosen = session_.prompts().chooseColor(platform::fromBgr(initial));
    try {
        rs_.setValue(QStringLiteral("Farbe"), chosen ? platform::toBgr(*chosen) : initial);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("Command3_Click"));
    }
    showSample();
}

void frmStdDienste::cmdaddnew_Click() {
    try {
        binding_.save();
        rs_.addNew();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmdAddnew_Click"));
        return;
    }
    DataGrid1->refill();
    showRecord();
    txtTaste->setFocus();
}

void frmStdDienste::cmddel_Click() {
    if (!hasRecord()) return;
    const QString info = Txtkurzinfo->text().trimmed();
    const platform::Answer answer = session_.prompts().ask(
        dialogs::deleteQuestion(
            QStringLiteral("Standarddienst"),
            txtTaste->text() +
                (info.isEmpty() ? QString() : QStringLiteral(" (") + info + QLatin1Char(')'))),
        platform::Buttons::YesNo, platform::Icon::Exclamation, QStringLiteral("Löschen"), 1);
    if (answer != platform::Answer::Yes) return;
    try {
        const bool adding = rs_.isEditing() && rs_.status() == engine::RecordStatus::New;
        rs_.deleteCurrent();
        if (!adding && !rs_.eof()) rs_.moveNext();
        if (rs_.eof()) rs_.moveLast();
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmddel_Click"));
    }
    DataGrid1->refill();
    showRecord();
}

void frmStdDienste::cmdPrint_Click() {
    try {
        const QStringList lines = dialogs::standardDutyListLines(rs_);
        const std::unique_ptr<QPrinter> printer =
            platform::startPrintJob(session_.prompts(), QStringLiteral("Standarddienste"),
                                    session_.services.folders.documentsFolder);
        if (printer) dialogs::paintStandardDutyList(*printer, lines);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("cmdPrint_Click"));
    }
}

void frmStdDienste::cmdclose_Click() {
    try {
        binding_.save();
        if (hasRecord()) dialogs::moveEndPastMidnight(rs_);
    } catch (const std::exception& e) {
        if (!dialogs::closeDespiteSaveError(session_.prompts(), e)) return;
        rs_.cancelUpdate();
        discarded_ = true;
    }
    accept();
}

bool frmStdDienste::unload() {
    if (discarded_ || !hasRecord()) return true;
    try {
        binding_.save();
        return true;
    } catch (const std::exception&) {
        const platform::Answer answer = session_.prompts().ask(
            QStringLiteral("Beim Speichern des Standarddienstes ist ein Fehler aufgetreten.\n"
                           "Wollen Sie die Eingabemaske trotzdem schließen?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) return false;
        rs_.cancelUpdate();
        return true;
    }
}

bool frmStdDienste::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtTaste && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString typed = key->text();
        if (typed.size() != 1 || !typed.at(0).isPrint() ||
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return false;
        if (txtTaste_KeyPress(typed)) txtTaste->setText(typed);
        return true;
    }
    return FormDialog::eventFilter(watched, event);
}
