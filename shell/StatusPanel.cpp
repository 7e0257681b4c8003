#include "shell/StatusPanel.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QStyle>

namespace {
// Space between the frame and the text on either side.
constexpr int TextInset = 3;
} // namespace

StatusPanel::StatusPanel(const QString& description, const QString& sample, QWidget* parent)
    : QLabel(parent), description_(description), sample_(sample) {
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setToolTip(description_);
}

QRect StatusPanel::textArea() const {
    return contentsRect().adjusted(margin() + TextInset, 0, -margin() - TextInset, 0);
}

int StatusPanel::textWidth(const QString& text) const {
    // the frame and margins around the text as the panel draws it, and a pixel on either side
    // for the rounding of the text's width
    const int around = width() - textArea().width() + 2;
    return fontMetrics().horizontalAdvance(text) + around;
}

QSize StatusPanel::sizeHint() const {
    return QSize(qMax(textWidth(text()), textWidth(sample_)), QLabel::sizeHint().height());
}

QSize StatusPanel::minimumSizeHint() const {
    return QSize(textWidth(QStringLiteral("…")), QLabel::minimumSizeHint().height());
}

bool StatusPanel::textFits() const {
    return fontMetrics().elidedText(text(), Qt::ElideRight, textArea().width()) == text();
}

QString StatusPanel::currentToolTip() const {
    if (text().isEmpty() || textFits()) return description_;
    return description_ + QStringLiteral(": ") + text();
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) setToolTip(currentToolTip());
    return QLabel::event(event);
}

void StatusPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = textArea();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

QList<QLabel*> buildStatusPanels(QWidget* bar) {
    struct Kind {
        const char* description;
        const char* sample;
    };
    static const Kind kinds[] = {
        {"Ausgewählte Tage", "30.12.26"},
        {"Mitarbeiter der Spalte", "Mitarbeiter"},
        {"Summe der Stunden der Auswahl", "000,00"},
        {"Summe der Pausen der Auswahl", "00,00"},
        {"Summe der Pauschalstunden der Auswahl", "000,00"},
        {"Summe S1 der Auswahl", "00,00"},
        {"Summe S2 der Auswahl", "00,00"},
        {"Kurzinfo des letzten ausgewählten Dienstes", "Kurzinfo"},
        {"Stunden der Auswahl mal Stundenlohn", "0.000,00 €"},
    };
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    QList<QLabel*> panels;
    int n = 0;
    for (const Kind& kind : kinds) {
        auto* panel = new StatusPanel(QString::fromUtf8(kind.description),
                                      QString::fromUtf8(kind.sample), bar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(++n));
        layout->addWidget(panel);
        panels << panel;
    }
    // room left over stays to the right of the panels
    layout->addStretch(1);
    return panels;
}
