#pragma once
// The about window "Info": maker, program version and database version. It doubles as the
// start window, whose status line and progress bar the start-up writes to.

#include "data/StartupStatus.h"

#include <QDialog>

class QFrame;
class QLabel;
class QProgressBar;

class frminfo : public QDialog, public data::ProgressSink {
    Q_OBJECT
public:
    explicit frminfo(QWidget* parent = nullptr);

    // The version text of the database engine found at start-up, shown after F10.
    void setEngineVersion(const QString& version) { engineVersion_ = version; }
    static QString versionText(int major, int minor, int revision);

    // ProgressSink: the status line "Infotext" and "ProgressBar1".
    void status(const QString& text) override;
    void setMaximum(int maximum) override;
    void setValue(int value) override;
    int value() const override;
    void processEvents() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* Frame1;
    QLabel* Picture1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Infotext;
    QProgressBar* ProgressBar1;
    QString engineVersion_;
};
