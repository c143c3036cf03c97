#include "benchstate.h"

#include "benchinstallation.h"

namespace fx::bench {

std::unique_ptr<AppState> administratorState(int assetCount) {
    const BenchInstallation& b = benchInstallation(assetCount);
    auto s = std::make_unique<AppState>();
    s->startDir = b.appDir;
    s->appPath = b.appDir;
    s->dataDir = b.dataDir;
    s->currentPassword = b.currentPassword;
    s->userName = QStringLiteral("系统管理员");
    s->rights = Rights{true, true, true, true, true, true, true, true};
    return s;
}

}  // namespace fx::bench
