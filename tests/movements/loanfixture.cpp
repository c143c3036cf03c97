#include "loanfixture.h"

#include <QDir>
#include <QFile>

#include "clock.h"
#include "connection.h"
#include "prompt.h"

namespace fx::test {

void LoanTest::SetUp() {
    // A message no script expects fails the test instead of waiting for a click.
    ui::setPromptHandler([](const ui::PromptRequest& r) {
        ADD_FAILURE() << "unexpected message: " << r.caption.toStdString() << " | "
                      << r.text.toStdString();
        return QMessageBox::Ok;
    });
    Clock::set(QDateTime(today(), QTime(10, 0)));
    app = install.signedIn(QStringLiteral("仓管员"));
    const QDir share(QStringLiteral(FX_SHARE_DIR));
    for (const QString& file : share.entryList({QStringLiteral("std*")}, QDir::Files))
        QFile::copy(share.filePath(file), app->startDir + QLatin1Char('/') + file);

    db::Connection& c = *app->current;
    c.execute(QStringLiteral("update username set user='青石岭公司'"));
    c.execute(QStringLiteral("insert into person (pname,bm) values ('张三','办公室')"));
    c.execute(QStringLiteral("insert into person (pname,bm) values ('李四','财务科')"));
    c.execute(
        QStringLiteral("insert into sbjl (id,num,zclb,sbmc,sbxh,sbpz,worp,wz) values "
                       "('JSJ',1,'电脑','电脑','X1','i5 8G',true,'办公室')"));
    c.execute(
        QStringLiteral("insert into sbjl (id,num,zclb,sbmc,sbxh,worp,wz) values "
                       "('JSJ',2,'电脑','打印机','',true,'办公室')"));
}

void LoanTest::TearDown() {
    ui::setPromptHandler({});
    Clock::set(QDateTime());
}

QVariant LoanTest::currentValue(const QString& sql) const {
    return app->current->queryValue(sql);
}

QVariant LoanTest::historyValue(const QString& sql) const {
    return app->history->queryValue(sql);
}

int LoanTest::historyCount(int id) const {
    return historyValue(QStringLiteral("select count(*) from jyjlb where id=%1").arg(id)).toInt();
}

}  // namespace fx::test
