#pragma once

#include "columnlayout.h"
#include "querystate.h"

namespace fx::query {

// The installed default layout of a kind that an installation made by an earlier version lacks
// until it is updated: the change history's stdczjg. The program carries a copy of that file,
// so the window still shows its columns. True with the columns when the program carries one
// for the kind; the kinds every installation has always had carry none.
bool builtInDefaultLayout(ResultKind kind, ColumnList* columns);

}  // namespace fx::query
