#pragma once
// The printed list of standard duties: a title, a header and one line per standard duty sorted
// by key, each followed by an empty line, in a fixed-pitch font; the maker's lines at the top
// of the last page.

#include "engine/Recordset.h"

#include <QStringList>

class QPagedPaintDevice;

namespace dialogs {

// The header of the columns.
inline const QString StdDienstePrintHeader =
    QStringLiteral("Taste   Anfang    Ende   Pause      Kurzinfo  Pauschalstd.");

// The line of the standard duty on which rs stands.
QString standardDutyLine(const engine::Recordset& rs);
// Every line of the list, read from a clone of rs sorted by key (rs itself does not move).
QStringList standardDutyListLines(const engine::Recordset& rs);
// Paints the lines on the device, starting new pages as needed. The device's job ends when the
// painter does, at the end of this call.
void paintStandardDutyList(QPagedPaintDevice& device, const QStringList& lines);

} // namespace dialogs
