#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "connection.h"
#include "rowset.h"
#include "testserver.h"

namespace fx::schema::test {

// Both databases of a new installation in a temporary folder, the program clock fixed at
// 2024-06-15 10:30:00, and a small register whose rows the statement tests know:
//
//  ID1 number    category name        kept by        life  bought      price   remark   state
//  1   JSJ-12    电脑     台式电脑     张三 (person)  5年   2023-05-10  1000    ''       lent,
//  repaired 2   JSJ-3     电脑     笔记本电脑   李四 (person)  1年   2020-01-20  5000    屏幕有划痕
//  lent 3   BGZ-3     家具     办公桌       财务处 (place) 10年  2024-06-01  800     ' ' 4   BGZ-1
//  家具     办公桌       301室 (place)  10年  2010-02-01  500     null     scrapped, repaired 5
//  SBQ-1     仪器     示波器       教务处 (place) 无    2024-01-01  20000   ''       (no life row)
//  6   JSJ-12345 电脑     台式电脑     王五 (person)  5年   2024-06-15  0.29    O'Brien's 备注
//  repaired 7   JSJ-7     电脑     台式电脑     赵六 (nobody)  5年   2022-12-31  3000    '   '
// It runs on both engines: the keyed files, and two schemas on the test server.
class Corpus : public fx::test::EngineTest {
protected:
    static const QString kPassword;

    void SetUp() override;
    void TearDown() override;

    db::Connection& current() { return *current_; }
    db::Connection& history() { return *history_; }

    // Opens a Jet statement on a connection; the row set stays valid until the next call.
    db::RowSet& open(db::Connection& c, const QString& jetSql);
    db::RowSet& open(const QString& jetSql) { return open(current(), jetSql); }
    // A field of every row, as text.
    QStringList column(db::Connection& c, const QString& jetSql, const QString& field);
    QStringList column(const QString& jetSql, const QString& field) {
        return column(current(), jetSql, field);
    }
    // The serial numbers (ID1) of every row.
    QList<int> serials(const QString& jetSql);
    // Runs a native query and returns the first column of its first row.
    QVariant scalar(db::Connection& c, const QString& sql) { return c.queryValue(sql); }
    QVariant scalar(const QString& sql) { return current().queryValue(sql); }

private:
    std::unique_ptr<fx::test::ServerSpace> space_;
    QTemporaryDir dir_;
    std::unique_ptr<db::Connection> current_;
    std::unique_ptr<db::Connection> history_;
    std::unique_ptr<db::RowSet> rows_;
};

// The asset query every asset list is built on.
QString assetQuery();

}  // namespace fx::schema::test
