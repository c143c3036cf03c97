#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "appstate.h"

namespace fx::test {

// Adds a row to table users of the database file at databasePath.
void addUser(const QString& databasePath, const QString& databasePassword, const QString& user,
             const QString& password, const Rights& rights = {});

// A temporary folder that plays a network drive: it holds both keyed databases, and while the
// object lives the drive list consists of this folder and the given other roots.
class NetworkVolume {
public:
    explicit NetworkVolume(const QString& databasePassword, const QStringList& otherRoots = {});
    ~NetworkVolume();

    // The volume's root path, without a trailing "/".
    QString root() const;
    QString currentDatabasePath() const;

private:
    QTemporaryDir dir_;
};

}  // namespace fx::test
