#include "importfixture.h"

#include <QDir>

#include "rowset.h"
#include "schema.h"

namespace fx::import::test {

namespace {
const QString kPassword = QStringLiteral("import-test-key");
}

ImportFixture::ImportFixture() {
    const QString data = dir_.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    schema::createDatabases(data + QLatin1Char('/'), kPassword);
    db_ = db::Connection::open(data + QStringLiteral("/gdzc.qsk"), kPassword);
    history_ = db::Connection::open(data + QLatin1Char('/') + QLatin1String(schema::kHistoryFile),
                                    QString::fromLatin1(schema::kHistoryPassword));
}

qint64 ImportFixture::count(const QString& jetSql) {
    db::RowSet r(*db_, jetSql);
    r.open();
    return r.eof() ? 0 : r.value(0).toLongLong();
}

void ImportFixture::exec(const QString& jetSql) {
    db::Transaction t(*db_);
    db_->execute(jetSql);
    t.commit();
}

}  // namespace fx::import::test
