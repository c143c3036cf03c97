#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// fxasset-admin rekey DATADIR [--keyfile FILE]: gives both databases of DATADIR a new random
// organisation key (backup/rekey.h) and keeps it in the organisation key file beside the
// companion key file the other commands find (resolveKeyFile; --keyfile names it). Returns the
// exit code.
int rekeyCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// Copies the organisation keys of from (an installation folder, or an organisation key file)
// into the organisation key file of the installation appDir, in front of any keys appDir has
// already (none of them is lost). Returns an empty string on success, else why not (appDir's
// key file is then as it was).
QString copyOrganisationKeys(const QString& from, const QString& appDir);

}  // namespace fx::admin
