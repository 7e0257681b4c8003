#include "reports/frmArbeitszeitpruefung.h"

#include "data/WorkingTimeRules.h"
#include "platform/Formats.h"
#include "platform/ScreenFit.h"
#include "reports/frmPruefregeln.h"
#include "roster/WorkingTimeCheck.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

frmArbeitszeitpruefung::frmArbeitszeitpruefung(data::Session& session,
                                               const roster::MonthState& month, QWidget* parent)
    : QDialog(parent), session_(session), month_(month) {
    setObjectName(QStringLiteral("frmArbeitszeitpruefung"));
    setWindowTitle(QStringLiteral("Arbeitszeitprüfung"));
    lblMonat = new QLabel(this);
    lblMonat->setObjectName(QStringLiteral("lblMonat"));
    lvwBefunde = new QTreeWidget(this);
    lvwBefunde->setObjectName(QStringLiteral("lvwBefunde"));
    lvwBefunde->setRootIsDecorated(false);
    // long findings wrap in their column instead of ending in "..."
    lvwBefunde->setUniformRowHeights(false);
    lvwBefunde->setWordWrap(true);
    lvwBefunde->setTextElideMode(Qt::ElideNone);
    lvwBefunde->setHeaderLabels({QStringLiteral("Mitarbeiter"), QStringLiteral("Tag"),
                                 QStringLiteral("Regel"), QStringLiteral("Befund")});
    lvwBefunde->header()->setStretchLastSection(true);
    cmdRegeln = new QPushButton(QStringLiteral("Regeln ..."), this);
    cmdRegeln->setObjectName(QStringLiteral("cmdRegeln"));
    cmdRegeln->setAutoDefault(false);
    cmdClose = new QPushButton(QStringLiteral("Schließen"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdRegeln);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblMonat);
    layout->addWidget(lvwBefunde);
    layout->addLayout(buttons);
    platform::fitOnScreen(*this, QSize(980, 480));

    connect(lvwBefunde, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { lvwBefunde_DblClick(item); });
    connect(cmdRegeln, &QPushButton::clicked, this, &frmArbeitszeitpruefung::cmdRegeln_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void frmArbeitszeitpruefung::refresh() {
    lvwBefunde->clear();
    const QString month = platform::monthYear(month_.firstDay);
    try {
        const data::WorkingTimeRules rules = data::loadWorkingTimeRules(session_.env.Datenbank);
        const auto found = roster::checkGroupMonth(session_.env, month_.groupNumber,
                                                   month_.firstDay, month_.lastDay, rules);
        QList<QTreeWidgetItem*> items;
        for (const roster::MemberFinding& f : found) {
            auto* item = new QTreeWidgetItem({f.planName,
                                              platform::dayLabel(f.finding.day) + QLatin1Char(' ') +
                                                  platform::shortDate(f.finding.day),
                                              roster::ruleName(f.finding.rule), f.finding.text});
            item->setData(0, RowRole, f.finding.day.day() + 1);
            item->setData(0, ColRole, f.position);
            item->setToolTip(3, f.finding.text);
            items << item;
        }
        const QList<roster::StaffingGap> gaps =
            staffingGaps ? staffingGaps() : QList<roster::StaffingGap>();
        for (const roster::StaffingGap& g : gaps) {
            auto* item = new QTreeWidgetItem(
                {QString(),
                 platform::dayLabel(g.day) + QLatin1Char(' ') + platform::shortDate(g.day),
                 QStringLiteral("Besetzung"), g.text});
            item->setData(0, RowRole, g.day.day() + 1);
            item->setData(0, ColRole, 0);
            item->setToolTip(3, g.text);
            items << item;
        }
        lvwBefunde->addTopLevelItems(items);
        for (int c = 0; c < 3; ++c)
            lvwBefunde->resizeColumnToContents(c);
        lblMonat->setText(
            !rules.anyOn() ? month + QStringLiteral(": Keine Regel eingeschaltet")
            : found.empty() ? month + QStringLiteral(": keine Verstöße gegen die geprüften Regeln")
            : found.size() == 1 ? month + QStringLiteral(": 1 Befund")
                                : month + QStringLiteral(": %1 Befunde").arg(found.size()));
        if (!gaps.isEmpty())
            lblMonat->setText(
                lblMonat->text() +
                (gaps.size() == 1 ? QStringLiteral("; 1 Befund zur Besetzung")
                                  : QStringLiteral("; %1 Befunde zur Besetzung").arg(gaps.size())));
    } catch (const std::exception& e) {
        lblMonat->setText(month);
        data::report(session_, e, QStringLiteral("frmArbeitszeitpruefung"));
    }
}

void frmArbeitszeitpruefung::lvwBefunde_DblClick(QTreeWidgetItem* item) {
    if (item && goToCell) goToCell(item->data(0, RowRole).toInt(), item->data(0, ColRole).toInt());
}

void frmArbeitszeitpruefung::cmdRegeln_Click() {
    frmPruefregeln rules(session_, this);
    if (rules.exec() != QDialog::Accepted) return;
    if (rulesChanged) rulesChanged();
    refresh();
}
