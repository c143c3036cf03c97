#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// server-init CONNINFO [--org NAME] [--demo]: makes the register's two databases on a database
// server (the schemas gdzc and dbjl of the database CONNINFO names) with their tables, reserved
// rows and the Jet functions; --org stores the organisation's name as the first start would,
// --demo fills the demonstration dictionary and register. Refused when either schema exists;
// a failure leaves neither behind. Returns the exit status.
int serverInitCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
