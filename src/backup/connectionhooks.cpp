#include "connectionhooks.h"

#include "appstate.h"
#include "connection.h"

namespace fx::backup {

ConnectionHooks appStateHooks(AppState& state) {
    ConnectionHooks hooks;
    hooks.close = [&state](DatabaseKind kind) {
        if (kind == DatabaseKind::Current)
            state.current.reset();
        else
            state.history.reset();
    };
    hooks.reopen = [&state](DatabaseKind kind) {
        if (kind == DatabaseKind::Current)
            state.openCurrent();
        else
            state.openHistory();
    };
    return hooks;
}

ConnectionHooks completeHooks(const ConnectionHooks& hooks, AppState& state) {
    ConnectionHooks complete = appStateHooks(state);
    if (hooks.close) complete.close = hooks.close;
    if (hooks.reopen) complete.reopen = hooks.reopen;
    return complete;
}

}  // namespace fx::backup
