#pragma once
// Benchmarks of the roster procedures on the large database.

#include "data/Session.h"

namespace bench {

// Opens the tables the roster procedures read, those not open yet, so that every section runs
// alone as well as after the others.
inline void openRosterTables(data::DataUmgebung& env) {
    for (const char* t : {"Mitarbeiter", "Dienstzeiten", "Feiertage", "Statistik", "Gruppen",
                          "GpZuordnung", "Einstellungen", "Standarddienste"}) {
        if (!env.recordset(QLatin1String(t)).isOpen()) env.execute(QLatin1String(t));
    }
}

void benchGridRepaint(data::Session& session, const QString& path);
// The statistics run: all employees from their first working day, and after one change.
void benchStatistics(data::Session& session);
// The roster as an HTML page and one employee's working-time sheet.
void benchHtml(data::Session& session, const QString& path);
// Copying a month of the 60-member group as a block and pasting it into the next month.
void benchBlocks(data::Session& session);

} // namespace bench
