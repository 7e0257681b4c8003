#pragma once
// The list beside a data entry window (the old data grid): the rows of a recordset with the
// columns asked for, in the recordset's order. Clicking a row chooses it; the data themselves
// are changed in the window's edit fields only, so an attempt to edit a cell is answered with
// a message.

#include "engine/Recordset.h"
#include "platform/Prompts.h"

#include <QTableWidget>

#include <functional>
#include <optional>

namespace dialogs {

class RecordList : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString header;
        std::function<QString(const QVariant&)> format; // default: the value as text
    };

    RecordList(engine::Recordset& recordset, QList<Column> columns, platform::Prompts& prompts,
               QWidget* parent = nullptr);

    // Reads the rows again (from a copy of the recordset, which stays where it is) and marks
    // the recordset's current row.
    void refill();
    // Marks the row of the recordset's current record (none at its end or while it adds one).
    void markCurrent();
    // The bookmark of a list row.
    std::optional<engine::Bookmark> bookmarkAt(int row) const;
    // A note on rows set apart (for example hidden employees): a row whose note is not empty is
    // shown dimmed and in italics, its first cell followed by the note in brackets.
    void setRowNote(std::function<QString(const engine::Recordset& row)> note) {
        rowNote_ = std::move(note);
    }

Q_SIGNALS:
    // The user clicked a row.
    void chosen(engine::Bookmark bookmark);

private:
    void refuseEditing();

    engine::Recordset& recordset_;
    QList<Column> columns_;
    platform::Prompts& prompts_;
    std::function<QString(const engine::Recordset&)> rowNote_;
    bool filling_ = false;
};

} // namespace dialogs
