#include "stocktake.h"

#include "connection.h"
#include "dberror.h"
#include "quote.h"
#include "rowset.h"

namespace fx::stocktake {

namespace {

QString kindName(ScopeKind kind) {
    switch (kind) {
        case ScopeKind::Whole:
            return QStringLiteral("全部");
        case ScopeKind::Department:
            return QStringLiteral("部门");
        case ScopeKind::Place:
            return QStringLiteral("位置");
        case ScopeKind::Category:
            return QStringLiteral("类别");
        case ScopeKind::Serials:
            return QStringLiteral("查询结果");
    }
    return QString();
}

// The condition on sbjl (alias s) of the assets in scope.
QString scopeCondition(const Scope& scope) {
    const QString v = db::quoted(scope.value);
    switch (scope.kind) {
        case ScopeKind::Whole:
            return QStringLiteral("1=1");
        case ScopeKind::Department:
            // As the summary by department counts: a location that is the department, or a holder
            // who belongs to it.
            return QStringLiteral(
                       "((s.worp<>0 and s.wz=%1) or (s.worp=0 and s.wz in "
                       "(select pname from person where bm=%1)))")
                .arg(v);
        case ScopeKind::Place:
            return QStringLiteral("(s.worp<>0 and s.wz=%1)").arg(v);
        case ScopeKind::Category:
            return QStringLiteral("s.zclb=%1").arg(v);
        case ScopeKind::Serials: {
            QStringList ids;
            ids.reserve(qsizetype(scope.serials.size()));
            for (int id : scope.serials) ids << QString::number(id);
            return ids.isEmpty() ? QStringLiteral("0=1")
                                 : QStringLiteral("s.ID1 in (%1)").arg(ids.join(QLatin1Char(',')));
        }
    }
    return QStringLiteral("0=1");
}

Stocktake fromRow(db::RowSet& r) {
    Stocktake s;
    s.id = r.integer(QStringLiteral("pdid"));
    s.name = r.text(QStringLiteral("pdmc"));
    s.scopeKind = r.text(QStringLiteral("fw"));
    s.scopeValue = r.text(QStringLiteral("fwz"));
    s.created = r.date(QStringLiteral("cjrq"));
    s.createdBy = r.text(QStringLiteral("cjr"));
    s.ended = r.date(QStringLiteral("jsrq"));
    s.expected = r.integer(QStringLiteral("ys"));
    return s;
}

std::vector<Stocktake> select(db::Connection& c, const QString& where) {
    db::RowSet r(
        c, QStringLiteral("select * from pdrw") + where + QStringLiteral(" order by pdid desc"));
    r.open();
    std::vector<Stocktake> out;
    for (; !r.eof(); r.next()) out.push_back(fromRow(r));
    return out;
}

}  // namespace

QString defaultName(const QDate& today) {
    return QStringLiteral("%1年%2月盘点").arg(today.year()).arg(today.month());
}

QString scopeText(const Stocktake& s) {
    if (s.scopeKind == kindName(ScopeKind::Whole)) return QStringLiteral("全部资产");
    if (s.scopeKind == kindName(ScopeKind::Serials))
        return QStringLiteral("查询结果（%1行）").arg(s.scopeValue);
    return s.scopeKind + QStringLiteral("：") + s.scopeValue;
}

Stocktake create(db::Connection& c, const QString& name, const Scope& scope,
                 const QString& operatorName, const QDate& today) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) throw db::DbError(QStringLiteral("请输入盘点名称。"));
    db::Transaction t(c);
    if (c.queryValue(QStringLiteral("select count(*) from pdrw where pdmc=") + db::quoted(trimmed))
            .toInt() > 0)
        throw db::DbError(QStringLiteral("已有名为“%1”的盘点，请换一个名称。").arg(trimmed));
    const QString scopeValue =
        scope.kind == ScopeKind::Serials ? QString::number(scope.serials.size()) : scope.value;
    c.executeNative(
        QStringLiteral("insert into pdrw (pdmc, fw, fwz, cjrq, cjr, ys) values (%1, %2, %3, %4, "
                       "%5, 0)")
            .arg(db::quoted(trimmed), db::quoted(kindName(scope.kind)), db::quoted(scopeValue),
                 db::quoted(today.toString(Qt::ISODate)), db::quoted(operatorName)));
    const int id = int(c.lastInsertId());
    // One statement for the whole snapshot: a register of 100000 assets is copied in well
    // under a second.
    c.executeNative(
        QStringLiteral("insert into pdmx (pdid, sid, bh, sbmc, worp, wz, bgr, dd) "
                       "select %1, s.ID1, s.id || s.num, s.sbmc, s.worp, s.wz, s.bgr, "
                       "case when s.worp<>0 then s.wz else "
                       "coalesce((select p.bm from person p where p.pname=s.wz limit 1), '') end "
                       "from sbjl s where s.ybf=0 and %2")
            .arg(id)
            .arg(scopeCondition(scope)));
    c.executeNative(
        QStringLiteral("update pdrw set ys=(select count(*) from pdmx where pdid=%1) where pdid=%1")
            .arg(id));
    t.commit();
    return byId(c, id);
}

std::vector<Stocktake> list(db::Connection& c) {
    return select(c, QString());
}

Stocktake find(db::Connection& c, const QString& name) {
    const auto found = select(c, QStringLiteral(" where pdmc=") + db::quoted(name.trimmed()));
    if (found.empty()) throw db::DbError(QStringLiteral("没有名为“%1”的盘点。").arg(name));
    return found.front();
}

Stocktake byId(db::Connection& c, int id) {
    const auto found = select(c, QStringLiteral(" where pdid=") + QString::number(id));
    if (found.empty()) throw db::DbError(QStringLiteral("这次盘点已不存在。"));
    return found.front();
}

void end(db::Connection& c, int stocktakeId, const QDate& today) {
    db::Transaction t(c);
    c.executeNative(QStringLiteral("update pdrw set jsrq=%1 where pdid=%2 and jsrq is null")
                        .arg(db::quoted(today.toString(Qt::ISODate)))
                        .arg(stocktakeId));
    t.commit();
}

QString endedMessage(const QString& name) {
    return QStringLiteral("盘点“%1”已经结束，不能再扫描。").arg(name);
}

}  // namespace fx::stocktake
