#pragma once

#include <QString>
#include <QtGlobal>

// Straight-line depreciation over calendar months. Nothing of it is stored: every asset list
// works it out from the purchase price gmjg, the months in use ynum, the life in months yue of
// the asset's life class, the residual rate cz (percent) of its category and the scrapped flag
// ybf, all carried as columns by the asset query below.
namespace fx::reports {

// The asset query every asset list and report is built on. Inner joins: an asset whose life
// class or category is missing from the dictionary is in no list.
inline const QString kAssetQuery = QStringLiteral(
    "select (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq) AS ynum,"
    "(sbjl.id+TRIM(STR(sbjl.num))) AS bh,sbjl.*,syq.yue,sortproc.cz from sbjl,syq,sortproc "
    "where sbjl.bxq=syq.qx and sbjl.zclb=sortproc.sort");

// The condition of "已过使用年限": months in use strictly above the life; scrapping plays no
// part in it.
inline const QString kPastServiceLifeCondition =
    QStringLiteral(" and (YEAR(NOW())-YEAR(gmrq))*12+MONTH(NOW())-MONTH(gmrq)>syq.yue");

// The report expressions, evaluated by the report engine on each record. Every report uses
// these texts unchanged. Fully depreciated means (ynum>yue) Or ybf.
inline const QString kDepreciationCell = QStringLiteral(
    "FORMATNUMERIC('0.00',IF((ynum>yue) Or ybf,gmjg*(100-cz)/100,gmjg*ynum*(100-cz)/yue/100))");
inline const QString kNetValueCell = QStringLiteral(
    "FORMATNUMERIC('0.00',IF((ynum>yue) Or ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/100))");
inline const QString kTotalDepreciationLine = QStringLiteral(
    "'总计折旧：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or ybf,gmjg*(100-cz)/100,"
    "gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'");
inline const QString kTotalNetValueLine = QStringLiteral(
    "'总计净值：'+FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or ybf,gmjg*cz/100,"
    "gmjg-gmjg*ynum*(100-cz)/yue/100)))+'元(RMB)'");
inline const QString kOriginalValueCell = QStringLiteral("FORMATNUMERIC('0.00',gmjg)");
inline const QString kOriginalValueTotal = QStringLiteral("FORMATNUMERIC('0.00',SUM(gmjg))");
inline const QString kNetValueTotal = QStringLiteral(
    "FORMATNUMERIC('0.00',SUM(IF((ynum>yue) Or ybf,gmjg*cz/100,gmjg-gmjg*ynum*(100-cz)/yue/"
    "100)))");

// The value of one asset in whole cents (fen), as the query results window shows it: exact
// decimal arithmetic, truncated toward zero where the reports round.
struct ValueFigures {
    qint64 original = 0;      // 原值
    qint64 depreciation = 0;  // 折旧, accumulated
    qint64 net = 0;           // 净值; always original - depreciation
};

// A price in yuan as the database holds it (a double with two decimals) in whole cents:
// 0.29 is 29, not 28.
qint64 toCents(double yuan);

// The window's figures for price `price` (yuan), `months` in use, a life of `lifeMonths`, a
// residual rate of `ratePercent` and the scrapped flag. Within its life and not scrapped the
// asset has lost trunc((100-cz)*ynum*price/yue) cents; otherwise it keeps trunc(cz*price) cents.
// A life of 0 months or less counts as over: such an asset is fully depreciated instead of
// dividing by zero. A negative months (bought in a later month) gives a negative depreciation.
ValueFigures windowFigures(double price, int months, int lifeMonths, int ratePercent,
                           bool scrapped);

// An amount of cents as the window writes it: "%d.%02d" of its absolute value, with a leading
// "-" when negative ("205.83", "-0.05").
QString centsText(qint64 cents);

// The three lines of the results window: "原值：1000.00元", "折旧：205.83元", "净值：794.17元".
QString originalValueLine(const ValueFigures& f);
QString depreciationLine(const ValueFigures& f);
QString netValueLine(const ValueFigures& f);

// The per-user option zjxs: 1 hides every depreciation figure for that user.
inline bool depreciationHidden(int zjxs) {
    return zjxs == 1;
}

}  // namespace fx::reports
