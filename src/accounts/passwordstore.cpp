#include "passwordstore.h"

#include "connection.h"
#include "passwordhash.h"
#include "quote.h"
#include "rowset.h"

namespace fx::accounts {

bool storePassword(db::Connection& current, const QString& user, const QString& password) {
    db::RowSet users(current, QStringLiteral("select * from users where user=") + db::quoted(user));
    users.open();
    if (users.eof()) return false;
    users.edit();
    users.setValue(QStringLiteral("password"), hashPassword(password));
    users.post();
    return true;
}

int hashAllPasswords(db::Connection& current) {
    db::Transaction t(current);
    db::RowSet users(current, QStringLiteral("select * from users"));
    users.open();
    int replaced = 0;
    for (; !users.eof(); users.next()) {
        const QString stored = users.text(QStringLiteral("password"));
        if (!needsHashing(stored)) continue;
        users.edit();
        users.setValue(QStringLiteral("password"), hashPassword(stored));
        users.post();
        ++replaced;
    }
    t.commit();
    return replaced;
}

}  // namespace fx::accounts
