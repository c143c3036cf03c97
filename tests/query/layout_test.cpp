#include <gtest/gtest.h>

#include "qstringprint.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "columnlayout.h"
#include "resultkind.h"

namespace fx::query {
namespace {

using A = LayoutColumn::Align;

QString writeText(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text);
    return path;
}

TEST(LayoutFiles, WrittenWholeAndReadBack) {
    QTemporaryDir dir;
    const ColumnList columns = {
        {QStringLiteral("ID1"), QStringLiteral("序号"), 42, A::Center, true},
        {QStringLiteral("gmjg"), QStringLiteral("购买价格"), 95, A::Right, true},
        {QStringLiteral("ynum"), QStringLiteral("使用月数"), 60, A::Left, false},
    };
    QString error;
    ASSERT_TRUE(writeLayoutFile(dir.filePath(QStringLiteral("仓管员cx.cjg")), columns, &error))
        << error.toStdString();
    ColumnList read;
    ASSERT_TRUE(readLayoutFile(dir.filePath(QStringLiteral("仓管员cx.cjg")), &read, &error));
    EXPECT_EQ(read, columns);
    // Writing again replaces the whole list.
    ASSERT_TRUE(
        writeLayoutFile(dir.filePath(QStringLiteral("仓管员cx.cjg")), {columns[1]}, &error));
    ASSERT_TRUE(readLayoutFile(dir.filePath(QStringLiteral("仓管员cx.cjg")), &read, &error));
    EXPECT_EQ(read, ColumnList{columns[1]});
}

TEST(LayoutFiles, TabsInTitlesCannotBreakTheFile) {
    const ColumnList columns = {
        {QStringLiteral("sbmc"), QStringLiteral("名\t称\n"), 80, A::Left, true}};
    ColumnList read;
    ASSERT_TRUE(parseLayoutText(layoutText(columns), &read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].title, QStringLiteral("名 称 "));
}

TEST(LayoutFiles, CommentsAndBlankLinesAreSkipped) {
    ColumnList read;
    ASSERT_TRUE(parseLayoutText(QStringLiteral("# made by hand\n\n[fxasset columns 1]\r\n"
                                               "# the number\r\nID1\t序号\t42\tcenter\tshown\r\n"),
                                &read));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].align, A::Center);
}

TEST(LayoutFiles, DamagedFilesAreRefusedWhole) {
    const QString header = QStringLiteral("[fxasset columns 1]\n");
    const QString good = QStringLiteral("ID1\t序号\t42\tcenter\tshown\n");
    ColumnList read = builtInColumns();
    const ColumnList before = read;
    for (const QString& text : {
             QString(),                                                   // empty
             good,                                                        // no header
             header,                                                      // no column
             header + good + QStringLiteral("sbmc\t名称\t80\tleft\n"),    // four fields
             header + QStringLiteral("sbmc\t名称\twide\tleft\tshown\n"),  // width not a number
             header + QStringLiteral("sbmc\t名称\t0\tleft\tshown\n"),     // width 0
             header + QStringLiteral("sbmc\t名称\t80\tmiddle\tshown\n"),  // alignment
             header + QStringLiteral("sbmc\t名称\t80\tleft\tyes\n"),      // visibility
             header + QStringLiteral("\t名称\t80\tleft\tshown\n"),        // no field
             QStringLiteral("[fxasset columns 2]\n") + good,              // other version
         }) {
        EXPECT_FALSE(parseLayoutText(text, &read)) << text.toStdString();
        EXPECT_EQ(read, before);
    }
}

