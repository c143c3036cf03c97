#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QDateTime>
#include <QTemporaryDir>
#include <memory>

#include "connection.h"

namespace fx::stocktake::test {

// A current database of the first layout lifted by the migration, in a temporary folder, with a
// small register:
//
//  ID1 number  name      kept      place/user  custodian  department of the user  price  bought
//  1   JSJ-1   台式电脑  location  财务处      张三                               5000   2024-01-10
//  2   JSJ-2   笔记本    location  财务处      张三                               8000   2023-06-01
//  3   JSJ-3   台式电脑  location  教务处      李四                               4000   2024-01-10
//  4   BGZ-1   办公桌    person    张三        张三       财务处                  1200   2020-03-05
//  5   BGZ-2   办公桌    location  财务处                 (scrapped)              600    2010-01-01
//  6   SBQ-1   示波器    location  301室       王五                               20000  2022-02-01
//
// The places 财务处 and 教务处 are departments; 301室 is a room. 电脑 has a life of 5年 (60
// months) and a residual rate of 5 %; 家具 10年 and 0 %; 仪器 has no life row.
class StocktakeTest : public ::testing::Test {
protected:
    static const QString kPassword;
    static const QDate kToday;

    void SetUp() override;

    db::Connection& db() { return *db_; }
    QString path() const { return dir_.filePath(QStringLiteral("gdzc.qsk")); }
    // A second connection to the same file, as another workstation has.
    std::unique_ptr<db::Connection> openAnother() const;
    QDateTime at(int minute) const { return QDateTime(kToday, QTime(10, minute)); }
    int scalar(const QString& sql) { return db_->queryValue(sql).toInt(); }
    QString text(const QString& sql) { return db_->queryValue(sql).toString(); }

    QTemporaryDir dir_;
    std::unique_ptr<db::Connection> db_;
};

// Fills the register above into a database of the current layout.
void fillRegister(db::Connection& c);

}  // namespace fx::stocktake::test
