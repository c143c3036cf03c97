#include "queryfixture.h"

#include <QDir>
#include <QFile>

#include "clock.h"
#include "connection.h"
#include "demodictionary.h"
#include "modal.h"
#include "prompt.h"
#include "quote.h"

namespace fx::test {

void QueryTest::SetUp() {
    // A message no script expects fails the test instead of waiting for a click.
    ui::setPromptHandler([](const ui::PromptRequest& r) {
        ADD_FAILURE() << "unexpected message: " << r.caption.toStdString() << " | "
                      << r.text.toStdString();
        return QMessageBox::Ok;
    });
    Clock::set(QDateTime(today(), QTime(10, 0)));
    app = install.signedIn(QStringLiteral("仓管员"));
    app->rights.db = true;
    // The installer copies share/ into the installation; the layouts are all these tests need.
    const QDir share(QStringLiteral(FX_SHARE_DIR));
    for (const QString& file : share.entryList({QStringLiteral("std*")}, QDir::Files)) {
        QFile::copy(share.filePath(file), app->startDir + QLatin1Char('/') + file);
    }
}

void QueryTest::TearDown() {
    ui::setPromptHandler({});
    ui::setFileHandler({});
    ui::setOpenHandler({});
    Clock::set(QDateTime());
}

std::vector<int> QueryTest::addKnownAssets(const std::vector<KnownAsset>& assets) {
    db::Connection& c = *app->current;
    if (c.queryValue(QStringLiteral("select count(*) from syq")).toInt() == 0) {
        c.execute(QStringLiteral("insert into syq (qx,yue) values ('5年',60)"));
        c.execute(QStringLiteral("insert into syq (qx,yue) values ('3年',36)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('电脑','JSJ',5)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('家具','JJ',5)"));
        c.execute(QStringLiteral("insert into sortproc (sort,title,cz) values ('房屋','FW',100)"));
    }
    std::vector<int> ids;
    for (const KnownAsset& a : assets) {
        c.execute(
            QStringLiteral("insert into sbjl (id,num,zclb,sbmc,bxq,gmrq,gmjg,worp,ybf,wz,bgr) "
                           "values (%1,%2,%3,%4,%5,%6,%7,%8,%9,%10,%11)")
                .arg(db::quoted(QString::fromUtf8(a.prefix)))
                .arg(a.num)
                .arg(db::quoted(QString::fromUtf8(a.category)),
                     db::quoted(QString::fromUtf8(a.name)), db::quoted(QString::fromUtf8(a.life)),
                     db::jetDate(a.bought))
                .arg(a.price, 0, 'f', 2)
                .arg(a.worp ? QStringLiteral("true") : QStringLiteral("false"),
                     a.scrapped ? QStringLiteral("true") : QStringLiteral("false"),
                     db::quoted(QString::fromUtf8(a.place)),
                     db::quoted(QString::fromUtf8(a.custodian))));
        ids.push_back(int(c.lastInsertId()));
    }
    return ids;
}

std::vector<int> QueryTest::addStandardAssets() {
    const QDate d(2023, 5, 10);  // 13 months before today
    return addKnownAssets({
        {"JSJ-", 1, "电脑", "台式计算机", "5年", d, 1000.00, true},
        {"JSJ-", 2, "电脑", "台式计算机", "5年", d, 300.00, false, false, "王建国"},
        {"JSJ-", 3, "电脑", "打印机", "5年", d, 1200.00, true},
        {"JSJ-", 4, "电脑", "打印机", "5年", d, 100.00, true, true},
        {"JSJ-", 5, "电脑", "笔记本电脑", "3年", d, 700.00, false, false, "李秀英"},
        {"JSJ-", 6, "电脑", "笔记本电脑", "3年", d, 500.00, false, false, "张伟"},
        {"JSJ-", 7, "电脑", "台式计算机", "5年", d, 900.00, true},
        {"JSJ-", 8, "电脑", "台式计算机", "5年", d, 200.00, true},
        {"JSJ-", 9, "电脑", "台式计算机", "5年", d, 1100.00, true},
        {"JSJ-", 10, "电脑", "台式计算机", "5年", d, 400.00, true},
        {"JJ-", 1, "家具", "办公桌", "5年", d, 600.00, true},
        {"JJ-", 2, "家具", "办公椅", "5年", d, 800.00, false, false, "王建国"},
    });
}

const admin::DemoRegister& QueryTest::addDemoRegister(int assets) {
    {
        db::Transaction tx(*app->current);
        admin::writeDemoDictionary(*app->current);
        tx.commit();
    }
    demo = admin::generateDemoRegister(assets, today());
    admin::writeDemoRegister(demo, *app->current, *app->history);
    return demo;
}

}  // namespace fx::test
