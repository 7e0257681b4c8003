#include "dialogs/frmMa.h"

#include "dialogs/DialogKeys.h"
#include "dialogs/FieldChecks.h"
#include "dialogs/RecordList.h"
#include "engine/DateValue.h"
#include "platform/Formats.h"
#include "roster/Groups.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedLayout>
#include <QTabBar>
#include <QVBoxLayout>

namespace {

const QString Title = QStringLiteral("Mitarbeiterdaten");

// Amounts of money: "#.##0,00" and the euro sign, in the locale's separators.
QString euroText(const QVariant& value) {
    return platform::locale().toString(value.toDouble(), 'f', 2) + QStringLiteral(" €");
}

QVariant euroValue(const QString& text) {
    const QLocale loc = platform::locale();
    QString t = text;
    t.remove(QStringLiteral("€"));
    t = t.trimmed();
    if (t.contains(loc.decimalPoint())) t.remove(loc.groupSeparator());
    bool ok = false;
    const double v = platform::parseNumber(t, &ok);
    return ok ? QVariant(v) : QVariant(text);
}

QString generalText(const QVariant& value) {
    return platform::generalNumber(value.toDouble());
}

QVariant numberValue(const QString& text) {
    bool ok = false;
    const double v = platform::parseNumber(text, &ok);
    return ok ? QVariant(v) : QVariant(text);
}

// The date of birth: "dd.MM.yy"; typing a four-digit year is accepted.
QString birthdayText(const QVariant& value) {
    return engine::toDate(value).toString(QStringLiteral("dd.MM.yy"));
}

QVariant birthdayValue(const QString& text) {
    static const QRegularExpression re(
        QStringLiteral("^(\\d{1,2})\\.(\\d{1,2})\\.(\\d{2}|\\d{4})$"));
    const QRegularExpressionMatch m = re.match(text.trimmed());
    if (m.hasMatch()) {
        int year = m.captured(3).toInt();
        if (m.captured(3).size() == 2) year += year < 30 ? 2000 : 1900;
        const QDate d(year, m.captured(2).toInt(), m.captured(1).toInt());
        if (d.isValid()) return engine::dateVariant(d);
    }
    return text;
}

} // namespace

frmMa::frmMa(data::Session& session, const QDate& shownFirstDay, QWidget* parent)
    : FormDialog(parent), session_(session), rs_(session.env.rsMitarbeiter),
      shownFirstDay_(shownFirstDay), binding_(session.env.rsMitarbeiter, session.prompts(), this) {
    setObjectName(QStringLiteral("frmMa"));
    setWindowTitle(Title);
    session_.targetsFrom = QDate(shownFirstDay.year(), shownFirstDay.month(), 1);
    setModal(true);
    buildControls();
    bindFields();
    dialogs::installEnterAsTab(this);
    DataGrid1->refill();
    binding_.load();
    TabStrip1_Click(0);
}

frmMa::~frmMa() {
    session_.targetsFrom = QDate();
}

