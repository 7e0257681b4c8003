#pragma once
// Blocks of duties in the roster grid: copy, cut, paste and delete by key and through the
// pop-up menu "Aktion", saving a block to a ".tns" file and inserting one from a file, dragging
// a block with the right mouse button and dropping it ("Bearbeiten": copy or move here), and
// dropping a standard duty from the overview window. The text goes through the clipboard, so a
// block pasted into a spreadsheet shows as a table.

#include <QObject>
#include <QPoint>
#include <QRect>

class frmTurnova;
class QDropEvent;
class QMimeData;
class QMouseEvent;

namespace roster {
struct PasteResult;
}

// The key handler's keys that act on the marked block: Delete, Ctrl+C, Ctrl+Insert, Ctrl+X,
// Shift+Delete, Ctrl+V, Shift+Insert (key codes and modifier bits of the key handler).
bool isBlockKey(int keyCode, int shift);

class BlockCommands : public QObject {
    Q_OBJECT
public:
    explicit BlockCommands(frmTurnova& window);

    // A block key of the key handler.
    void Grid_KeyDown(int keyCode, int shift);

    // The marked block to the clipboard; with cut its duties are deleted too.
    void copy(bool cut);
    // The clipboard's block at a cell.
    void paste(int col, int row);
    // The marked block's duties, after a question when it is more than one cell.
    void deleteBlock();
    // The dragged block (or the one cell) copied or moved to the drop cell.
    void copyHere();
    void moveHere();
    // "in Datei speichern" and "aus Datei einfügen".
    void nmusaveas_Click();
    void mnuinsertfrom_Click();

    // The cell where a dragged block was dropped (x column, y row).
    QPoint dropCell() const { return dropCell_; }
    // The data of a block dragged from this window's grid.
    QMimeData* blockMimeData() const;
    // A drop onto the grid at a point of its viewport: a standard duty from the overview, or a
    // block of this grid. false when the data is neither.
    bool Grid_DragDrop(const QMimeData* data, const QPoint& at);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool isDayCell(int row, int col) const;
    QRect markedBlock() const;
    QString dutyHeader() const;
    // The block text at a cell; message is shown when the text is not in the format. With
    // toClipboard a text in the format goes to the clipboard as well.
    void pasteText(const QString& text, int col, int row, const QString& message,
                   bool toClipboard = false);
    void rightButtonUp(const QMouseEvent& event);
    void startDrag();
    void showPasted(const roster::PasteResult& pasted);
    void clearCell(int row, int col);
    void transfer(bool move);

    frmTurnova& window_;
    QPoint pressedAt_;
    bool rightPressed_ = false;
    bool dragged_ = false;
    QPoint dropCell_;
};

// Attaches the block commands to the main window's grid, keys and menus.
void installBlockCommands(frmTurnova& window);
BlockCommands* blockCommands(frmTurnova& window);
