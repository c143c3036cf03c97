#pragma once

#include <QString>

namespace fx::db {
class Connection;
}

// The rows an addition writes to the dictionary, one function per kind, with the statements the
// card's additions have always used. They run on the caller's transaction: the card wraps each
// addition in its own, the import adds all of its items in the one that stores the assets.
// Errors of the engine throw db::DbError.

namespace fx::dictionary {

// A category with its default number prefix (letters, no dash) and residual rate in percent.
void insertCategory(db::Connection& c, const QString& category, const QString& prefix, int rate);
// A name of a category with its number prefix and storage mode (true: kept at a place).
void insertName(db::Connection& c, const QString& name, const QString& category,
                const QString& prefix, bool atPlace);
// A use of a category.
void insertUse(db::Connection& c, const QString& use, const QString& category);
// A model of a name with its configuration.
void insertModel(db::Connection& c, const QString& model, const QString& name,
                 const QString& configuration);
// A place; isDepartment marks it as a department.
void insertLocation(db::Connection& c, const QString& place, bool isDepartment);
// A person of a department.
void insertPerson(db::Connection& c, const QString& person, const QString& department);
// A service life and the number of monthly periods it stands for.
void insertLife(db::Connection& c, const QString& life, int months);
// A source method.
void insertSource(db::Connection& c, const QString& source);

}  // namespace fx::dictionary
