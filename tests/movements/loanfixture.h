#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QString>
#include <memory>

#include "appstate.h"
#include "testinstallation.h"

namespace fx::test {

// A fresh installation signed in as 仓管员 with every right, the clock fixed at 2024-06-15,
// the results window's layouts installed, persons 张三 and 李四 and two assets: 1 (JSJ-1 电脑)
// and 2 (JSJ-2 打印机).
class LoanTest : public ::testing::Test {
protected:
    static QDate today() { return QDate(2024, 6, 15); }

    void SetUp() override;
    void TearDown() override;

    // Values of the database, for the checks.
    QVariant currentValue(const QString& sql) const;
    QVariant historyValue(const QString& sql) const;
    int historyCount(int id) const;

    TestInstallation install;
    std::unique_ptr<AppState> app;
};

}  // namespace fx::test
