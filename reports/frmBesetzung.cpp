#include "reports/frmBesetzung.h"

#include "engine/Sqlite.h"
#include "engine/TextCompare.h"
#include "platform/ScreenFit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int RefRole = Qt::UserRole + 1;
enum Tab { RequirementsTab, MembersTab, QualificationsTab };
enum QualColumn { QualName, QualShort, QualSkilled, QualRemark };

QTableWidget* table(QWidget* parent, const char* name, const QStringList& headers) {
    auto* t = new QTableWidget(0, int(headers.size()), parent);
    t->setObjectName(QLatin1String(name));
    t->setHorizontalHeaderLabels(headers);
    t->setTabKeyNavigation(false); // Tab leaves the table; the arrows move within it
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 8);
    return t;
}

QTableWidgetItem* checkItem(bool checked) {
    auto* item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    return item;
}

bool checked(const QTableWidget* t, int row, int col) {
    const QTableWidgetItem* item = t->item(row, col);
    return item && item->checkState() == Qt::Checked;
}

QString textAt(const QTableWidget* t, int row, int col) {
    const QTableWidgetItem* item = t->item(row, col);
    return item ? item->text().trimmed() : QString();
}

QString numberText(std::optional<double> value) {
    return value ? QLocale().toString(*value) : QString();
}

// A whole number from 0 to 99, or none for an empty text.
std::optional<int> count(const QString& text, bool* ok) {
    *ok = true;
    if (text.isEmpty()) return std::nullopt;
    const int value = text.toInt(ok);
    *ok = *ok && value >= 0 && value <= 99;
    return value;
}

} // namespace

