#pragma once
// One panel of the main window's status bar: a sunken label whose width follows its text in
// the window's font. When the bar is too narrow the panel gives up width, shows its text cut
// with "…", and its tooltip then carries the whole text under the panel's description.

#include <QLabel>

class StatusPanel : public QLabel {
    Q_OBJECT
public:
    // sample: a typical text of the panel, so that an empty panel keeps its place.
    StatusPanel(const QString& description, const QString& sample, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Whether the whole text fits in the panel as it is now.
    bool textFits() const;
    // The description, followed by the whole text when it does not fit.
    QString currentToolTip() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the text is drawn, and the width a panel needs for a text.
    QRect textArea() const;
    int textWidth(const QString& text) const;
    QString description_;
    QString sample_;
};

// Fills a status bar with its nine panels (Panel1 to Panel9) in their order: the selected
// days, the employee, the sums of hours, pauses, flat hours, S1 and S2, the short text of the
// last duty, and the wage of the hours.
QList<QLabel*> buildStatusPanels(QWidget* bar);
