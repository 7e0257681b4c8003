#pragma once
// Blocks of duties in the month roster: copying a block as text (and cutting it), deleting it,
// pasting a block text at a cell, and moving a block. Rows and columns are those of the roster
// grid: row r is day r - 1 of the shown month, column c the member at position c of the shown
// group. Every change of the database is one transaction: when any step fails, nothing of it
// stays and the error is thrown on.

#include "data/DataUmgebung.h"
#include "roster/DutyBlockFormat.h"
#include "roster/MonthState.h"

#include <QList>
#include <QRect>
#include <QString>

namespace roster {

// A rectangle of the grid (x columns, y rows) ordered so that left <= right and top <= bottom,
// and cut to the day rows and member columns: rows 2 to days + 1, columns from 1. Empty when
// nothing of it is left.
QRect orderedBlock(int col1, int row1, int col2, int row2, int days);

// The block as text: the header and one line per cell, column by column. With cut the block's
// duties are deleted as well (in one transaction). Throws EngineError.
QString copyBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block,
                  bool cut = false);

// Deletes the duties of the block in one transaction; returns how many. Throws EngineError.
int deleteBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block);

// A cell written by a paste, with what the grid shows there.
struct PastedCell {
    int row = 0;
    int col = 0;
    QString text;
    quint32 colour = White;
};

struct PasteResult {
    QList<PastedCell> cells;
    // the paste wrote another row than the anchor's (the grid wants a repaint)
    bool otherRows = false;
};

// Writes the duties of a block at the anchor cell, in one transaction. A line's target column
// is the anchor column plus its column offset, its row the anchor row plus its row offset. A
// line whose column is not below gridCols, or whose position has no member, is skipped; a line
// whose row lies past the month's last day ends the paste. A duty replaces the target's duty;
// a line without a duty leaves the target as it is. The target's day and employee are the
// target cell's, DienstNR and Dienstcode are not taken over, and a norm duty takes the target
// employee's daily norm hours. Throws EngineError (then nothing was written).
PasteResult pasteBlock(data::DataUmgebung& env, const MonthState& month, int anchorCol,
                       int anchorRow, int gridCols, const std::vector<BlockLine>& lines);

// The fields of the live duty table, for reading a block text.
std::vector<engine::FieldInfo> dutyFields(const data::DataUmgebung& env);

struct MoveResult {
    QString text; // the block as cut
    PasteResult pasted;
    // a duty of the block would have no place at the target: nothing was moved
    bool refused = false;
};

// Cuts the block and pastes it at the anchor, in one transaction: the source's duties go first,
// so that a target overlapping the source keeps the moved duties. A move that would lose a duty
// (past the month's last day, past the last column, or onto a position without a member) is
// refused and changes nothing. Throws EngineError (then the source and the target are as
// before).
MoveResult moveBlock(data::DataUmgebung& env, const MonthState& month, const QRect& block,
                     int anchorCol, int anchorRow, int gridCols);

} // namespace roster
