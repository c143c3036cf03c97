#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "columnlayout.h"
#include "connection.h"
#include "demodictionary.h"
#include "demoregister.h"
#include "depreciation.h"
#include "importstore.h"
#include "resulttable.h"
#include "rowset.h"
#include "schema.h"
#include "sourcefile.h"
#include "xlsxexport.h"

namespace fx::import {
namespace {

const QString kPassword = QStringLiteral("round-trip-key");

struct Installation {
    Installation() {
        const QString data = dir.filePath(QStringLiteral("data")) + QLatin1Char('/');
        QDir().mkpath(data);
        schema::createDatabases(data, kPassword);
        current = db::Connection::open(data + QLatin1String(schema::kCurrentFile), kPassword);
        history = db::Connection::open(data + QLatin1String(schema::kHistoryFile),
                                       QString::fromLatin1(schema::kHistoryPassword));
    }
    QTemporaryDir dir;
    std::unique_ptr<db::Connection> current;
    std::unique_ptr<db::Connection> history;
};

// Every stored field of every asset, in serial order, one line each.
QStringList assets(db::Connection& c) {
    db::RowSet r(c, QStringLiteral("select * from sbjl order by ID1"));
    r.open();
    QStringList lines;
    for (; !r.eof(); r.next()) {
        QStringList f;
        for (const char* name : {"id", "num", "zclb", "sbmc", "sbxh", "sbpz", "yt", "worp", "wz",
                                 "bgr", "ly", "bxq", "gmrq", "pzrq", "other", "ybf"})
            f << r.value(QString::fromLatin1(name)).toString();
        f << QString::number(r.number(QStringLiteral("gmjg")), 'f', 2);
        lines << f.join(u'|');
    }
    return lines;
}

// Writes what the results window's "导出" writes for the asset query with the installed
// default column layout.
void exportRegister(db::Connection& c, const QString& path) {
    query::ColumnList columns;
    QString error;
    ASSERT_TRUE(query::readLayoutFile(QStringLiteral(FX_SHARE_DIR "/stdcxjg"), &columns, &error))
        << error.toStdString();
    query::ResultTable table;
    table.load(c, reports::kAssetQuery + QStringLiteral(" order by ID1 asc"));
    std::vector<int> fields;
    query::SheetSource sheet;
    for (const query::LayoutColumn& col : columns) {
        if (!col.visible) continue;
        sheet.titles << col.title;
        fields.push_back(table.fieldIndex(col.field));
    }
    sheet.rowCount = table.rowCount();
    sheet.cell = [&](int row, int column) {
        const int f = fields[std::size_t(column)];
        return f < 0 ? QString() : table.displayText(row, f);
    };
    ASSERT_TRUE(query::writeWorkbook(path, sheet, &error)) << error.toStdString();
}

TEST(ImportRoundTrip, AnExportedRegisterImportsIntoAFreshInstallationAsTheSameAssets) {
    Installation source;
    admin::writeDemoDictionary(*source.current);
    admin::writeDemoRegister(admin::generateDemoRegister(300, QDate(2024, 6, 15)), *source.current,
                             *source.history);
    const QString file = source.dir.filePath(QStringLiteral("register.xlsx"));
    exportRegister(*source.current, file);

    Installation fresh;
    const ImportResult r = runImport(*fresh.current, readSheet(file), {});
    EXPECT_TRUE(r.plan.allAccepted());
    for (const Problem& p : r.plan.problems)
        ADD_FAILURE() << p.row << " " << p.column.toStdString() << " " << p.message.toStdString();
    EXPECT_EQ(r.added, 300);
    const QStringList imported = assets(*fresh.current);
    const QStringList original = assets(*source.current);
    ASSERT_EQ(imported.size(), original.size());
    int differences = 0;
    for (int i = 0; i < original.size(); ++i)
        if (imported[i] != original[i] && ++differences <= 5)
            ADD_FAILURE() << "asset " << i + 1 << "\n  exported " << original[i].toStdString()
                          << "\n  imported " << imported[i].toStdString();
    EXPECT_EQ(differences, 0);

    // Every asset is in the asset query, so each has the dictionary rows it needs, and every
    // prefix is registered with its highest number.
    EXPECT_EQ(fresh.current
                  ->queryValue(QStringLiteral("select count(*) from sbjl,syq,sortproc where "
                                              "sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort"))
                  .toInt(),
              300);
    EXPECT_EQ(
        fresh.current
            ->queryValue(QStringLiteral("select count(*) from sbjl where not exists (select 1 "
                                        "from sortb where sortb.name=sbjl.sbmc and "
                                        "sortb.sort=sbjl.zclb and sortb.wzorgr=sbjl.worp)"))
            .toInt(),
        0);
    EXPECT_EQ(fresh.current
                  ->queryValue(QStringLiteral("select count(*) from idupper where max<>(select "
                                              "max(num) from sbjl where sbjl.id=idupper.idup)"))
                  .toInt(),
              0);
    EXPECT_EQ(fresh.current->queryValue(QStringLiteral("select count(*) from idupper")),
              source.current->queryValue(QStringLiteral("select count(distinct id) from sbjl")));
}

}  // namespace
}  // namespace fx::import
