#include "userrows.h"

#include <QDir>

#include "connection.h"
#include "datalocation.h"
#include "rowset.h"
#include "schema.h"

namespace fx::test {

void addUser(const QString& databasePath, const QString& databasePassword, const QString& user,
             const QString& password, const Rights& rights) {
    auto c = db::Connection::open(databasePath, databasePassword);
    db::RowSet users(*c, QStringLiteral("select * from users"));
    users.open();
    users.append();
    users.setValue(QStringLiteral("user"), user);
    users.setValue(QStringLiteral("password"), password);
    users.setValue(QStringLiteral("ins"), rights.ins);
    users.setValue(QStringLiteral("modi"), rights.modi);
    users.setValue(QStringLiteral("del"), rights.del);
    users.setValue(QStringLiteral("view"), rights.view);
    users.setValue(QStringLiteral("jc"), rights.jc);
    users.setValue(QStringLiteral("gh"), rights.gh);
    users.setValue(QStringLiteral("db"), rights.db);
    users.setValue(QStringLiteral("spmodi"), rights.spmodi);
    users.post();
}

NetworkVolume::NetworkVolume(const QString& databasePassword, const QStringList& otherRoots) {
    schema::createDatabases(root() + QLatin1Char('/'), databasePassword);
    const QStringList roots = QStringList(otherRoots) << root();
    setVolumeLister([roots] { return roots; });
}

NetworkVolume::~NetworkVolume() {
    setVolumeLister({});
}

QString NetworkVolume::root() const {
    return QDir::cleanPath(dir_.path());
}

QString NetworkVolume::currentDatabasePath() const {
    return root() + QLatin1Char('/') + QString::fromLatin1(schema::kCurrentFile);
}

}  // namespace fx::test
