#include "scan.h"

#include <QRegularExpression>

#include "connection.h"
#include "dberror.h"
#include "quote.h"
#include "rowset.h"
#include "stocktake.h"

namespace fx::stocktake {

namespace {

// The results that count an asset of the snapshot as found.
const QString kFoundResults = QStringLiteral("('已盘点','位置不符')");

int scalar(db::Connection& c, const QString& sql) {
    return c.queryValue(sql).toInt();
}

// The ended stocktake refuses scans and their undo.
void requireOpen(db::Connection& c, int stocktakeId) {
    const Stocktake s = byId(c, stocktakeId);
    if (!s.isOpen()) throw db::DbError(endedMessage(s.name));
}

// The serial number of the register's asset with this number, 0 when there is none. A number is
// the prefix ending with "-" followed by the decimal tail.
int registerSerial(db::Connection& c, const QString& number) {
    const qsizetype dash = number.lastIndexOf(QLatin1Char('-'));
    if (dash < 0) return 0;
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    const QString tailText = number.mid(dash + 1);
    if (!digits.match(tailText).hasMatch()) return 0;
    const int tail = tailText.toInt();
    return scalar(c, QStringLiteral("select ID1 from sbjl where id=%1 and num=%2")
                         .arg(db::quoted(number.left(dash + 1)))
                         .arg(tail));
}

}  // namespace

QString resultText(ScanResult r) {
    switch (r) {
        case ScanResult::Found:
            return QStringLiteral("已盘点");
        case ScanResult::Misplaced:
            return QStringLiteral("位置不符");
        case ScanResult::Duplicate:
            return QStringLiteral("重复扫描");
        case ScanResult::OutOfScope:
            return QStringLiteral("不在盘点范围");
        case ScanResult::Surplus:
            return QStringLiteral("账外资产");
        case ScanResult::Deleted:
            return QStringLiteral("已删除");
    }
    return QString();
}

QString countsText(const Counts& c) {
    return QStringLiteral("应盘 %1 / 已盘 %2 / 位置不符 %3 / 账外 %4")
        .arg(c.expected)
        .arg(c.found)
        .arg(c.misplaced)
        .arg(c.surplus);
}

Counts counts(db::Connection& c, int stocktakeId) {
    // Rows of a found kind are one per asset (a second find is recorded as 重复扫描, judged inside
    // the scan's transaction), and one per surplus code likewise, so counting rows on the index
    // is exact.
    const QString id = QString::number(stocktakeId);
    const auto rows = [&](const char* result) {
        return scalar(c, QStringLiteral("select count(*) from pdsm where pdid=%1 and jg='%2'")
                             .arg(id, QString::fromUtf8(result)));
    };
    Counts n;
    n.expected = scalar(c, QStringLiteral("select ys from pdrw where pdid=") + id);
    n.misplaced = rows("位置不符");
    n.found = rows("已盘点") + n.misplaced;
    n.surplus = rows("账外资产");
    return n;
}

std::optional<QString> placeOfLabel(const QString& code) {
    const QString t = code.trimmed();
    for (const QString& prefix : {QStringLiteral("位置:"), QStringLiteral("位置：")})
        if (t.startsWith(prefix)) return t.mid(prefix.size()).trimmed();
    return std::nullopt;
}

ScanOutcome recordScan(db::Connection& c, int stocktakeId, const QString& code,
                       const QString& place, const QString& operatorName, const QDateTime& when) {
    const QString typed = code.trimmed();
    if (typed.isEmpty()) throw db::DbError(QStringLiteral("扫描的编号是空的。"));
    // Prefixes are upper case: a number typed in lower case still names its asset.
    const QString number = typed.toUpper();
    const QString id = QString::number(stocktakeId);

    db::Transaction t(c);
    requireOpen(c, stocktakeId);
    ScanOutcome out;
    out.number = typed;
    out.foundPlace = place;

    // The register's asset first (so "JSJ-01" is JSJ-1), then the snapshot's number (an asset
    // deleted, or renumbered, since the stocktake was made).
    const int registered = registerSerial(c, number);
    db::RowSet snap(c, registered > 0
                           ? QStringLiteral("select sid, bh, sbmc, dd from pdmx where pdid=%1 and "
                                            "sid=%2")
                                 .arg(id)
                                 .arg(registered)
                           : QStringLiteral("select sid, bh, sbmc, dd from pdmx where pdid=%1 and "
                                            "bh=%2")
                                 .arg(id, db::quoted(number)));
    snap.open();
    if (!snap.eof()) {
        out.serial = snap.integer(QStringLiteral("sid"));
        out.number = snap.text(QStringLiteral("bh"));
        out.name = snap.text(QStringLiteral("sbmc"));
        out.expectedPlace = snap.text(QStringLiteral("dd"));
        const QString serial = QString::number(out.serial);
        if (registered == 0 &&
            scalar(c, QStringLiteral("select count(*) from sbjl where ID1=") + serial) == 0)
            out.result = ScanResult::Deleted;
        else if (scalar(c, QStringLiteral("select count(*) from pdsm where pdid=%1 and sid=%2 "
                                          "and jg in %3")
                               .arg(id, serial, kFoundResults)) > 0)
            out.result = ScanResult::Duplicate;
        else if (!place.isEmpty() && place != out.expectedPlace)
            out.result = ScanResult::Misplaced;
        else
            out.result = ScanResult::Found;
    } else if (registered > 0) {
        out.serial = registered;
        out.result = ScanResult::OutOfScope;
        db::RowSet asset(c, QStringLiteral("select id, num, sbmc, wz from sbjl where ID1=") +
                                QString::number(registered));
        asset.open();
        out.number = asset.text(QStringLiteral("id")) +
                     QString::number(asset.integer(QStringLiteral("num")));
        out.name = asset.text(QStringLiteral("sbmc"));
        out.expectedPlace = asset.text(QStringLiteral("wz"));
    } else {
        out.result = scalar(c, QStringLiteral("select count(*) from pdsm where pdid=%1 and "
                                              "jg='账外资产' and code=%2")
                                   .arg(id, db::quoted(typed))) > 0
                         ? ScanResult::Duplicate
                         : ScanResult::Surplus;
    }
    c.executeNative(QStringLiteral("insert into pdsm (pdid, code, sid, dd, jg, smsj, czy) values "
                                   "(%1, %2, %3, %4, %5, %6, %7)")
                        .arg(id, db::quoted(typed), QString::number(out.serial), db::quoted(place),
                             db::quoted(resultText(out.result)),
                             db::quoted(when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))),
                             db::quoted(operatorName)));
    out.scanId = c.lastInsertId();
    t.commit();
    return out;
}

void describeSurplus(db::Connection& c, qint64 scanId, const QString& description) {
    db::Transaction t(c);
    c.executeNative(QStringLiteral("update pdsm set bz=%1 where smid=%2")
                        .arg(db::quoted(description.trimmed()))
                        .arg(scanId));
    t.commit();
}

void undoScan(db::Connection& c, int stocktakeId, qint64 scanId) {
    db::Transaction t(c);
    requireOpen(c, stocktakeId);
    c.executeNative(
        QStringLiteral("delete from pdsm where smid=%1 and pdid=%2").arg(scanId).arg(stocktakeId));
    t.commit();
}

}  // namespace fx::stocktake