frmBesetzung::frmBesetzung(data::Session& session, int groupNr, QWidget* parent)
    : QDialog(parent), session_(session) {
    setObjectName(QStringLiteral("frmBesetzung"));
    setWindowTitle(QStringLiteral("Besetzung"));
    cboGruppe = new QComboBox(this);
    cboGruppe->setObjectName(QStringLiteral("cboGruppe"));
    auto* lblGruppe = new QLabel(QStringLiteral("&Gruppe:"), this);
    lblGruppe->setBuddy(cboGruppe);
    tabBesetzung = new QTabWidget(this);
    tabBesetzung->setObjectName(QStringLiteral("tabBesetzung"));

    auto* requirements = new QWidget(tabBesetzung);
    grdAnforderungen = table(requirements, "grdAnforderungen",
                             {QStringLiteral("Schicht"), QStringLiteral("Dienst oder Zeit"),
                              QStringLiteral("Mo-Fr"), QStringLiteral("Sa"), QStringLiteral("So"),
                              QStringLiteral("Feiertag"), QStringLiteral("mindestens"),
                              QStringLiteral("höchstens"), QStringLiteral("Qualifikation"),
                              QStringLiteral("davon mind."), QStringLiteral("Anteil %")});
    grdAnforderungen->setToolTip(
        QStringLiteral("Dienst: die Taste eines Standarddienstes (S) oder eine Zeitspanne "
                       "(06:00-14:00); ein Dienst zählt, wenn er die halbe Zeitspanne abdeckt."));
    cmdNeu = new QPushButton(QStringLiteral("&Neue Zeile"), requirements);
    cmdNeu->setObjectName(QStringLiteral("cmdNeu"));
    cmdLoeschen = new QPushButton(QStringLiteral("Zeile &löschen"), requirements);
    cmdLoeschen->setObjectName(QStringLiteral("cmdLoeschen"));
    auto* reqButtons = new QHBoxLayout;
    reqButtons->addWidget(cmdNeu);
    reqButtons->addWidget(cmdLoeschen);
    reqButtons->addStretch();
    auto* reqLayout = new QVBoxLayout(requirements);
    reqLayout->addWidget(grdAnforderungen);
    reqLayout->addLayout(reqButtons);
    tabBesetzung->addTab(requirements, QStringLiteral("&Anforderungen"));

    grdMitarbeiter = table(tabBesetzung, "grdMitarbeiter", {});
    tabBesetzung->addTab(grdMitarbeiter, QStringLiteral("&Mitarbeiter"));

    auto* quals = new QWidget(tabBesetzung);
    grdQualifikationen = table(quals, "grdQualifikationen",
                               {QStringLiteral("Bezeichnung"), QStringLiteral("Kurzzeichen"),
                                QStringLiteral("Fachkraft"), QStringLiteral("Bemerkung")});
    cmdQualNeu = new QPushButton(QStringLiteral("Neue &Qualifikation"), quals);
    cmdQualNeu->setObjectName(QStringLiteral("cmdQualNeu"));
    cmdQualLoeschen = new QPushButton(QStringLiteral("Qualifikation l&öschen"), quals);
    cmdQualLoeschen->setObjectName(QStringLiteral("cmdQualLoeschen"));
    auto* qualButtons = new QHBoxLayout;
    qualButtons->addWidget(cmdQualNeu);
    qualButtons->addWidget(cmdQualLoeschen);
    qualButtons->addStretch();
    auto* qualLayout = new QVBoxLayout(quals);
    qualLayout->addWidget(grdQualifikationen);
    qualLayout->addLayout(qualButtons);
    tabBesetzung->addTab(quals, QStringLiteral("&Qualifikationen"));

    cmdSpeichern = new QPushButton(QStringLiteral("&Speichern"), this);
    cmdSpeichern->setObjectName(QStringLiteral("cmdSpeichern"));
    cmdAbbrechen = new QPushButton(QStringLiteral("Abbrechen"), this);
    cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    for (QPushButton* b : {cmdNeu, cmdLoeschen, cmdQualNeu, cmdQualLoeschen, cmdAbbrechen})
        b->setAutoDefault(false);
    auto* top = new QHBoxLayout;
    top->addWidget(lblGruppe);
    top->addWidget(cboGruppe, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(cmdSpeichern);
    bottom->addWidget(cmdAbbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(tabBesetzung);
    layout->addLayout(bottom);
    platform::fitOnScreen(*this, QSize(960, 560));

    try {
        engine::Statement st(session_.env.Datenbank,
                             QStringLiteral("SELECT GruppenNr, Gruppenname FROM Gruppen ORDER BY "
                                            "Gruppenname"));
        while (st.step())
            cboGruppe->addItem(st.value(1).toString(), int(st.int64(0)));
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmBesetzung"));
    }
    cboGruppe->setCurrentIndex(qMax(0, cboGruppe->findData(groupNr)));
    load(this->groupNr());

    connect(cboGruppe, &QComboBox::activated, this, &frmBesetzung::cboGruppe_Change);
    connect(tabBesetzung, &QTabWidget::currentChanged, this, &frmBesetzung::refreshQualifications);
    connect(cmdNeu, &QPushButton::clicked, this, &frmBesetzung::cmdNeu_Click);
    connect(cmdLoeschen, &QPushButton::clicked, this, &frmBesetzung::cmdLoeschen_Click);
    connect(cmdQualNeu, &QPushButton::clicked, this, &frmBesetzung::cmdQualNeu_Click);
    connect(cmdQualLoeschen, &QPushButton::clicked, this, &frmBesetzung::cmdQualLoeschen_Click);
    connect(cmdSpeichern, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(cmdAbbrechen, &QPushButton::clicked, this, &QDialog::reject);
}

int frmBesetzung::groupNr() const {
    return cboGruppe->currentIndex() >= 0 ? cboGruppe->currentData().toInt() : 0;
}

void frmBesetzung::load(int groupNr) {
    shownGroup_ = groupNr;
    engine::Connection& db = session_.env.Datenbank;
    grdQualifikationen->setRowCount(0);
    grdAnforderungen->setRowCount(0);
    held_.clear();
    try {
        data::ensureStaffingTables(db);
        qualifications_ = data::loadQualifications(db);
        held_ = data::loadEmployeeQualifications(db);
        for (const data::Qualification& q : std::as_const(qualifications_)) {
            const int row = grdQualifikationen->rowCount();
            grdQualifikationen->insertRow(row);
            auto* name = new QTableWidgetItem(q.name);
            name->setData(RefRole, q.qualNr);
            grdQualifikationen->setItem(row, QualName, name);
            grdQualifikationen->setItem(row, QualShort, new QTableWidgetItem(q.shortName));
            grdQualifikationen->setItem(row, QualSkilled, checkItem(q.skilled));
            grdQualifikationen->setItem(row, QualRemark, new QTableWidgetItem(q.remark));
        }
        // the members of the group as rows of the second tab
        grdMitarbeiter->setRowCount(0);
        grdMitarbeiter->setColumnCount(0);
        engine::Statement st(db, QStringLiteral("SELECT m.MaNr, m.PlanName FROM GpZuordnung g "
                                                "JOIN Mitarbeiter m ON m.MaNr = g.MaNr WHERE "
                                                "g.GruppenNr = ?1 AND g.DienstPos > 0 ORDER BY "
                                                "g.DienstPos"));
        st.bind(1, groupNr);
        while (st.step()) {
            const int row = grdMitarbeiter->rowCount();
            grdMitarbeiter->insertRow(row);
            auto* header = new QTableWidgetItem(st.value(1).toString());
            header->setData(RefRole, int(st.int64(0)));
            grdMitarbeiter->setVerticalHeaderItem(row, header);
        }
        for (const data::StaffingRequirement& r : data::loadRequirements(db, groupNr))
            addRequirementRow(r);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmBesetzung"));
    }
    refreshQualifications();
    grdAnforderungen->resizeColumnsToContents();
    grdAnforderungen->horizontalHeader()->setStretchLastSection(true);
    grdQualifikationen->horizontalHeader()->setStretchLastSection(true);
    grdQualifikationen->resizeColumnsToContents();
}

void frmBesetzung::addRequirementRow(const data::StaffingRequirement& r) {
    const int row = grdAnforderungen->rowCount();
    grdAnforderungen->insertRow(row);
    const QString duty = !r.key.isEmpty() ? r.key
                         : r.from.isValid()
                             ? r.from.toString(QStringLiteral("HH:mm")) + QLatin1Char('-') +
                                   r.to.toString(QStringLiteral("HH:mm"))
                             : QString();
    grdAnforderungen->setItem(row, Schicht, new QTableWidgetItem(r.shift));
    grdAnforderungen->setItem(row, Dienst, new QTableWidgetItem(duty));
    grdAnforderungen->setItem(row, MoFr, checkItem(r.days & data::WeekdayBit));
    grdAnforderungen->setItem(row, Sa, checkItem(r.days & data::SaturdayBit));
    grdAnforderungen->setItem(row, So, checkItem(r.days & data::SundayBit));
    grdAnforderungen->setItem(row, Feiertag, checkItem(r.days & data::HolidayBit));
    grdAnforderungen->setItem(row, Mindest, new QTableWidgetItem(QString::number(r.minimum)));
    grdAnforderungen->setItem(
        row, Hoechst, new QTableWidgetItem(r.maximum ? QString::number(*r.maximum) : QString()));
    auto* combo = new QComboBox(grdAnforderungen);
    combo->setObjectName(QStringLiteral("cboQualifikation_%1").arg(row));
    fillQualificationCombo(combo, r.qualNr);
    grdAnforderungen->setCellWidget(row, Qualifikation, combo);
    grdAnforderungen->setItem(
        row, QualMindest,
        new QTableWidgetItem(r.qualMinimum > 0 ? QString::number(r.qualMinimum) : QString()));
    grdAnforderungen->setItem(row, QualAnteil, new QTableWidgetItem(numberText(r.qualShare)));
}

void frmBesetzung::fillQualificationCombo(QComboBox* combo, int qualNr) const {
    combo->clear();
    combo->addItem(QStringLiteral("(keine)"), data::NoQualification);
    combo->addItem(QStringLiteral("Fachkraft (jede)"), data::AnySkilled);
    for (const data::Qualification& q : qualifications_)
        combo->addItem(q.name, q.qualNr);
    combo->setCurrentIndex(qMax(0, combo->findData(qualNr)));
}

void frmBesetzung::refreshQualifications() {
    // the checks of the members' tab as they are now
    for (int row = 0; row < grdMitarbeiter->rowCount(); ++row) {
        const int maNr = grdMitarbeiter->verticalHeaderItem(row)->data(RefRole).toInt();
        for (int col = 0; col < grdMitarbeiter->columnCount(); ++col) {
            const int ref = grdMitarbeiter->horizontalHeaderItem(col)->data(RefRole).toInt();
            if (checked(grdMitarbeiter, row, col))
                held_[maNr].insert(ref);
            else
                held_[maNr].remove(ref);
        }
    }
    qualifications_.clear();
    for (int row = 0; row < grdQualifikationen->rowCount(); ++row)
        qualifications_.append({grdQualifikationen->item(row, QualName)->data(RefRole).toInt(),
                                textAt(grdQualifikationen, row, QualName),
                                textAt(grdQualifikationen, row, QualShort),
                                checked(grdQualifikationen, row, QualSkilled),
                                textAt(grdQualifikationen, row, QualRemark)});
    grdMitarbeiter->setColumnCount(int(qualifications_.size()));
    for (int col = 0; col < qualifications_.size(); ++col) {
        const data::Qualification& q = qualifications_.at(col);
        auto* header = new QTableWidgetItem(q.name);
        header->setData(RefRole, q.qualNr);
        grdMitarbeiter->setHorizontalHeaderItem(col, header);
        for (int row = 0; row < grdMitarbeiter->rowCount(); ++row) {
            const int maNr = grdMitarbeiter->verticalHeaderItem(row)->data(RefRole).toInt();
            grdMitarbeiter->setItem(row, col, checkItem(held_.value(maNr).contains(q.qualNr)));
        }
    }
    grdMitarbeiter->resizeColumnsToContents();
    for (int row = 0; row < grdAnforderungen->rowCount(); ++row) {
        auto* combo = qobject_cast<QComboBox*>(grdAnforderungen->cellWidget(row, Qualifikation));
        if (combo) fillQualificationCombo(combo, combo->currentData().toInt());
    }
}

void frmBesetzung::cboGruppe_Change() {
    if (groupNr() == shownGroup_) return;
    const platform::Answer answer = session_.prompts().ask(
        QStringLiteral("Sollen die Änderungen gespeichert werden, bevor eine andere Gruppe "
                       "gezeigt wird?"),
        platform::Buttons::YesNo, platform::Icon::Question, QStringLiteral("Besetzung"));
    if (answer == platform::Answer::Yes) {
        const int wanted = groupNr();
        cboGruppe->setCurrentIndex(cboGruppe->findData(shownGroup_));
        if (!save()) return;
        cboGruppe->setCurrentIndex(cboGruppe->findData(wanted));
    }
    load(groupNr());
}

void frmBesetzung::cmdNeu_Click() {
    data::StaffingRequirement r;
    r.minimum = 1;
    addRequirementRow(r);
    grdAnforderungen->setCurrentCell(grdAnforderungen->rowCount() - 1, Schicht);
    grdAnforderungen->setFocus();
    grdAnforderungen->editItem(grdAnforderungen->currentItem());
}

void frmBesetzung::cmdLoeschen_Click() {
    const int row = grdAnforderungen->currentRow();
    if (row >= 0) grdAnforderungen->removeRow(row);
    grdAnforderungen->setFocus();
}

void frmBesetzung::cmdQualNeu_Click() {
    const int row = grdQualifikationen->rowCount();
    grdQualifikationen->insertRow(row);
    auto* name = new QTableWidgetItem;
    name->setData(RefRole, --nextNewRef_ - 100000);
    grdQualifikationen->setItem(row, QualName, name);
    grdQualifikationen->setItem(row, QualShort, new QTableWidgetItem);
    grdQualifikationen->setItem(row, QualSkilled, checkItem(false));
    grdQualifikationen->setItem(row, QualRemark, new QTableWidgetItem);
    grdQualifikationen->setCurrentCell(row, QualName);
    grdQualifikationen->setFocus();
    grdQualifikationen->editItem(name);
}

void frmBesetzung::cmdQualLoeschen_Click() {
    const int row = grdQualifikationen->currentRow();
    if (row < 0) return;
    const QString name = textAt(grdQualifikationen, row, QualName);
    if (grdQualifikationen->item(row, QualName)->data(RefRole).toInt() > 0 &&
        session_.prompts().ask(QStringLiteral("Soll die Qualifikation %1 gelöscht werden? Sie "
                                              "wird allen Mitarbeitern und Anforderungen "
                                              "genommen.")
                                   .arg(name),
                               platform::Buttons::YesNo, platform::Icon::Question,
                               QStringLiteral("Besetzung"), 1) != platform::Answer::Yes)
        return;
    grdQualifikationen->removeRow(row);
    grdQualifikationen->setFocus();
}

bool frmBesetzung::fail(int tab, QTableWidget* t, int row, int col, const QString& text) {
    session_.prompts().ask(text, platform::Buttons::Ok, platform::Icon::Exclamation,
                           QStringLiteral("Besetzung"));
    tabBesetzung->setCurrentIndex(tab);
    t->setCurrentCell(row, col);
    t->setFocus();
    return false;
}

bool frmBesetzung::save() {
    refreshQualifications();
    // the list: a name each, none twice
    QList<data::Qualification> list = qualifications_;
    QHash<int, int> refOf; // reference in the window -> reference saveStaffing takes
    for (int i = 0; i < list.size(); ++i) {
        data::Qualification& q = list[i];
        if (q.name.isEmpty())
            return fail(QualificationsTab, grdQualifikationen, i, QualName,
                        QStringLiteral("Die Qualifikation in Zeile %1 braucht eine "
                                       "Bezeichnung.")
                            .arg(i + 1));
        for (int j = 0; j < i; ++j)
            if (engine::sameText(list.at(j).name, q.name))
                return fail(
                    QualificationsTab, grdQualifikationen, i, QualName,
                    QStringLiteral("Die Qualifikation %1 steht zweimal in der Liste.").arg(q.name));
        if (q.name.size() > 50 || q.shortName.size() > 10 || q.remark.size() > 50)
            return fail(QualificationsTab, grdQualifikationen, i, QualName,
                        QStringLiteral("Zeile %1: Die Bezeichnung darf höchstens 50, das "
                                       "Kurzzeichen höchstens 10 Zeichen lang sein.")
                            .arg(i + 1));
        const int ref = q.qualNr;
        if (ref <= 0) q.qualNr = 0;
        refOf.insert(ref, ref > 0 ? ref : data::newQualificationRef(i));
    }
    // the requirements
    QList<data::StaffingRequirement> requirements;
    static const QRegularExpression window(
        QStringLiteral("^(\\d{1,2}):(\\d{2})\\s*-\\s*(\\d{1,2}):(\\d{2})$"));
    for (int row = 0; row < grdAnforderungen->rowCount(); ++row) {
        const auto bad = [&](int col, const QString& text) {
            return fail(RequirementsTab, grdAnforderungen, row, col,
                        QStringLiteral("Zeile %1: ").arg(row + 1) + text);
        };
        data::StaffingRequirement r;
        r.shift = textAt(grdAnforderungen, row, Schicht);
        if (r.shift.isEmpty())
            return bad(Schicht, QStringLiteral("Die Schicht braucht einen Namen."));
        if (r.shift.size() > 30)
            return bad(Schicht, QStringLiteral("Der Name der Schicht darf höchstens 30 Zeichen "
                                               "lang sein."));
        const QString duty = textAt(grdAnforderungen, row, Dienst);
        const QRegularExpressionMatch m = window.match(duty);
        if (m.hasMatch()) {
            r.from = QTime(m.captured(1).toInt(), m.captured(2).toInt());
            r.to = QTime(m.captured(3).toInt(), m.captured(4).toInt());
        } else if (duty.size() == 1) {
            engine::Statement st(session_.env.Datenbank,
                                 QStringLiteral("SELECT 1 FROM Standarddienste WHERE Taste = ?1 "
                                                "COLLATE NOCASE"));
            st.bind(1, duty);
            if (st.step()) r.key = duty.toUpper();
        }
        if (r.key.isEmpty() && (!r.from.isValid() || !r.to.isValid() || r.from == r.to))
            return bad(Dienst, QStringLiteral("Der Dienst muss die Taste eines Standarddienstes "
                                              "(zum Beispiel S) oder eine Zeitspanne wie "
                                              "06:00-14:00 sein."));
        r.days = (checked(grdAnforderungen, row, MoFr) ? data::WeekdayBit : 0) |
                 (checked(grdAnforderungen, row, Sa) ? data::SaturdayBit : 0) |
                 (checked(grdAnforderungen, row, So) ? data::SundayBit : 0) |
                 (checked(grdAnforderungen, row, Feiertag) ? data::HolidayBit : 0);
        if (r.days == 0) return bad(MoFr, QStringLiteral("Es ist keine Art von Tagen gewählt."));
        bool ok = true;
        r.minimum = count(textAt(grdAnforderungen, row, Mindest), &ok).value_or(0);
        if (!ok)
            return bad(Mindest, QStringLiteral("Die Mindestzahl muss zwischen 0 und 99 "
                                               "liegen."));
        r.maximum = count(textAt(grdAnforderungen, row, Hoechst), &ok);
        if (!ok)
            return bad(Hoechst, QStringLiteral("Die Höchstzahl muss zwischen 0 und 99 "
                                               "liegen oder leer sein."));
        if (r.maximum && *r.maximum < r.minimum)
            return bad(Hoechst, QStringLiteral("Die Höchstzahl ist kleiner als die Mindestzahl."));
        const auto* combo =
            qobject_cast<QComboBox*>(grdAnforderungen->cellWidget(row, Qualifikation));
        const int qualRef = combo ? combo->currentData().toInt() : data::NoQualification;
        r.qualNr =
            qualRef > 0 || qualRef < data::NoQualification ? refOf.value(qualRef, -1) : qualRef;
        r.qualMinimum = count(textAt(grdAnforderungen, row, QualMindest), &ok).value_or(0);
        if (!ok)
            return bad(QualMindest, QStringLiteral("Die Zahl der Qualifizierten muss "
                                                   "zwischen 0 und 99 liegen."));
        const QString share = textAt(grdAnforderungen, row, QualAnteil);
        if (!share.isEmpty()) {
            const double value =
                QLocale().toDouble(QString(share).remove(QLatin1Char('%')).trimmed(), &ok);
            if (!ok || value < 0 || value > 100)
                return bad(QualAnteil, QStringLiteral("Der Anteil muss zwischen 0 und 100 % "
                                                      "liegen."));
            r.qualShare = value;
        }
        if (r.qualNr == data::NoQualification && (r.qualMinimum > 0 || r.qualShare))
            return bad(Qualifikation, QStringLiteral("Für die Zahl oder den Anteil fehlt die "
                                                     "Qualifikation."));
        requirements << r;
    }
    // the members shown with their qualifications
    QHash<int, QSet<int>> held;
    for (int row = 0; row < grdMitarbeiter->rowCount(); ++row) {
        const int maNr = grdMitarbeiter->verticalHeaderItem(row)->data(RefRole).toInt();
        QSet<int>& set = held[maNr];
        for (const int ref : held_.value(maNr))
            if (refOf.contains(ref)) set.insert(refOf.value(ref));
    }
    try {
        data::saveStaffing(session_.env.Datenbank, list, held, shownGroup_, requirements);
    } catch (const std::exception& e) {
        data::report(session_, e, QStringLiteral("frmBesetzung"));
        return false;
    }
    if (saved) saved();
    return true;
}