TEST(LayoutFiles, ReadFailuresSayWhy) {
    QTemporaryDir dir;
    ColumnList read;
    QString error;
    EXPECT_FALSE(readLayoutFile(dir.filePath(QStringLiteral("missing.cjg")), &read, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("不存在"))) << error.toStdString();
    const QString damaged = writeText(dir, QStringLiteral("bad.cjg"), "\xff\xfe garbage");
    EXPECT_FALSE(readLayoutFile(damaged, &read, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("损坏"))) << error.toStdString();
    EXPECT_FALSE(writeLayoutFile(dir.filePath(QStringLiteral("no/such/folder/x.cjg")),
                                 builtInColumns(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("不能写入"))) << error.toStdString();
}

TEST(LayoutFiles, BuiltInListIsTheAssetQueryArrangement) {
    const ColumnList columns = builtInColumns();
    QStringList fields, titles;
    for (const LayoutColumn& c : columns) {
        fields << c.field;
        titles << c.title;
    }
    EXPECT_EQ(fields.join(QLatin1Char(',')),
              QStringLiteral("ID1,sbmc,zclb,sbxh,wz,yt,bxq,gmrq,gmjg,sbpz"));
    EXPECT_EQ(titles.join(QLatin1Char(',')),
              QStringLiteral("序号,名称,资产类别,型号,位置(使用者),用途,使用年限,购买日期,购买价格,"
                             "设备配置"));
    EXPECT_EQ(columns[0].width, 42);
    EXPECT_EQ(columns[0].align, A::Center);
}

TEST(ResultKinds, FilesPerUserAndKind) {
    EXPECT_EQ(userLayoutPath(ResultKind::AssetQuery, QStringLiteral("/d/data/"),
                             QStringLiteral("仓管员")),
              QStringLiteral("/d/data/仓管员cx.cjg"));
    const char* users[] = {"cx.cjg",   "jc.cjg",   "wx.cjg",   "hiscx.cjg", "cwx.cjg", "cjc.cjg",
                           "czjl.cjg", "pdyp.cjg", "pdpk.cjg", "pdwz.cjg",  "pdpy.cjg"};
    const char* defaults[] = {"stdcxjg", "stdjcjg", "stdwxjg", "stdhisjg", "stdcwxjg", "stdcjcjg",
                              "stdczjg", "stdpdyp", "stdpdpk", "stdpdwz",  "stdpdpy"};
    for (int k = 0; k < 11; ++k) {
        const auto kind = static_cast<ResultKind>(k);
        EXPECT_EQ(userLayoutPath(kind, QStringLiteral("/d/"), QStringLiteral("u")),
                  QStringLiteral("/d/u") + QString::fromLatin1(users[k]));
        EXPECT_EQ(defaultLayoutPath(kind, QStringLiteral("/app/")),
                  QStringLiteral("/app/") + QString::fromLatin1(defaults[k]));
        EXPECT_EQ(defaultLayoutPath(kind, QStringLiteral("/app")),
                  QStringLiteral("/app/") + QString::fromLatin1(defaults[k]));
    }
}

TEST(ResultKinds, InstalledDefaultsReadAndStartWithTheirFirstTitle) {
    // The print slots need at least six columns for kind 3, eight for 1 and 2, nine for 5 and
    // ten for 4; the stocktake's lists print nine columns (five of the surplus codes).
    const int least[] = {10, 8, 8, 6, 10, 9, 7, 9, 9, 9, 5};
    for (int k = 0; k < 11; ++k) {
        const auto kind = static_cast<ResultKind>(k);
        ColumnList columns;
        QString error;
        ASSERT_TRUE(
            readLayoutFile(defaultLayoutPath(kind, QStringLiteral(FX_SHARE_DIR)), &columns, &error))
            << error.toStdString();
        EXPECT_GE(int(columns.size()), least[k]) << k;
        EXPECT_EQ(columns[0].title, QString::fromUtf8(traitsOf(kind).firstTitle)) << k;
    }
}

TEST(ResultKinds, OpeningStatementAndTitleOrder) {
    QueryState s;
    s.queryText = QStringLiteral("select * from sbjl");
    s.orderText = QStringLiteral(" order by gmjg desc");
    EXPECT_EQ(openingStatement(s), QStringLiteral("select * from sbjl order by gmjg desc"));
    const char* orders[] = {"",
                            " order by jcrq asc",
                            " order by sxrq asc",
                            " order by index asc",
                            " order by ID1,sxrq asc",
                            " order by jcrq asc,bz desc",
                            " order by index desc",
                            " order by sbjl.id asc,sbjl.num asc,bh asc",
                            " order by sbjl.id asc,sbjl.num asc,bh asc",
                            " order by sbjl.id asc,sbjl.num asc,bh asc",
                            " order by smid asc"};
    for (int k = 1; k < 11; ++k) {
        s.kind = static_cast<ResultKind>(k);
        EXPECT_EQ(openingStatement(s), s.queryText + QString::fromLatin1(orders[k]));
    }
    EXPECT_EQ(titleOrderBy(QStringLiteral("gmjg"), true), QStringLiteral(" order by gmjg asc"));
    EXPECT_EQ(titleOrderBy(QStringLiteral("gmjg"), false), QStringLiteral(" order by gmjg desc"));
    EXPECT_EQ(titleOrderBy(QStringLiteral("bh"), true),
              QStringLiteral(" order by sbjl.id asc,sbjl.num asc"));
    EXPECT_EQ(titleOrderBy(QStringLiteral("bh"), false),
              QStringLiteral(" order by sbjl.id desc,sbjl.num desc"));
}

TEST(ResultKinds, WhatEachKindAllows) {
    const bool pick[] = {true, true, false, false, true, false, false, true, true, true, false};
    const bool sort[] = {true, true, true, false, true, false, true, true, true, true, true};
    const bool history[] = {false, false, false, true,  false, true,
                            true,  false, false, false, false};
    for (int k = 0; k < 11; ++k) {
        const KindTraits& t = traitsOf(static_cast<ResultKind>(k));
        EXPECT_EQ(t.pickable, pick[k]) << k;
        EXPECT_EQ(t.sortable, sort[k]) << k;
        EXPECT_EQ(t.historyDatabase, history[k]) << k;
    }
}

}  // namespace
}  // namespace fx::query
