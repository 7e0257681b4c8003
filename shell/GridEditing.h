#pragma once
// Editing the roster with keyboard and mouse: duty keys, the number pad, Delete, Enter, F5,
// moving positions, double-clicks on day and sum cells, the remembered selection block; and
// the standard-duties editor of the menu.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class frmTurnova;
class FlexGrid;
class QKeyEvent;
class QMouseEvent;

// Key codes of the keyboard as the key handler knows them.
namespace keycode {
constexpr int Enter = 13;
constexpr int Left = 37;
constexpr int Right = 39;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int NumPad0 = 96;
constexpr int Multiply = 106;
constexpr int F5 = 116;
} // namespace keycode

// The modifier bits of the key handler.
namespace shiftstate {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace shiftstate

class GridEditing : public QObject {
    Q_OBJECT
public:
    explicit GridEditing(frmTurnova& window);
    // Takes the filters off the grid, so no event of the grid reaches a window being destroyed.
    ~GridEditing() override;

    // The key handler of the grid. Returns whether the key is one of the handler's keys (the
    // grid does not see those).
    bool Grid_KeyDown(int keyCode, int shift);
    // A double-click on the current cell: the duty entry on a day, the target hours on a sum.
    void Grid_DblClick();
    // The standard-duties editor of the menu; rsStandarddienste is read again afterwards.
    void mnustdedit_Click();
    // Enters the standard duty of a key at a day cell; code is the key code a message shows.
    void enterStandardDuty(int row, int col, QChar key, int code);

    // The selection block when the right mouse button last went down (x columns, y rows; a
    // press outside the marked block first moved the cursor to the pressed cell), and
    // the cell under the pointer then (x column, y row); the sources of the copy-here and
    // move-here commands and the anchor of the pop-up menu's paste.
    QRect rememberedBlock() const { return rememberedBlock_; }
    QPoint rememberedCell() const { return rememberedCell_; }
    bool busy() const { return busy_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPress(const QKeyEvent& event);
    void rightButtonDown(const QMouseEvent& event);
    bool isDayCell(int row, int col) const;
    QDate dayOfRow(int row) const;
    // The employee at the position of a column of the shown group; 0 when none.
    int memberAt(int col);
    void openDutyEntry(int row, int col);
    void openTargetHours(int col);
    void movePosition(int row, int col, int direction);
    void showDutyTimes(int row, int col);

    frmTurnova& window_;
    QPointer<FlexGrid> grid_;
    bool busy_ = false;
    QRect rememberedBlock_;
    QPoint rememberedCell_;
};

// Attaches the handlers to the main window's grid and menu.
void installGridEditing(frmTurnova& window);
// The handlers of a main window.
GridEditing* gridEditing(frmTurnova& window);
