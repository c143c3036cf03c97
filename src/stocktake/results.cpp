#include "results.h"

#include <QHash>
#include <algorithm>

#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::stocktake {

namespace {

struct FirstFind {
    QString place;
    QString time;
    bool misplaced = false;
};

// The first find of every asset found, by serial.
QHash<int, FirstFind> firstFinds(db::Connection& c, int stocktakeId) {
    db::RowSet r(c, QStringLiteral("select sid, dd, jg, smsj from pdsm where pdid=%1 and jg in "
                                   "('已盘点','位置不符') order by smid")
                        .arg(stocktakeId));
    r.open();
    QHash<int, FirstFind> finds;
    finds.reserve(r.count());
    for (; !r.eof(); r.next()) {
        const int sid = r.integer(QStringLiteral("sid"));
        if (finds.contains(sid)) continue;
        finds.insert(sid, {r.text(QStringLiteral("dd")), r.text(QStringLiteral("smsj")),
                           r.text(QStringLiteral("jg")) == QStringLiteral("位置不符")});
    }
    return finds;
}

std::vector<SurplusLine> surplusLines(db::Connection& c, int stocktakeId) {
    db::RowSet r(c, QStringLiteral("select code, dd, smsj, czy, bz from pdsm where pdid=%1 and "
                                   "jg='账外资产' order by smid")
                        .arg(stocktakeId));
    r.open();
    std::vector<SurplusLine> out;
    for (; !r.eof(); r.next())
        out.push_back({r.text(QStringLiteral("code")), r.text(QStringLiteral("dd")),
                       r.text(QStringLiteral("smsj")), r.text(QStringLiteral("czy")),
                       r.text(QStringLiteral("bz"))});
    return out;
}

// Asset-number order: the prefix, then the tail as a number (JSJ-9 before JSJ-10).
bool byNumber(const AssetLine& a, const AssetLine& b) {
    const qsizetype da = a.number.lastIndexOf(QLatin1Char('-')) + 1;
    const qsizetype db = b.number.lastIndexOf(QLatin1Char('-')) + 1;
    const int byPrefix = QStringView(a.number).left(da).compare(QStringView(b.number).left(db));
    if (byPrefix != 0) return byPrefix < 0;
    return QStringView(a.number).mid(da).toLongLong() < QStringView(b.number).mid(db).toLongLong();
}

int monthsInUse(const QDate& bought, const QDate& today) {
    if (!bought.isValid()) return 0;
    return (today.year() - bought.year()) * 12 + today.month() - bought.month();
}

}  // namespace

Results results(db::Connection& c, int stocktakeId, const QDate& today) {
    const QHash<int, FirstFind> finds = firstFinds(c, stocktakeId);
    // The snapshot with what the register holds today for the figures.
    db::RowSet r(c, QStringLiteral("select m.sid, m.bh, m.sbmc, m.worp, m.wz, m.bgr, m.dd, m.gz, "
                                   "s.ID1 as live, s.sbxh, s.zclb, s.gmrq, s.gmjg, s.ybf, "
                                   "(select yue from syq where qx=s.bxq) as yue, "
                                   "(select cz from sortproc where sort=s.zclb) as cz "
                                   "from pdmx m left join sbjl s on s.ID1=m.sid where m.pdid=%1 "
                                   "order by m.sid")
                        .arg(stocktakeId));
    r.open();
    Results out;
    for (; !r.eof(); r.next()) {
        AssetLine a;
        a.serial = r.integer(QStringLiteral("sid"));
        a.number = r.text(QStringLiteral("bh"));
        a.name = r.text(QStringLiteral("sbmc"));
        a.byLocation = r.yesNo(QStringLiteral("worp"));
        a.place = r.text(QStringLiteral("wz"));
        a.custodian = r.text(QStringLiteral("bgr"));
        a.expectedPlace = r.text(QStringLiteral("dd"));
        a.followUp = r.text(QStringLiteral("gz"));
        a.deleted = r.isNull(QStringLiteral("live"));
        if (!a.deleted) {
            a.model = r.text(QStringLiteral("sbxh"));
            a.category = r.text(QStringLiteral("zclb"));
            a.value = reports::windowFigures(r.number(QStringLiteral("gmjg")),
                                             monthsInUse(r.date(QStringLiteral("gmrq")), today),
                                             r.integer(QStringLiteral("yue")),
                                             r.integer(QStringLiteral("cz")),
                                             r.yesNo(QStringLiteral("ybf")));
        }
        const auto f = finds.constFind(a.serial);
        if (f == finds.cend()) {
            out.missingOriginal += a.value.original;
            out.missingNet += a.value.net;
            out.missing.push_back(std::move(a));
            continue;
        }
        a.foundPlace = f->place;
        a.scanTime = f->time;
        (f->misplaced ? out.misplaced : out.found).push_back(std::move(a));
    }
    for (auto* list : {&out.found, &out.missing, &out.misplaced})
        std::stable_sort(list->begin(), list->end(), byNumber);
    out.surplus = surplusLines(c, stocktakeId);
    return out;
}

void setFollowUp(db::Connection& c, int stocktakeId, const std::vector<int>& serials,
                 const QString& remark) {
    db::Transaction t(c);
    for (int serial : serials)
        c.executeNative(QStringLiteral("update pdmx set gz=%1 where pdid=%2 and sid=%3")
                            .arg(db::quoted(remark.trimmed()))
                            .arg(stocktakeId)
                            .arg(serial));
    t.commit();
}

}  // namespace fx::stocktake
