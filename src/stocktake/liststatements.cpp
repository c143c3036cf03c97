#include "liststatements.h"

#include <cmath>

#include "connection.h"
#include "rowset.h"

namespace fx::stocktake {

namespace {

// An asset of the snapshot counts as found by its first scan of a found kind (one per asset:
// a second find is recorded as 重复扫描 inside the scan's transaction).
const QString kFirstFind = QStringLiteral(
    "(select min(smid) from pdsm where pdid=m.pdid and sid=m.sid and jg in ('已盘点','位置不符'))");

// The columns every asset list starts with.
const QString kAssetColumns = QStringLiteral(
    "sbjl.ID1 AS ID1,m.sid AS sid,m.bh AS bh,m.sbmc AS sbmc,NZ(sbjl.sbxh,'') AS sbxh,"
    "IIF(m.worp,m.wz,m.wz+'（使用者）') AS zmwz,m.bgr AS bgr");

// The net value in cents, exactly as the results window's figures have it: within its life
// and not scrapped an asset has lost trunc((100-cz)*months*price/(100*life)) cents, otherwise it
// keeps trunc(cz*price/100) cents. Integer arithmetic throughout, as the window's.
QString netCents(const QString& price, const QString& months, const QString& life,
                 const QString& rate) {
    return QStringLiteral(
               "IIF(NZ(sbjl.ybf,0)=0 and %3>0 and %2<%3,"
               "%1-(100-%4)*%2*%1/(100*%3),%4*%1/100)")
        .arg(price, months, life, rate);
}

QString foundList(int stocktakeId, const QString& result) {
    return QStringLiteral(
               "select %1,s.dd AS pdwz,NZ(sbjl.wz,'') AS xwz,s.smsj AS smsj from (pdmx m inner "
               "join pdsm s "
               "on s.smid=%2) left join sbjl on sbjl.ID1=m.sid where m.pdid=%3 and "
               "s.jg='%4'")
        .arg(kAssetColumns, kFirstFind, QString::number(stocktakeId), result);
}

QString missingList(int stocktakeId, const QDate& today) {
    const QString day = today.toString(QStringLiteral("#yyyy-MM-dd#"));
    const QString price = QStringLiteral("CAST(ROUND(NZ(sbjl.gmjg,0)*100) AS INTEGER)");
    const QString months =
        QStringLiteral("NZ((YEAR(%1)-YEAR(sbjl.gmrq))*12+MONTH(%1)-MONTH(sbjl.gmrq),0)").arg(day);
    const QString life = QStringLiteral("NZ((select yue from syq where qx=sbjl.bxq),0)");
    const QString rate = QStringLiteral("NZ((select cz from sortproc where sort=sbjl.zclb),0)");
    return QStringLiteral(
               "select %1,%2/100.0 AS yz,%3/100.0 AS jz,"
               "IIF(sbjl.ID1 is null,'（已从账上删除）'+m.gz,m.gz) AS gz "
               "from pdmx m left join sbjl on sbjl.ID1=m.sid where m.pdid=%4 and not "
               "exists (select smid from pdsm where pdid=m.pdid and sid=m.sid and jg in "
               "('已盘点','位置不符'))")
        .arg(kAssetColumns, price, netCents(price, months, life, rate),
             QString::number(stocktakeId));
}

}  // namespace

QString listStatement(ResultList list, int stocktakeId, const QDate& today) {
    switch (list) {
        case ResultList::Found:
            return foundList(stocktakeId, QStringLiteral("已盘点"));
        case ResultList::Misplaced:
            return foundList(stocktakeId, QStringLiteral("位置不符"));
        case ResultList::Missing:
            return missingList(stocktakeId, today);
        case ResultList::Surplus:
            break;
    }
    return QStringLiteral(
               "select smid AS smid,code AS code,dd AS fxwz,smsj AS smsj,czy AS czy,"
               "bz AS bz from pdsm where pdid=%1 and jg='账外资产'")
        .arg(stocktakeId);
}

ValueTotals missingTotals(db::Connection& c, int stocktakeId, const QDate& today) {
    db::RowSet r(c, QStringLiteral("select sum(yz) as yz, sum(jz) as jz from (%1)")
                        .arg(listStatement(ResultList::Missing, stocktakeId, today)));
    r.open();
    // Sums of amounts of whole cents, back to whole cents.
    return {std::llround(r.number(QStringLiteral("yz")) * 100.0),
            std::llround(r.number(QStringLiteral("jz")) * 100.0)};
}

}  // namespace fx::stocktake
