// Listing the change history: one asset's, the administrator's filters, the printed lines.
#include "historyquery.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "changerecorder.h"
#include "clock.h"
#include "connection.h"
#include "rowset.h"
#include "schema.h"

namespace {

using fx::db::Connection;
using namespace fx::history;

class Query : public ::testing::Test {
protected:
    void SetUp() override {
        fx::schema::createDatabases(dir.path(), QStringLiteral("CurrentPw30"));
        history = Connection::open(dir.filePath(QStringLiteral("dbjl.his")),
                                   QString::fromLatin1(fx::schema::kHistoryPassword));
        const struct {
            QDate day;
            const char* user;
            const char* operation;
            int serial;
            const char* number;
        } rows[] = {
            {QDate(2026, 2, 28), "张三", op::kAdd, 1, "JSJ-1"},
            {QDate(2026, 3, 1), "张三", op::kModify, 1, "JSJ-1"},
            {QDate(2026, 3, 15), "李四", op::kLend, 2, "JSJ-2"},
            {QDate(2026, 3, 31), "李四", op::kModify, 2, "JSJ-2"},
            {QDate(2026, 4, 1), "张三", op::kTransfer, 1, "JSJ-1"},
        };
        for (const auto& r : rows) {
            fx::Clock::set(QDateTime(r.day, QTime(23, 59, 59)));
            ChangeRecorder rec(history.get(), QString::fromUtf8(r.user));
            rec.begin();
            rec.recordNote(QString::fromUtf8(r.operation), r.serial, QString::fromUtf8(r.number),
                           QStringLiteral("x'y"));
            rec.commit();
        }
        fx::Clock::set(QDateTime());
    }
    QList<int> indexes(const QString& sql) {
        fx::db::RowSet rs(*history, sql);
        rs.open();
        QList<int> out;
        for (; !rs.eof(); rs.next()) out << rs.integer(QStringLiteral("index"));
        return out;
    }

    QTemporaryDir dir;
    std::unique_ptr<Connection> history;
};

TEST_F(Query, OneAssetsHistoryNewestFirst) {
    EXPECT_EQ(indexes(assetHistoryStatement(1) + newestFirst()), (QList<int>{5, 2, 1}));
    EXPECT_EQ(indexes(assetHistoryStatement(9) + newestFirst()), QList<int>{});
}

TEST_F(Query, FiltersByDaysUserOperationAndNumber) {
    struct Case {
        HistoryFilter filter;
        QList<int> expected;
    } cases[] = {
        {{}, {5, 4, 3, 2, 1}},
        {{QDate(2026, 3, 1), QDate(2026, 3, 31), {}, {}, {}}, {4, 3, 2}},
        {{QDate(2026, 3, 31), {}, {}, {}, {}}, {5, 4}},
        {{{}, QDate(2026, 2, 28), {}, {}, {}}, {1}},
        {{{}, {}, QStringLiteral("李四"), {}, {}}, {4, 3}},
        {{{}, {}, {}, QStringLiteral("修改"), {}}, {4, 2}},
        {{{}, {}, {}, {}, QStringLiteral("JSJ-1")}, {5, 2, 1}},
        {{QDate(2026, 3, 1), QDate(2026, 3, 31), QStringLiteral("张三"), QStringLiteral("修改"),
          QStringLiteral("JSJ-1")},
         {2}},
        {{{}, {}, QStringLiteral("o'brien"), {}, {}}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(indexes(historyStatement(c.filter) + newestFirst()), c.expected)
            << historyStatement(c.filter).toStdString();
}

TEST_F(Query, PrintsOneLinePerRowOldestFirst) {
    QString text;
    QTextStream out(&text);
    HistoryFilter f;
    f.assetNumber = QStringLiteral("JSJ-2");
    EXPECT_EQ(printHistory(*history, f, out), 2);
    out.flush();
    const QString host = workstationName();
    EXPECT_EQ(text, QStringLiteral("2026-03-15 23:59:59\t李四\t") + host +
                        QStringLiteral("\t借出\t2\tJSJ-2\tx'y\n2026-03-31 23:59:59\t李四\t") +
                        host + QStringLiteral("\t修改\t2\tJSJ-2\tx'y\n"));
}

}  // namespace
