#include "migration.h"

#include <vector>

#include "changelogtable.h"
#include "connection.h"
#include "rowset.h"
#include "schema.h"
#include "stocktaketables.h"

namespace fx::schema {

namespace {

// One step of a layout: what it adds, and the version a database has once it ran. Steps of a
// kind are listed in rising version order, each above kLayoutVersion (the first layout).
struct MigrationStep {
    int version;
    void (*apply)(db::Connection&);
};

// Steps of the current database (gdzc.qsk).
const std::vector<MigrationStep>& currentSteps() {
    static const std::vector<MigrationStep> steps = {
        {kStocktakeVersion, addStocktakeTables},
    };
    return steps;
}

// Steps of the history database (dbjl.his).
const std::vector<MigrationStep>& historySteps() {
    static const std::vector<MigrationStep> steps = {
        {kChangeLogVersion, addChangeLogTable},
    };
    return steps;
}

const std::vector<MigrationStep>& stepsOf(DatabaseKind kind) {
    return kind == DatabaseKind::Current ? currentSteps() : historySteps();
}

}  // namespace

int layoutVersion(DatabaseKind kind) {
    int version = kLayoutVersion;
    for (const MigrationStep& s : stepsOf(kind))
        if (s.version > version) version = s.version;
    return version;
}

int storedVersion(db::Connection& c) {
    db::RowSet rows(c, QStringLiteral("select version from username"));
    rows.open();
    return rows.eof() ? 0 : rows.integer(QStringLiteral("version"));
}

bool needsMigration(db::Connection& c, DatabaseKind kind) {
    // A database below the minimum version is refused by the program, never lifted by steps
    // that assume the tables of the first layout.
    const int version = storedVersion(c);
    return version >= kMinimumVersion && version < layoutVersion(kind);
}

void migrate(db::Connection& c, DatabaseKind kind) {
    if (!needsMigration(c, kind)) return;
    db::Transaction t(c);
    // Read again inside the transaction: another workstation may have migrated meanwhile.
    const int from = storedVersion(c);
    for (const MigrationStep& s : stepsOf(kind))
        if (s.version > from) s.apply(c);
    c.execute(QStringLiteral("update username set version=%1").arg(layoutVersion(kind)));
    t.commit();
    c.reloadSchema();
}

}  // namespace fx::schema
