#pragma once
// The main window: the month roster of one group, the menus, the toolbar with the group chooser,
// the month controls, the status bar and the progress bar. It owns the session (data
// environment, month state, desktop services) and runs start-up and shutdown.

#include "data/Session.h"
#include "data/StartupStatus.h"
#include "roster/MonthState.h"

#include <QMainWindow>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;
class frminfo;

class frmTurnova : public QMainWindow {
    Q_OBJECT
public:
    explicit frmTurnova(const platform::Services& services, QWidget* parent = nullptr);
    ~frmTurnova() override;

    // Start-up: runs the whole start of the program. false: the program must end.
    bool Turnova_Load(const QString& commandLine);

    data::Session& session() { return session_; }
    roster::MonthState& month() { return month_; }
    QTableWidget* grid() const { return Grid; }

    // The error reporter of the main window.
    void reportError(const std::exception& error, const QString& procedure);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void layoutToolbar();
    void Form_Resize();
    void Form_Unload();
    void Timer1_Timer();
    void loadSettingsRow();
    void fillGroupChooser();
    void showMonthTitle();

    // A progress sink on the main window's progress bar.
    class MainProgress;

    data::Session session_;
    roster::MonthState month_;
    std::unique_ptr<MainProgress> mainProgress_;
    QPointer<frminfo> startWindow_;
    bool unloaded_ = false;

    QTableWidget* Grid = nullptr;
    QWidget* Toolbar = nullptr;
    QToolButton* cmdGruppe = nullptr;
    QToolButton* cmdInfo = nullptr;
    QComboBox* GprSel = nullptr;
    QPushButton* datumDown = nullptr;
    QLineEdit* txtdatum = nullptr;
    QPushButton* datumUp = nullptr;
    QWidget* StatusBar1 = nullptr;
    QList<QLabel*> panels_;
    QProgressBar* ProgressBar = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* mnuDatei = nullptr;
};
