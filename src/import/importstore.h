#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

#include "importplan.h"

namespace fx::db {
class Connection;
}
namespace fx::history {
class ChangeRecorder;
}

namespace fx::import {

// Called as rows are stored with the count done and the total; returning false cancels the
// import (nothing of it stays).
using Progress = std::function<bool(int done, int total)>;

// The import was cancelled; nothing was stored.
class ImportCancelled : public std::runtime_error {
public:
    ImportCancelled() : std::runtime_error("import cancelled") {}
};

struct ImportResult {
    ImportPlan plan;  // the check the rows were stored by
    int added = 0;
    qint64 firstSerial = 0;  // ID1 of the first and last asset added; 0 when none
    qint64 lastSerial = 0;
};

// Checks the sheet again and stores every accepted row, with the dictionary items they need and
// the prefix registry idupper kept in step, in one transaction that starts before the check:
// no other workstation can take a number between the check and the store. Either every
// accepted row is stored or, on an engine error (db::DbError) or a cancel (ImportCancelled),
// none is. Refused rows are left out; the result's plan lists them.
// With a recorder (begun by the caller, committed by it once this returns) each stored asset
// gets a change-history row "导入" naming the file source came from, written before the
// register commits: a history row the engine refuses stops the import with nothing stored.
ImportResult runImport(db::Connection& c, const SheetTable& table, const ImportOptions& options,
                       const Progress& progress = {}, history::ChangeRecorder* recorder = nullptr,
                       const QString& source = QString());

// The note of an imported asset's history row: the name of the file it came from.
QString importNote(const QString& source);

}  // namespace fx::import
