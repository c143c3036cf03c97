#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// The installation the program starts in from the desktop's menu: the one the registry's
// AppPath names; when none is registered yet, the user's own installation in
// FXASSET_HOME/default (FXASSET_HOME defaults to ~/.local/share/fxasset), created empty on
// first use (or registered again when it is already there). Returns its folder; empty, with
// the reason on err, when AppPath names a folder that holds no installation (it is left for
// the user to repair or re-register, never replaced by a new one) or the new one cannot be
// made.
QString startFolder(QTextStream& out, QTextStream& err);

// start: finds the folder as above, makes it the current folder (the program's start folder)
// and replaces this process by the program fxasset beside fxasset-admin. Returns only on
// failure.
int startCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
