#include "dictionaryedits.h"

#include "changerecorder.h"
#include "connection.h"
#include "quote.h"
#include "rowset.h"

namespace fx::dictionary {

namespace {

using db::escaped;

const QString kEmptyPrefix = QStringLiteral("缺省编号头不能为空！");
// An empty item could be neither found nor told apart in the lists of the card.
const QString kEmptyText = QStringLiteral("字典项内容不能为空。");

QString q(const QString& value) {
    return escaped(value);
}

bool hasRow(db::Connection& c, const QString& sql) {
    db::RowSet rows(c, sql);
    rows.open();
    return !rows.eof();
}

// The change history of a modification, when one is kept (a null recorder keeps none).
history::ChangeRecorder* gRecorder = nullptr;

// One column an asset update sets, with the value it sets.
struct AssetSet {
    const char* column;
    QVariant value;  // a text or a yes/no
};

// Runs "update sbjl set <sets> where <where>" and records one "字典改名" row per asset it
// changes, with each column's value before and after.
void updateAssets(db::Connection& c, const QList<AssetSet>& sets, const QString& where) {
    QStringList assignments;
    QStringList columns;
    for (const AssetSet& a : sets) {
        const QString col = QLatin1String(a.column);
        columns << col;
        assignments << col + QLatin1Char('=') +
                           (a.value.typeId() == QMetaType::Bool
                                ? (a.value.toBool() ? QStringLiteral("true")
                                                    : QStringLiteral("false"))
                                : QStringLiteral("'") + q(a.value.toString()) +
                                      QStringLiteral("'"));
    }
    if (gRecorder && gRecorder->available()) {
        db::RowSet assets(c, QStringLiteral("select ID1,id,num,") + columns.join(QLatin1Char(',')) +
                                 QStringLiteral(" from sbjl where ") + where);
        assets.open();
        QList<QVariant> after;
        for (const AssetSet& a : sets) after << a.value;
        const QString rename = QString::fromUtf8(history::op::kRenameEntry);
        for (; !assets.eof(); assets.next()) {
            QList<QVariant> before;
            for (const QString& col : columns) before << assets.value(col);
            const QList<history::FieldChange> changes =
                history::changedFields(columns, before, after);
            if (changes.isEmpty()) continue;
            gRecorder->record(rename, assets.integer(QStringLiteral("ID1")),
                              history::assetNumberOf(assets), changes);
        }
    }
    c.execute(QStringLiteral("update sbjl set ") + assignments.join(QLatin1Char(',')) +
              QStringLiteral(" where ") + where);
}

Refusal inform(const QString& text) {
    return {text, false};
}

Refusal warn(const QString& text) {
    return {text, true};
}

QString sortprocRow(const QString& category) {
    return QStringLiteral("select * from sortproc where sort='") + q(category) +
           QStringLiteral("'");
}

QString modelRow(const QString& model, const QString& name) {
    return QStringLiteral("select * from xhpz where sbxh='") + q(model) +
           QStringLiteral("'and sbmc='") + q(name) + QStringLiteral("'");
}

void modifyCategory(db::Connection& c, const QString& old, const QString& now,
                    const Attributes& a) {
    db::RowSet row(c, sortprocRow(old));
    row.open();
    if (!row.eof()) {
        // Names that kept the category's old default prefix take the new one.
        c.execute(QStringLiteral("update sortb set bht='") + q(a.prefix) +
                  QStringLiteral("' where bht='") + q(row.text(QStringLiteral("title"))) +
                  QStringLiteral("' and sort='") + q(row.text(QStringLiteral("sort"))) +
                  QStringLiteral("'"));
        row.edit();
        row.setValue(QStringLiteral("sort"), now);
        row.setValue(QStringLiteral("cz"), a.number);
        row.setValue(QStringLiteral("title"), a.prefix);
        row.post();
    }
    if (now == old) return;
    c.execute(QStringLiteral("update sortb set sort='") + q(now) +
              QStringLiteral("' where sort='") + q(old) + QStringLiteral("'"));
    c.execute(QStringLiteral("update ytb set sort='") + q(now) + QStringLiteral("' where sort='") +
              q(old) + QStringLiteral("'"));
    updateAssets(c, {{"zclb", now}}, QStringLiteral("zclb='") + q(old) + QStringLiteral("'"));
}

void modifyName(db::Connection& c, const ItemRef& item, const QString& now, const Attributes& a,
                const Attributes& before) {
    const QString& old = item.text;
    const QString& cat = item.category;
    db::RowSet row(c, QStringLiteral("select * from sortb where sort='") + q(cat) +
                          QStringLiteral("' and name='") + q(old) + QStringLiteral("'"));
    row.open();
    if (!row.eof()) {
        row.edit();
        row.setValue(QStringLiteral("name"), now);
        row.setValue(QStringLiteral("bht"), a.prefix);
        row.setValue(QStringLiteral("wzorgr"), a.flag);
        row.post();
    }
    // The assets follow the storage mode: those now kept by a person lose a place that was no
    // person; those now kept at a place keep what they hold, to be corrected one by one.
    QList<AssetSet> sets;
    if (!a.flag && !before.flag) {
        sets = {{"sbmc", now}, {"worp", false}};
    } else if (!a.flag) {
        sets = {{"sbmc", now}, {"wz", QStringLiteral("未分配")}, {"worp", false}};
    } else {
        sets = {{"sbmc", now}, {"worp", true}};
    }
    updateAssets(c, sets,
                 QStringLiteral("sbmc='") + q(old) + QStringLiteral("'and zclb='") + q(cat) +
                     QStringLiteral("'"));
    c.execute(QStringLiteral("update xhpz set sbmc='") + q(now) + QStringLiteral("' where sbmc='") +
              q(old) + QStringLiteral("'"));
}

void modifyModel(db::Connection& c, const ItemRef& item, const QString& now, const Attributes& a) {
    db::RowSet row(c, modelRow(item.text, item.name));
    row.open();
    if (!row.eof()) {
        row.edit();
        row.setValue(QStringLiteral("sbpz"), a.configuration);
        row.setValue(QStringLiteral("sbxh"), now);
        row.post();
    }
    if (now == item.text) return;
    updateAssets(c, {{"sbxh", now}},
                 QStringLiteral("sbxh='") + q(item.text) + QStringLiteral("'and sbmc='") +
                     q(item.name) + QStringLiteral("'"));
}

// Renames the first row of a one-column item and sets its other fields.
void renameRow(db::Connection& c, const QString& select, const QString& field, const QString& now,
               const char* otherField = nullptr, const QVariant& other = QVariant()) {
    db::RowSet row(c, select);
    row.open();
    if (row.eof()) return;
    row.edit();
    row.setValue(field, now);
    if (otherField) row.setValue(QLatin1String(otherField), other);
    row.post();
}

// "update sbjl set <column>='new' where <column>='old'" and its variants, recorded.
void renameInAssets(db::Connection& c, const char* column, const QString& old, const QString& now,
                    const QString& tail = QString()) {
    updateAssets(
        c, {{column, now}},
        QLatin1String(column) + QStringLiteral("='") + q(old) + QStringLiteral("'") + tail);
}

}  // namespace

Attributes loadAttributes(db::Connection& c, const ItemRef& item) {
    Attributes a;
    QString sql;
    switch (item.kind) {
        case ItemKind::Category:
            sql = sortprocRow(item.text);
            break;
        case ItemKind::Name:
            sql = QStringLiteral("select * from sortb where name='") + q(item.text) +
                  QStringLiteral("'");
            break;
        case ItemKind::Model:
            sql = modelRow(item.text, item.name);
            break;
        case ItemKind::User:
            sql = QStringLiteral("select * from person where pname='") + q(item.text) +
                  QStringLiteral("'");
            break;
        case ItemKind::Location:
            sql =
                QStringLiteral("select * from wzb where wz='") + q(item.text) + QStringLiteral("'");
            break;
        case ItemKind::Life:
            sql =
                QStringLiteral("select * from syq where qx='") + q(item.text) + QStringLiteral("'");
            break;
        default:
            return a;
    }
    db::RowSet row(c, sql);
    row.open();
    if (row.eof()) return a;
    a.found = true;
    if (item.kind == ItemKind::Name && !item.category.isEmpty()) {
        // A name held by several categories shows the attributes of the category it is under,
        // which are the ones a save writes; the first row stands in when none matches.
        for (; !row.eof(); row.next()) {
            if (row.text(QStringLiteral("sort")) == item.category) break;
        }
        if (row.eof()) row.first();
    }
    switch (item.kind) {
        case ItemKind::Category:
            a.number = row.integer(QStringLiteral("cz"));
            a.prefix = row.text(QStringLiteral("title"));
            break;
        case ItemKind::Name:
            a.flag = row.yesNo(QStringLiteral("wzorgr"));
            a.prefix = row.text(QStringLiteral("bht"));
            break;
        case ItemKind::Model:
            a.configuration = row.text(QStringLiteral("sbpz"));
            break;
        case ItemKind::User:
            a.department = row.text(QStringLiteral("bm"));
            break;
        case ItemKind::Location:
            a.flag = row.yesNo(QStringLiteral("isbm"));
            break;
        case ItemKind::Life:
            a.number = row.integer(QStringLiteral("yue"));
            break;
        default:
            break;
    }
    return a;
}

QStringList departments(db::Connection& c) {
    db::RowSet rows(c, QStringLiteral("select * from wzb where isbm"));
    rows.open();
    QStringList places;
    for (; !rows.eof(); rows.next()) places << rows.text(QStringLiteral("wz"));
    return places;
}

QString categoryPrefix(db::Connection& c, const QString& category) {
    db::RowSet row(c, sortprocRow(category));
    row.open();
    return row.eof() ? QString() : row.text(QStringLiteral("title"));
}

Refusal modifyItem(db::Connection& c, const ItemRef& item, const QString& newText,
                   const Attributes& now, const Attributes& before,
                   history::ChangeRecorder* recorder) {
    gRecorder = recorder;
    struct Reset {
        ~Reset() { gRecorder = nullptr; }
    } reset;
    const QString& old = item.text;
    if (item.kind == ItemKind::User && old == kUnassigned)
        return warn(QStringLiteral("该项为数据字典固有项目，不能修改该字典项。"));
    if ((item.kind == ItemKind::Category || item.kind == ItemKind::Name) && now.prefix.isEmpty())
        return inform(kEmptyPrefix);
    if (newText.isEmpty()) return inform(kEmptyText);

    db::Transaction transaction(c);
    switch (item.kind) {
        case ItemKind::Category:
            modifyCategory(c, old, newText, now);
            break;
        case ItemKind::Name:
            modifyName(c, item, newText, now, before);
            break;
        case ItemKind::Model:
            modifyModel(c, item, newText, now);
            break;
        case ItemKind::Use:
            renameRow(c,
                      QStringLiteral("select * from ytb where sort='") + q(item.category) +
                          QStringLiteral("' and yt='") + q(old) + QStringLiteral("'"),
                      QStringLiteral("yt"), newText);
            if (newText != old)
                renameInAssets(
                    c, "yt", old, newText,
                    QStringLiteral("and zclb='") + q(item.category) + QStringLiteral("'"));
            break;
        case ItemKind::Source:
            renameRow(
                c, QStringLiteral("select * from lyfs where ly='") + q(old) + QStringLiteral("'"),
                QStringLiteral("ly"), newText);
            if (newText != old) renameInAssets(c, "ly", old, newText);
            break;
        case ItemKind::Location:
            renameRow(c,
                      QStringLiteral("select * from wzb where wz='") + q(old) + QStringLiteral("'"),
                      QStringLiteral("wz"), newText, "isbm", now.flag);
            if (newText != old) {
                renameInAssets(c, "wz", old, newText);
                // A department keeps its people.
                c.execute(QStringLiteral("update person set bm='") + q(newText) +
                          QStringLiteral("' where bm='") + q(old) + QStringLiteral("'"));
            }
            break;
        case ItemKind::User:
            renameRow(
                c,
                QStringLiteral("select * from person where pname='") + q(old) + QStringLiteral("'"),
                QStringLiteral("pname"), newText, "bm", now.department);
            if (newText != old) {
                renameInAssets(c, "wz", old, newText);
                // The custodian is the same person under the new name.
                renameInAssets(c, "bgr", old, newText);
            }
            break;
        case ItemKind::Life:
            renameRow(c,
                      QStringLiteral("select * from syq where qx='") + q(old) + QStringLiteral("'"),
                      QStringLiteral("qx"), newText, "yue", now.number);
            if (newText != old) renameInAssets(c, "bxq", old, newText);
            break;
        case ItemKind::None:
            return {};
    }
    if (recorder && newText != old)
        recorder->recordNote(
            QString::fromUtf8(history::op::kRenameEntry), 0, QString(),
            itemCaption(item.kind) + QStringLiteral("：") + old + QStringLiteral(" → ") + newText);
    transaction.commit();
    return {};
}

Refusal addItem(db::Connection& c, const ItemRef& item, const QString& newText, const Attributes& a,
                const QStringList& siblings) {
    if (newText.isEmpty()) return inform(kEmptyText);
    const QString value = QStringLiteral("'") + q(newText) + QStringLiteral("'");
    QString insert;
    switch (item.kind) {
        case ItemKind::Category:
            if (siblings.contains(newText))
                return inform(QStringLiteral("该资产类别已经包含在数据字典中，不能重复加入。"));
            if (a.prefix.isEmpty()) return inform(kEmptyPrefix);
            insert = QStringLiteral("insert into sortproc (sort,cz,title) values (") + value +
                     QStringLiteral(",") + QString::number(a.number) + QStringLiteral(",'") +
                     q(a.prefix) + QStringLiteral("')");
            break;
        case ItemKind::Name:
            if (hasRow(c, QStringLiteral("select * from sortb where name=") + value))
                return inform(QStringLiteral("该名称已经包含在数据字典中，不能重复加入。"));
            if (a.prefix.isEmpty()) return inform(kEmptyPrefix);
            insert = QStringLiteral("insert into sortb (name,sort,bht,wzorgr) values (") + value +
                     QStringLiteral(",'") + q(item.category) + QStringLiteral("','") + q(a.prefix) +
                     QStringLiteral("',") +
                     (a.flag ? QStringLiteral("true") : QStringLiteral("false")) +
                     QStringLiteral(")");
            break;
        case ItemKind::Model:
            if (siblings.contains(newText))
                return inform(QStringLiteral("该型号已经包含在数据字典中，不能重复加入。"));
            insert = QStringLiteral("insert into xhpz (sbmc,sbpz,sbxh) values ('") + q(item.name) +
                     QStringLiteral("','") + q(a.configuration) + QStringLiteral("',") + value +
                     QStringLiteral(")");
            break;
        case ItemKind::Use:
            if (hasRow(c, QStringLiteral("select * from ytb where sort='") + q(item.category) +
                              QStringLiteral("' and yt=") + value))
                return inform(QStringLiteral("该用途已经包含在数据字典中，不能重复加入。"));
            insert = QStringLiteral("insert into ytb (yt,sort) values (") + value +
                     QStringLiteral(",'") + q(item.category) + QStringLiteral("')");
            break;
        case ItemKind::Source:
            if (hasRow(c, QStringLiteral("select * from lyfs where ly=") + value))
                return inform(QStringLiteral("该来源方式已经包含在数据字典中，不能重复加入。"));
            insert = QStringLiteral("insert into lyfs (ly) values (") + value + QStringLiteral(")");
            break;
        case ItemKind::Location:
            if (hasRow(c, QStringLiteral("select * from wzb where wz=") + value))
                return inform(QStringLiteral("该位置已经包含在数据字典中，不能重复加入。"));
            insert =
                QStringLiteral("insert into wzb (wz,isbm) values (") + value + QStringLiteral(",") +
                (a.flag ? QStringLiteral("true") : QStringLiteral("false")) + QStringLiteral(")");
            break;
        case ItemKind::User:
            if (hasRow(c, QStringLiteral("select * from person where pname=") + value))
                return inform(QStringLiteral("该使用者已经包含在数据字典中，不能重复加入。"));
            insert = QStringLiteral("insert into person (pname,bm) values (") + value +
                     QStringLiteral(",'") + q(a.department) + QStringLiteral("')");
            break;
        case ItemKind::Life:
            if (hasRow(c, QStringLiteral("select * from syq where qx=") + value))
                return inform(QStringLiteral("该使用期限已经包含在数据字典中，不能重复加入。"));
            insert = QStringLiteral("insert into syq (qx,yue) values (") + value +
                     QStringLiteral(",") + QString::number(a.number) + QStringLiteral(")");
            break;
        case ItemKind::None:
            return {};
    }
    db::Transaction transaction(c);
    c.execute(insert);
    transaction.commit();
    return {};
}

Refusal deleteItem(db::Connection& c, const ItemRef& item) {
    const QString old = q(item.text);
    const auto used = [&](const char* column) {
        return hasRow(c, QStringLiteral("select * from sbjl where ") + QLatin1String(column) +
                             QStringLiteral("='") + old + QStringLiteral("'"));
    };
    const auto removeFirst = [&](const QString& select) {
        db::RowSet row(c, select);
        row.open();
        if (!row.eof()) row.remove();
    };

    switch (item.kind) {
        case ItemKind::Category: {
            if (used("zclb"))
                return warn(QStringLiteral(
                    "该数据库中已经含有该资产类别的固定资产，因此现在不能删除该字典项。"));
            db::Transaction transaction(c);
            removeFirst(sortprocRow(item.text));
            c.execute(QStringLiteral("delete from sortb where sort='") + old + QStringLiteral("'"));
            c.execute(QStringLiteral("delete from ytb where sort='") + old + QStringLiteral("'"));
            transaction.commit();
            return {};
        }
        case ItemKind::Name: {
            if (hasRow(c, QStringLiteral("select * from sbjl where sbmc='") + old +
                              QStringLiteral("'and zclb='") + q(item.category) +
                              QStringLiteral("'")))
                return warn(QStringLiteral(
                    "该数据库中已经含有该名称的固定资产，因此现在不能删除该字典项。"));
            db::Transaction transaction(c);
            c.execute(QStringLiteral("delete from sortb where sort='") + q(item.category) +
                      QStringLiteral("' and name='") + old + QStringLiteral("'"));
            transaction.commit();
            return {};
        }
        case ItemKind::Model: {
            db::Transaction transaction(c);
            removeFirst(modelRow(item.text, item.name));
            transaction.commit();
            return {};
        }
        case ItemKind::Use: {
            db::Transaction transaction(c);
            c.execute(QStringLiteral("delete from ytb where sort='") + q(item.category) +
                      QStringLiteral("' and yt='") + old + QStringLiteral("'"));
            transaction.commit();
            return {};
        }
        case ItemKind::Location:
            if (used("wz"))
                return warn(QStringLiteral(
                    "该数据库中已经含有该位置的固定资产，因此现在不能删除该字典项。"));
            c.execute(QStringLiteral("delete from wzb where wz='") + old + QStringLiteral("'"));
            return {};
        case ItemKind::Source:
            if (used("ly"))
                return warn(QStringLiteral(
                    "该数据库中已经含有该来源方式的固定资产，因此现在不能删除该字典项。"));
            c.execute(QStringLiteral("delete from lyfs where ly='") + old + QStringLiteral("'"));
            return {};
        case ItemKind::User:
            if (item.text == kUnassigned)
                return warn(QStringLiteral("该项为数据字典固有项目，不能删除该字典项。"));
            if (used("wz"))
                return warn(QStringLiteral(
                    "该数据库中已经含有该使用者的固定资产，因此现在不能删除该字典项。"));
            c.execute(QStringLiteral("delete from person where pname='") + old +
                      QStringLiteral("'"));
            return {};
        case ItemKind::Life:
            if (used("bxq"))
                return warn(QStringLiteral(
                    "该数据库中已经含有该使用年限的固定资产，因此现在不能删除该字典项。"));
            c.execute(QStringLiteral("delete from syq where qx='") + old + QStringLiteral("'"));
            return {};
        case ItemKind::None:
            return {};
    }
    return {};
}

}  // namespace fx::dictionary
