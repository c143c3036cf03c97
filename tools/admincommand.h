#pragma once

#include <QStringList>
#include <QTextStream>
#include <functional>

namespace fx::admin {

// Exit codes of fxasset-admin.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // the command ran and failed (message on stderr)
inline constexpr int kExitUsage = 2;   // the command line was not understood

// The usage text printed by --help.
QString usageText();

// Prints "fxasset-admin: message", a blank line and the usage text on err; returns kExitUsage.
// Every command answers a command line it does not understand this way.
int usageError(const QString& message, QTextStream& err);

// Runs a command's work: kExitOk when it finishes; when it throws AdminError or db::DbError,
// prints "fxasset-admin: ..." on err and returns kExitFailed.
int runReportingFailure(const std::function<void()>& work, QTextStream& err);

// Runs one command line (arguments without the program name): init, sql, --help. Output goes
// to out, messages to err; returns the exit code.
int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
