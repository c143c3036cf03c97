#pragma once

#include <gtest/gtest.h>

#include <QDate>
#include <QString>
#include <memory>

#include "demoregister.h"
#include "qstringprint.h"
#include "querystate.h"
#include "testinstallation.h"

namespace fx::test {

// One asset of the small register the window tests use.
struct KnownAsset {
    const char* prefix;
    int num;
    const char* category;
    const char* name;
    const char* life;
    QDate bought;
    double price;
    bool worp = true;
    bool scrapped = false;
    const char* place = "办公室";
    const char* custodian = "";
};

// A fresh installation signed in as 仓管员 with the transfer right, both connections open, the
// program clock fixed at 2024-06-15 and the default layout files installed in the start
// directory, as the installer puts them.
class QueryTest : public ::testing::Test {
protected:
    static QDate today() { return QDate(2024, 6, 15); }

    void SetUp() override;
    void TearDown() override;

    // A small dictionary (电脑 cz 5, 家具 cz 5, 房屋 cz 100; lives 5年 60 and 3年 36 months)
    // and assets; returns their ID1 in order.
    std::vector<int> addKnownAssets(const std::vector<KnownAsset>& assets);
    // The twelve assets most window tests use: JSJ-1..JSJ-10 and JJ-1, JJ-2 with prices 100.00
    // to 1200.00 in a scrambled order, some kept by a person (worp false).
    std::vector<int> addStandardAssets();
    // The demonstration dictionary and register with the given number of assets.
    const admin::DemoRegister& addDemoRegister(int assets);

    TestInstallation install;
    std::unique_ptr<AppState> app;
    query::QueryState state;
    admin::DemoRegister demo;
};

}  // namespace fx::test
