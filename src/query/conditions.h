#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace fx::query {

// How the comprehensive query narrows the storage of the assets it finds.
enum class Storage {
    All,           // "全部"
    ByLocation,    // "按位置"
    ByUser,        // "按使用者"
    ByDepartment,  // "按部门": kept at the department or held by its people
    ByCustodian,   // "按保管人"
};

// Everything the comprehensive query's form says, its texts already trimmed.
struct QueryForm {
    QString category;
    QString name;
    QString place;
    QString use;
    QString model;
    QString life;
    QString configuration;  // words joined by "+"
    QString remarks;        // words joined by "+"
    Storage storage = Storage::All;
    bool fuzzy = false;
    bool hasRemarks = false;
    bool hasMaintenance = false;
    bool lent = false;
    bool scrapped = false;
    bool notScrapped = true;
    bool pastLife = false;
    int priceFrom = 0;
    int priceTo = 99999999;
    QDate boughtFrom = QDate(1949, 10, 1);
    QDate boughtTo;
    // For "按部门": the people (person.pname) whose department is the place, in table order.
    QStringList departmentPeople;
};

// The words of a configuration or remark box: the pieces between "+" signs, trimmed, empty
// pieces skipped (" 硬盘 + 声卡 " gives 硬盘 and 声卡; "+声卡" and "硬盘++声卡" skip the gaps).
QStringList queryWords(const QString& box);

// The WHERE fragments of a form, in their fixed order, each beginning with " and ". Values are
// put between quotes with their apostrophes doubled, so a pasted apostrophe neither breaks the
// statement nor changes its meaning.
QString conditionFragments(const QueryForm& form);

}  // namespace fx::query
