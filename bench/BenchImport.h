#pragma once
// Restores of tables from large backup files, each measured in a child process.

#include <QString>

namespace bench {

// Runs the child's part when the arguments ask for one and returns its exit code; -1 otherwise.
int importChild(int argc, char* argv[]);
void benchImport(const QString& folder, const QString& largePath);

} // namespace bench
