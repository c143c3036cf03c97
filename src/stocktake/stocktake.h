#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace fx::db {
class Connection;
}

namespace fx::stocktake {

// What a stocktake covers. Scrapped assets are never in it.
enum class ScopeKind { Whole, Department, Place, Category, Serials };

struct Scope {
    ScopeKind kind = ScopeKind::Whole;
    // The department, place or category; unused for Whole and Serials.
    QString value;
    // The assets of the rows of a query (sbjl.ID1) for Serials.
    std::vector<int> serials;
};

// A stocktake as pdrw records it.
struct Stocktake {
    int id = 0;
    QString name;
    QString scopeKind;   // 全部, 部门, 位置, 类别, 查询结果
    QString scopeValue;  // the department, place or category; the number of rows for 查询结果
    QDate created;
    QString createdBy;
    QDate ended;  // invalid while open
    int expected = 0;
    bool isOpen() const { return !ended.isValid(); }
};

// The name a new stocktake is offered: "2026年12月盘点".
QString defaultName(const QDate& today);
// The scope as the report and the command line write it: "全部资产", "部门：财务处".
QString scopeText(const Stocktake& s);

// Records a new stocktake with a snapshot of every asset in scope that is not scrapped: its
// number, name, storage mode, place or user and custodian, and the place it should be found at
// (its place for an asset kept at a location, the holder's department for one held by a person).
// One transaction; returns the new stocktake. Throws DbError, with a plain message for an empty
// name or one that another stocktake already has.
Stocktake create(db::Connection& c, const QString& name, const Scope& scope,
                 const QString& operatorName, const QDate& today);

// Every stocktake, newest first. Throws DbError.
std::vector<Stocktake> list(db::Connection& c);
// The stocktake of that name; throws DbError when there is none.
Stocktake find(db::Connection& c, const QString& name);
// The stocktake of that id; throws DbError when there is none.
Stocktake byId(db::Connection& c, int id);

// Ends a stocktake: no more scans are taken, its results stay readable. Ending an ended one
// changes nothing. Throws DbError.
void end(db::Connection& c, int stocktakeId, const QDate& today);

// The message of a scan refused because the stocktake was ended.
QString endedMessage(const QString& name);

}  // namespace fx::stocktake
