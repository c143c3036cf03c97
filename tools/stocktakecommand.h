#pragma once

#include <QStringList>
#include <QTextStream>

namespace fx::admin {

// stocktake DATADIR list|report NAME [--xlsx FILE] [--keyfile KEY]: prints the stocktakes of
// DATADIR (list), or one stocktake's heading, counts and four lists (report), tab-separated,
// and with --xlsx also writes the lists into a spreadsheet. Holds the presence lock of the
// current database while it reads, as a running program does, so a restore cannot replace the
// file meanwhile. Changes nothing but an earlier layout, which is brought up to date.
int stocktakeCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace fx::admin