void frmMa::buildControls() {
    DataGrid1 = new dialogs::RecordList(
        rs_, {{QStringLiteral("PlanName"), QStringLiteral("Mitarbeiter"), {}}}, session_.prompts(),
        this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setMinimumWidth(170);
    // hidden employees stand before the others, at position 0 or below
    DataGrid1->setRowNote([](const engine::Recordset& row) {
        const QVariant position = row.value(QStringLiteral("DienstPos"));
        return !position.isNull() && position.toInt() < 1 ? QStringLiteral("ausgeblendet")
                                                          : QString();
    });

    TabStrip1 = new QTabBar(this);
    TabStrip1->setObjectName(QStringLiteral("TabStrip1"));
    TabStrip1->addTab(QStringLiteral("Personaldaten"));
    TabStrip1->addTab(QStringLiteral("Adressdaten"));
    TabStrip1->addTab(QStringLiteral("Verwaltung"));
    TabStrip1->setExpanding(false);

    pages_ = new QStackedLayout;
    QStackedLayout* pages = pages_;
    QList<QGridLayout*> grids;
    for (int i = 0; i < 3; ++i) {
        auto* frame = new QFrame(this);
        frame->setObjectName(QStringLiteral("Frame1_%1").arg(i));
        frame->setFrameShape(QFrame::StyledPanel);
        auto* grid = new QGridLayout(frame);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(2, 1);
        Frame1 << frame;
        grids << grid;
        pages->addWidget(frame);
    }
    // one row of a page: label, field, an explanation beside it
    const auto field = [this, &grids](int page, const char* name, const char* label,
                                      const QString& tip = {}, const QString& note = {}) {
        QGridLayout* grid = grids.at(page);
        const int row = grid->rowCount();
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setToolTip(tip);
        auto* caption = new QLabel(QString::fromUtf8(label), this);
        caption->setObjectName(QStringLiteral("lbl") + QLatin1String(name));
        caption->setBuddy(edit);
        grid->addWidget(caption, row, 0);
        grid->addWidget(edit, row, 1);
        if (!note.isEmpty()) {
            auto* explanation = new QLabel(note, this);
            explanation->setObjectName(QStringLiteral("note") + QLatin1String(name));
            explanation->setWordWrap(true);
            grid->addWidget(explanation, row, 2);
        }
        return edit;
    };
    txtAnrede = field(0, "txtAnrede", "Anrede:");
    txtVorname = field(0, "txtVorname", "Vorname:");
    txtNachname = field(0, "txtNachname", "Nachname:");
    txtPlanName =
        field(0, "txtPlanName", "Plan Name:", QStringLiteral("Im Turnova angezeigter Name"));
    txtnormstunden =
        field(0, "txtnormstunden", "Tagesarbeitszeit:", QStringLiteral("Sollstunden pro Tag"),
              QStringLiteral("* Arbeitstage = Sollstunden"));
    txtStdBestand = field(0, "txtStdBestand",
                          "Stundenbestand:", QStringLiteral("Stundenbestand am ersten Arbeitstag"));
    MaskEdBox1 = field(0, "MaskEdBox1", "erster Arbeitstag:");
    const QString from = QLocale(QLocale::German, QLocale::Germany)
                             .toString(shownFirstDay_, QStringLiteral("MMMM yyyy"));
    Text1 = field(0, "Text1", "Sollstd. pauschal:",
                  QStringLiteral("Eine Änderung gilt ab %1; frühere Monate behalten ihre "
                                 "Sollstunden.")
                      .arg(from),
                  QStringLiteral("Tragen Sie die Sollstunden pauschl ein um die automatische "
                                 "Berechnung der Sollstunden zu deaktivieren.\n"
                                 "Eine Änderung gilt ab %1; frühere Monate behalten ihre "
                                 "Sollstunden.")
                      .arg(from));
    for (const auto& [name, label] : std::initializer_list<std::pair<const char*, const char*>>{
             {"txtAdresse", "Adresse:"},
             {"txtPLZ", "PLZ:"},
             {"txtOrt", "Ort:"},
             {"txtGeburtstag", "Geburtstag:"},
             {"txtAnmerkung", "Anmerkung:"},
             {"txtBeruf", "Beruf:"},
             {"txtTelefon", "Telefon:"},
             {"txtHandy", "Handy:"},
             {"txtTelefonAlternativ", "TelefonAlternativ:"},
             {"txtEMail", "EMail:"}})
        field(1, name, label);
    for (const auto& [name, label] : std::initializer_list<std::pair<const char*, const char*>>{
             {"txtStundenlohn", "Stundenlohn:"},
             {"txtLohn", "Lohn:"},
             {"txtUrlaubsanspruch", "Urlaubsanspruch:"},
             {"txtSteuerklasse", "Steuerklasse:"},
             {"txtKinder", "Kinder:"},
             {"txtKonfession", "Konfession:"},
             {"txtKrankenkasse", "Krankenkasse:"},
             {"txtBank", "Bank:"},
             {"txtKontoNr", "KontoNr:"},
             {"txtBLZ", "BLZ:"},
             {"txtVersicherungsnummer", "Versicherungs Nr:"}})
        field(2, name, label);
    for (QGridLayout* grid : std::as_const(grids))
        grid->setRowStretch(grid->rowCount(), 1);

    cmdAddnew = button("cmdAddnew", QStringLiteral("neuer"));
    cmddel = button("cmddel", QStringLiteral("Löschen"));
    cmdHide = button("cmdHide", QStringLiteral("Mitarbeiter ausblenden"));
    cmdShow = button("cmdShow", QStringLiteral("Mitarbeiter einblenden"));
    cmdClose = button("cmdClose", QStringLiteral("Speichern und Schließen"));

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdAddnew, cmddel, cmdHide, cmdShow})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose);
    auto* right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(TabStrip1);
    right->addLayout(pages, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(DataGrid1);
    top->addLayout(right, 1);
    auto* main = new QVBoxLayout(this);
    main->addLayout(top, 1);
    main->addLayout(buttons);
    resize(760, 460);

    // The buttons act only when the field just left accepted its entry.
    connect(cmdAddnew, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdAddnew_Click(); }));
    connect(cmddel, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmddel_Click(); }));
    connect(cmdHide, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdHide_Click(); }));
    connect(cmdShow, &QPushButton::clicked, this,
            binding_.unlessRefused([this] { cmdShow_Click(); }));
    connect(cmdClose, &QPushButton::clicked, this, binding_.unlessRefused([this] { close(); }));
    connect(TabStrip1, &QTabBar::tabBarClicked, this, &frmMa::TabStrip1_Click);
    connect(TabStrip1, &QTabBar::currentChanged, this, &frmMa::TabStrip1_Click);
    connect(DataGrid1, &dialogs::RecordList::chosen, this, &frmMa::DataGrid1_Choose);
    connect(txtAnrede, &QLineEdit::textEdited, this, [this] { txtAnrede_Change(); });
}

