#pragma once
// The print settings of the settings row: the chosen printer, the paper orientation (1 portrait,
// 2 landscape) and the print font.

#include "data/DataUmgebung.h"

#include <QFont>
#include <QString>

namespace print {

struct PrintSettings {
    QString printer; // empty: keep the current printer
    int orientation = 2;
    QFont font;
};

// The settings of the settings row; an orientation other than 1 or 2 is stored as 2 first. A
// missing row gives the defaults.
PrintSettings readPrintSettings(data::DataUmgebung& env, const QFont& defaultFont);
// Writes the settings into the settings row (nothing when there is none).
void storePrintSettings(data::DataUmgebung& env, const PrintSettings& settings);

} // namespace print
