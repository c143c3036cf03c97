#pragma once

#include <QString>

namespace fx::admin {

// The folder of installed files (share/) that init copies into a new installation. Looked up
// beside the running program (schema::shareDirCandidates: under the installation prefix, or as
// in the build tree; two levels up for the tests), then in the build and source trees this
// program was compiled from. A folder counts only when it holds the companion key file.
// Returns an empty string when none is found.
QString findShareDir();

// True when dir holds the files init needs from share/ (the companion key file).
bool isShareDir(const QString& dir);

}  // namespace fx::admin
