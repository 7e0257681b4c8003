#pragma once
// Reading the rows of a damaged database file page by page, without SQLite: every leaf page of a
// table b-tree that is still whole gives its rows, even when the interior pages above it or the
// file's first page (its header and schema) are lost. Used by the salvage after SQLite's own
// reading stopped at a damaged page.

#include <QList>
#include <QString>
#include <QVariantList>

namespace data {

struct LeafRow {
    qint64 rowid = 0;
    QVariantList values; // the record's fields: null, integer, real, text or blob
};

// The rows of every table leaf page of the file whose cells and records are consistent, skipping
// the pages on the free list (when the first page still tells them). The page size is read from
// the header; a damaged header means the program's 4096 bytes.
QList<LeafRow> scanLeafRows(const QString& path);

} // namespace data
