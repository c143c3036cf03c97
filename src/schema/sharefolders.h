#pragma once

#include <QString>
#include <QStringList>

namespace fx::schema {

// The folders where the installed files (share/: the manual, the key file, the default column
// layouts) may lie for a program in programDir, most likely first: under the installation
// prefix (bin/../share/fxasset after "cmake --install" or from the package), then as in the
// build tree (share/ next to the program, or one level up where build/share sits beside
// build/src and build/tools). The caller keeps the first that holds what it needs.
QStringList shareDirCandidates(const QString& programDir);

}  // namespace fx::schema
