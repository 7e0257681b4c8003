#pragma once
// The main window: the month roster of one group, the menus, the toolbar with the group chooser,
// the month controls, the status bar and the progress bar. It owns the session (data
// environment, month state, desktop services) and runs start-up and shutdown.

#include "data/Session.h"
#include "data/StartupStatus.h"
#include "roster/GridPainter.h"
#include "roster/MonthState.h"

#include <QMainWindow>
#include <QPointer>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class QToolButton;
class FlexGrid;
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
    FlexGrid* grid() const { return Grid; }
    roster::GridPainter& painter() { return *painter_; }
    QTimer* timer1() const { return Timer1; }
    QComboBox* groupChooser() const { return GprSel; }
    QLineEdit* monthTitle() const { return txtdatum; }
    const QList<QLabel*>& statusPanels() const { return panels_; }
    QProgressBar* progressBar() const { return ProgressBar; }
    // A menu entry or pop-up menu by its name (mnustdedit, mnuAktion, ...).
    QAction* menuAction(const QString& name) const;
    QMenu* popupMenu(const QString& name) const;

    // The error reporter of the main window.
    void reportError(const std::exception& error, const QString& procedure);

    // Rebuilds the roster; the same after the delayed timer only with automatic calculation.
    void gridrepaint();
    void gridrepaintcheck();
    // Statistics of every employee with a pending change; ends the program when the database
    // lacks its structure.
    void berStatistik2();
    // Shows the month title of the month state.
    void showMonthTitle();
    // The group chosen in GprSel becomes the shown group.
    void GprSel_Click();
    void datumDown_Click();
    void datumUp_Click();
    // Runs after every repaint (the status-bar summary).
    std::function<void()> afterRepaint;
    // A strip of this many pixels right of the roster, below the toolbar, that the roster
    // leaves free (for the standard-duties overview when the screen has no room beside the
    // window); 0: the roster takes the whole width.
    void setRosterMargin(int right);
    int rosterMargin() const { return rosterMargin_; }

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
    void moveMonth(int months);

    // A progress sink on the main window's progress bar.
    class MainProgress;

    data::Session session_;
    roster::MonthState month_;
    std::unique_ptr<MainProgress> mainProgress_;
    QPointer<frminfo> startWindow_;
    bool unloaded_ = false;
    int rosterMargin_ = 0;

    FlexGrid* Grid = nullptr;
    std::unique_ptr<roster::GridPainter> painter_;
    QList<QMenu*> popups_;
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