void frmMa::bindFields() {
    using Kind = dialogs::RecordBinding::Kind;
    const auto edit = [this](const char* name) {
        return findChild<QLineEdit*>(QLatin1String(name));
    };
    for (const auto& [name, column] : std::initializer_list<std::pair<const char*, const char*>>{
             {"txtAnrede", "Anrede"},
             {"txtVorname", "Vorname"},
             {"txtNachname", "Nachname"},
             {"txtPlanName", "PlanName"},
             {"txtAdresse", "Adresse"},
             {"txtPLZ", "PLZ"},
             {"txtOrt", "Ort"},
             {"txtAnmerkung", "Anmerkung"},
             {"txtBeruf", "Beruf"},
             {"txtTelefon", "Telefon"},
             {"txtHandy", "Handy"},
             {"txtTelefonAlternativ", "TelefonAlternativ"},
             {"txtEMail", "EMail"},
             {"txtSteuerklasse", "Steuerklasse"},
             {"txtKinder", "Kinder"},
             {"txtKonfession", "Konfession"},
             {"txtKrankenkasse", "Krankenkasse"},
             {"txtBank", "Bank"},
             {"txtKontoNr", "KontoNr"},
             {"txtBLZ", "BLZ"},
             {"txtVersicherungsnummer", "Versicherungsnummer"}})
        binding_.bind(edit(name), QLatin1String(column), Kind::Text);
    binding_.bind(txtnormstunden, QStringLiteral("normstunden"), Kind::Number);
    binding_.bind(txtStdBestand, QStringLiteral("StdBestand"), Kind::Number);
    binding_.bind(Text1, QStringLiteral("Sollstd"), Kind::Number);
    binding_.bind(MaskEdBox1, QStringLiteral("ersterArbeitstag"), Kind::Date);
    binding_.bindFormatted(edit("txtGeburtstag"), QStringLiteral("Geburtstag"), birthdayText,
                           birthdayValue);
    binding_.bindFormatted(edit("txtStundenlohn"), QStringLiteral("Stundenlohn"), euroText,
                           euroValue);
    binding_.bindFormatted(edit("txtLohn"), QStringLiteral("Lohn"), euroText, euroValue);
    binding_.bindFormatted(edit("txtUrlaubsanspruch"), QStringLiteral("Urlaubsanspruch"),
                           generalText, numberValue);
    binding_.setCheck(
        Text1, [this](QLineEdit* e) { return dialogs::CheckTargetField(e, session_.prompts()); });
    binding_.setCheck(txtNachname, [this](QLineEdit* e) { return txtNachname_Validate(e); });
    binding_.setCheck(txtPlanName, [this](QLineEdit* e) { return txtPlanName_Validate(e); });
}

void frmMa::report(const std::exception& error, const QString& procedure) {
    data::report(session_, error, procedure);
}

void frmMa::TabStrip1_Click(int index) {
    if (index < 0 || index >= Frame1.size()) return;
    if (TabStrip1->currentIndex() != index) TabStrip1->setCurrentIndex(index);
    // the frame of the tab is shown, the other two are hidden
    pages_->setCurrentIndex(index);
}

void frmMa::focusFirstField() {
    // the first field lies on the first page, which may not be the one shown
    TabStrip1_Click(0);
    txtAnrede->setFocus();
}

void frmMa::showCurrent() {
    binding_.load();
    DataGrid1->markCurrent();
}

void frmMa::saveCurrent() {
    // a new employee left without any name was never begun: dropped, not refused
    if (rs_.status() == engine::RecordStatus::New && txtNachname->text().trimmed().isEmpty() &&
        txtPlanName->text().trimmed().isEmpty()) {
        rs_.cancelUpdate();
        return;
    }
    if (binding_.save()) DataGrid1->refill();
}

void frmMa::appendEmployee() {
    const int position = roster::nextEmployeePosition(session_.env);
    rs_.addNew();
    rs_.setValue(QStringLiteral("DienstPos"), position);
    rs_.setValue(QStringLiteral("ersterArbeitstag"), engine::dateVariant(shownFirstDay_));
}

void frmMa::cmdAddnew_Click() {
    try {
        saveCurrent();
        appendEmployee();
        showCurrent();
        focusFirstField();
    } catch (const std::exception& e) {
        report(e, QStringLiteral("cmdAddnew_Click"));
    }
}

