#pragma once

#include <memory>

#include "appstate.h"

namespace fx::bench {

// The program's state on benchInstallation(assetCount), signed in as the administrator with
// every right; no database is opened yet.
std::unique_ptr<AppState> administratorState(int assetCount);

}  // namespace fx::bench
