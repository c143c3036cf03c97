#pragma once

#include <QStringList>

#include "migration.h"

namespace fx::schema {

// The tables every database of this kind has from the first layout on (lower case, in the
// order they are created): what a file must hold to be taken as one of this system's, for
// instance before a restore replaces a database with it.
QStringList firstLayoutTables(DatabaseKind kind);

}  // namespace fx::schema
