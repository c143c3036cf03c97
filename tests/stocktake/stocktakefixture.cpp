#include "stocktakefixture.h"

#include "migration.h"
#include "schema.h"

namespace fx::stocktake::test {

const QString StocktakeTest::kPassword = QStringLiteral("St0cktake");
const QDate StocktakeTest::kToday(2026, 12, 9);

void fillRegister(db::Connection& c) {
    const char* const statements[] = {
        "insert into wzb (wz, isbm) values ('财务处', 1), ('教务处', 1), ('301室', 0)",
        "insert into person (pname, bm) values ('张三', '财务处'), ('李四', '教务处'), "
        "('王五', '教务处')",
        "insert into syq (qx, yue) values ('5年', 60), ('10年', 120)",
        "insert into sortproc (sort, title, cz) values ('电脑', 'JSJ', 5), ('家具', 'BGZ', 0), "
        "('仪器', 'SBQ', 0)",
        "insert into sbjl (ID1, id, num, zclb, sbmc, worp, wz, bgr, bxq, gmrq, gmjg, ybf) values "
        "(1, 'JSJ-', 1, '电脑', '台式电脑', 1, '财务处', '张三', '5年', '2024-01-10', 5000, 0),"
        "(2, 'JSJ-', 2, '电脑', '笔记本', 1, '财务处', '张三', '5年', '2023-06-01', 8000, 0),"
        "(3, 'JSJ-', 3, '电脑', '台式电脑', 1, '教务处', '李四', '5年', '2024-01-10', 4000, 0),"
        "(4, 'BGZ-', 1, '家具', '办公桌', 0, '张三', '张三', '10年', '2020-03-05', 1200, 0),"
        "(5, 'BGZ-', 2, '家具', '办公桌', 1, '财务处', '', '10年', '2010-01-01', 600, 1),"
        "(6, 'SBQ-', 1, '仪器', '示波器', 1, '301室', '王五', '无', '2022-02-01', 20000, 0)",
    };
    for (const char* s : statements) c.executeNative(QString::fromUtf8(s));
}

void StocktakeTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    db_ = db::Connection::create(path(), kPassword);
    schema::createCurrentSchema(*db_);
    schema::migrate(*db_, schema::DatabaseKind::Current);
    fillRegister(*db_);
}

std::unique_ptr<db::Connection> StocktakeTest::openAnother() const {
    return db::Connection::open(path(), kPassword);
}

}  // namespace fx::stocktake::test
