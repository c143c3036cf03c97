#include "usersfixture.h"

#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::test {

UsersFixture::UsersFixture() : state_(install.signedIn()) {}

std::optional<StoredUser> UsersFixture::stored(const QString& user) {
    db::RowSet rows(*state_->current,
                    QStringLiteral("select * from users where user=") + db::quoted(user));
    rows.open();
    if (rows.isEmpty()) return std::nullopt;
    StoredUser u;
    u.password = rows.text(QStringLiteral("password"));
    u.passwordIsNull = rows.isNull(QStringLiteral("password"));
    u.rights.ins = rows.yesNo(QStringLiteral("ins"));
    u.rights.modi = rows.yesNo(QStringLiteral("modi"));
    u.rights.del = rows.yesNo(QStringLiteral("del"));
    u.rights.view = rows.yesNo(QStringLiteral("view"));
    u.rights.jc = rows.yesNo(QStringLiteral("jc"));
    u.rights.gh = rows.yesNo(QStringLiteral("gh"));
    u.rights.db = rows.yesNo(QStringLiteral("db"));
    u.rights.spmodi = rows.yesNo(QStringLiteral("spmodi"));
    return u;
}

int UsersFixture::countNamed(const QString& user) {
    db::RowSet rows(*state_->current,
                    QStringLiteral("select * from users where user=") + db::quoted(user));
    rows.open();
    return rows.count();
}

int UsersFixture::countAll() {
    db::RowSet rows(*state_->current, QStringLiteral("select * from users"));
    rows.open();
    return rows.count();
}

void UsersFixture::addAccount(const QString& user, const QString& password, const Rights& r) {
    db::RowSet rows(*state_->current, QStringLiteral("select * from users"));
    rows.open();
    rows.append();
    rows.setValue(QStringLiteral("user"), user);
    rows.setValue(QStringLiteral("password"), password);
    rows.setValue(QStringLiteral("ins"), r.ins);
    rows.setValue(QStringLiteral("modi"), r.modi);
    rows.setValue(QStringLiteral("del"), r.del);
    rows.setValue(QStringLiteral("view"), r.view);
    rows.setValue(QStringLiteral("jc"), r.jc);
    rows.setValue(QStringLiteral("gh"), r.gh);
    rows.setValue(QStringLiteral("db"), r.db);
    rows.setValue(QStringLiteral("spmodi"), r.spmodi);
    rows.post();
}

}  // namespace fx::test
