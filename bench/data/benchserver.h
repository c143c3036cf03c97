#pragma once

#include <QString>
#include <memory>

#include "appstate.h"

namespace fx::bench {

// A private database server for one benchmark run, started on first use by
// scripts/testserver.sh --durable (a Unix socket in a temporary folder, the server's default
// flush settings: fsync on) and stopped when the program ends. Its connection string.
QString benchServerConninfo();

// The register of benchInstallation(assetCount) copied onto a database of its own on the bench
// server by fxasset-admin server-import (once per asset count); its connection string.
QString benchServerDatabase(int assetCount);

// administratorState(assetCount) working on that server database instead of the files.
std::unique_ptr<AppState> administratorServerState(int assetCount);

// The processor time the bench server's processes (the postmaster and every backend) have used
// so far, in seconds: the server's share of a benchmark's CPU.
double benchServerCpuSeconds();

}  // namespace fx::bench