void frmMa::txtAnrede_Change() {
    // typing into an empty window (no employee at all) begins a new one
    if (rs_.isEditing() || !rs_.eof()) return;
    const QString typed = txtAnrede->text();
    const int cursor = txtAnrede->cursorPosition();
    try {
        appendEmployee();
        showCurrent();
        txtAnrede->setText(typed);
        txtAnrede->setCursorPosition(cursor);
    } catch (const std::exception& e) {
        report(e, QStringLiteral("txtAnrede_Change"));
    }
}

bool frmMa::txtNachname_Validate(QLineEdit* edit) {
    if (edit->text().isEmpty()) {
        session_.prompts().ask(QStringLiteral("Geben Sie den Nachnamen ein."));
        return true;
    }
    if (txtPlanName->text().isEmpty()) txtPlanName->setText(edit->text());
    return false;
}

bool frmMa::txtPlanName_Validate(QLineEdit* edit) {
    if (edit->text().isEmpty()) {
        session_.prompts().ask(QStringLiteral("Geben Sie einen Namen ein."));
        return true;
    }
    return false;
}

void frmMa::DataGrid1_Choose(engine::Bookmark bookmark) {
    if (binding_.hasRefusedField()) {
        DataGrid1->markCurrent();
        return;
    }
    try {
        saveCurrent();
        rs_.setBookmark(bookmark);
    } catch (const std::exception& e) {
        report(e, QStringLiteral("DataGrid1_RowColChange"));
    }
    showCurrent();
}

void frmMa::moveInOrder(bool hide, const QString& procedure) {
    try {
        saveCurrent();
        if (rs_.eof() || rs_.bof()) return;
        const int maNr = rs_.value(QStringLiteral("MaNr")).toInt();
        const engine::Bookmark kept = rs_.bookmark();
        if (!(hide ? roster::hideEmployee(session_.env, maNr)
                   : roster::showEmployee(session_.env, maNr)))
            return;
        rs_.setSort(QStringLiteral("Dienstpos"));
        rs_.setBookmark(kept);
        DataGrid1->refill();
        showCurrent();
        focusFirstField();
    } catch (const std::exception& e) {
        report(e, procedure);
    }
}

void frmMa::cmdHide_Click() {
    moveInOrder(true, QStringLiteral("cmdHide_Click"));
}

void frmMa::cmdShow_Click() {
    moveInOrder(false, QStringLiteral("cmdShow_Click"));
}

void frmMa::cmddel_Click() {
    if (!binding_.hasRecord()) return;
    // the question names the employee the form shows, who is the one deleted
    QString name = txtVorname->text() + QLatin1Char(' ') + txtNachname->text();
    if (name.trimmed().isEmpty()) name = txtPlanName->text();
    if (session_.prompts().ask(dialogs::deleteQuestion(QStringLiteral("Mitarbeiter"), name),
                               platform::Buttons::YesNo, platform::Icon::Exclamation,
                               QStringLiteral("Löschen"), 1) != platform::Answer::Yes)
        return;
    try {
        if (rs_.status() == engine::RecordStatus::New) {
            // an employee not yet saved is only dropped
            rs_.cancelUpdate();
            showCurrent();
            return;
        }
        rs_.cancelUpdate();
        const int maNr = rs_.value(QStringLiteral("MaNr")).toInt();
        std::optional<engine::Bookmark> next;
        rs_.moveNext();
        if (!rs_.eof()) next = rs_.bookmark();
        roster::deleteEmployee(session_.env, maNr);
        rs_.requery();
        rs_.setSort(QStringLiteral("Dienstpos"));
        if (next)
            rs_.setBookmark(*next);
        else if (rs_.recordCount() > 0)
            rs_.moveLast();
        focusFirstField();
    } catch (const std::exception& e) {
        report(e, QStringLiteral("cmddel_Click"));
        try {
            rs_.requery();
        } catch (const std::exception&) {
        }
    }
    DataGrid1->refill();
    binding_.load();
}

bool frmMa::unload() {
    try {
        saveCurrent();
        return true;
    } catch (const std::exception& e) {
        if (data::errorNumber(e) == engine::err::GeneralFailure)
            session_.prompts().ask(data::errorDescription(e));
        const platform::Answer answer = session_.prompts().ask(
            QStringLiteral("Beim Speichern des Mitarbeiters ist ein Fehler aufgetreten.\n"
                           "Wollen Sie die Eingabemaske trotzdem schließen?"),
            platform::Buttons::YesNo);
        if (answer != platform::Answer::Yes) return false;
        rs_.cancelUpdate();
        return true;
    }
}
