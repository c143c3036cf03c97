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
    explicit LoanTest(Engine engine = Engine::File) : install(engine) {}
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

// LoanTest on both engines: TEST_P on a fixture derived from it.
class LoanTestOnBothEngines : public ::testing::WithParamInterface<Engine>, public LoanTest {
protected:
    LoanTestOnBothEngines() : LoanTest(availableEngine(GetParam())) {}
    void SetUp() override {
        if (GetParam() == Engine::Server && serverConninfo().isEmpty()) {
            GTEST_SKIP() << "no test server: FX_TEST_PG is not set (scripts/test.sh starts one)";
        }
        LoanTest::SetUp();
    }
    bool onServer() const { return GetParam() == Engine::Server; }
};

}  // namespace fx::test
