#pragma once

#include "preparedinsert.h"

namespace fx::admin {

// The demo register's bulk writer is the data-access layer's prepared insert.
using NativeInsert = db::PreparedInsert;

}  // namespace fx::admin
