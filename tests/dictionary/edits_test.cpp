#include <gtest/gtest.h>

#include "connection.h"
#include "dberror.h"
#include "dictionaryedits.h"
#include "dictionaryfixture.h"

namespace {

using namespace fx::dictionary;

class DictionaryEdits : public fx::test::DictionaryOnBothEngines {
protected:
    fx::db::Connection& db() { return *state().current; }
    Attributes category(int rate, const QString& prefix) {
        Attributes a;
        a.number = rate;
        a.prefix = prefix;
        return a;
    }
    Attributes name(bool atPlace, const QString& prefix) {
        Attributes a;
        a.flag = atPlace;
        a.prefix = prefix;
        return a;
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, DictionaryEdits, fx::test::bothEngines(), fx::test::engineName);

TEST_P(DictionaryEdits, LoadsTheAttributesOfEachKind) {
    const Attributes cat = loadAttributes(db(), {ItemKind::Category, QStringLiteral("电脑")});
    EXPECT_TRUE(cat.found);
    EXPECT_EQ(cat.number, 5);
    EXPECT_EQ(cat.prefix, QStringLiteral("AB"));
    const Attributes laptop = loadAttributes(db(), {ItemKind::Name, QStringLiteral("笔记本")});
    EXPECT_FALSE(laptop.flag);
    EXPECT_EQ(laptop.prefix, QStringLiteral("XY"));
    const Attributes model =
        loadAttributes(db(), {ItemKind::Model, QStringLiteral("D1"), {}, QStringLiteral("台式机")});
    EXPECT_EQ(model.configuration, QStringLiteral("i5 8G"));
    EXPECT_TRUE(loadAttributes(db(), {ItemKind::Location, QStringLiteral("财务科")}).flag);
    EXPECT_FALSE(loadAttributes(db(), {ItemKind::Location, QStringLiteral("仓库")}).flag);
    EXPECT_EQ(loadAttributes(db(), {ItemKind::User, QStringLiteral("张三")}).department,
              QStringLiteral("财务科"));
    EXPECT_EQ(loadAttributes(db(), {ItemKind::Life, QStringLiteral("五年")}).number, 60);
    // A missing row shows empty or false attributes.
    const Attributes missing = loadAttributes(db(), {ItemKind::Category, QStringLiteral("无")});
    EXPECT_FALSE(missing.found);
    EXPECT_TRUE(missing.prefix.isEmpty());
    EXPECT_EQ(departments(db()), QStringList{QStringLiteral("财务科")});
    EXPECT_EQ(categoryPrefix(db(), QStringLiteral("家具")), QStringLiteral("JJ"));
}

TEST_P(DictionaryEdits, ANameInTwoCategoriesShowsTheRowOfItsOwnCategory) {
    run(QStringLiteral("INSERT INTO sortb (name,sort,bht,wzorgr) VALUES ('台式机','家具','TT',0)"));
    const Attributes furniture =
        loadAttributes(db(), {ItemKind::Name, QStringLiteral("台式机"), QStringLiteral("家具")});
    EXPECT_EQ(furniture.prefix, QStringLiteral("TT"));
    EXPECT_FALSE(furniture.flag);
    const Attributes computers =
        loadAttributes(db(), {ItemKind::Name, QStringLiteral("台式机"), QStringLiteral("电脑")});
    EXPECT_EQ(computers.prefix, QStringLiteral("AB"));
    EXPECT_TRUE(computers.flag);
    // Without a category the first row answers.
    EXPECT_EQ(loadAttributes(db(), {ItemKind::Name, QStringLiteral("台式机")}).prefix,
              QStringLiteral("AB"));
}

TEST_P(DictionaryEdits, CategoryPrefixChangeReachesOnlyNamesThatKeptTheOldOne) {
    const ItemRef computers{ItemKind::Category, QStringLiteral("电脑")};
    const Attributes before = loadAttributes(db(), computers);
    EXPECT_FALSE(modifyItem(db(), computers, QStringLiteral("电脑"),
                            category(8, QStringLiteral("CD")), before)
                     .refused());
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='台式机'")),
              QStringLiteral("CD"));
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='笔记本'")),
              QStringLiteral("XY"));
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='桌子'")),
              QStringLiteral("JJ"));
    EXPECT_EQ(text(QStringLiteral("SELECT title||'/'||cz FROM sortproc WHERE sort='电脑'")),
              QStringLiteral("CD/8"));
}

TEST_P(DictionaryEdits, CategoryRenameReachesNamesUsesAndAssets) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    addAsset(QStringLiteral("家具"), QStringLiteral("桌子"), QStringLiteral("仓库"));
    const ItemRef computers{ItemKind::Category, QStringLiteral("电脑")};
    modifyItem(db(), computers, QStringLiteral("计算机"), category(5, QStringLiteral("AB")), {});
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='计算机'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='计算机'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE sort='计算机'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sbjl WHERE zclb='计算机'")), 1);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sbjl WHERE zclb='电脑'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sbjl WHERE zclb='家具'")), 1);
}

TEST_P(DictionaryEdits, ARefusedStatementRollsTheWholeRenameBack) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    refuseCategoryChanges();
    const ItemRef computers{ItemKind::Category, QStringLiteral("电脑")};
    try {
        modifyItem(db(), computers, QStringLiteral("计算机"), category(9, QStringLiteral("CD")),
                   {});
        FAIL() << "the engine's refusal did not reach the caller";
    } catch (const fx::db::DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("asset locked")));
    }
    EXPECT_FALSE(db().inTransaction());
    EXPECT_EQ(text(QStringLiteral("SELECT title||'/'||cz FROM sortproc WHERE sort='电脑'")),
              QStringLiteral("AB/5"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='电脑'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE sort='电脑'")), 1);
    EXPECT_EQ(text(QStringLiteral("SELECT bht FROM sortb WHERE name='台式机'")),
              QStringLiteral("AB"));
}

TEST_P(DictionaryEdits, NameStorageModeDecidesThePlacesOfItsAssets) {
    const qint64 a =
        addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"));
    const qint64 other =
        addAsset(QStringLiteral("家具"), QStringLiteral("台式机"), QStringLiteral("仓库"));
    const ItemRef desktop{ItemKind::Name, QStringLiteral("台式机"), QStringLiteral("电脑")};
    // By place -> by user: the place becomes "未分配" in this category only.
    modifyItem(db(), desktop, QStringLiteral("台式机"), name(false, QStringLiteral("AB")),
               name(true, QStringLiteral("AB")));
    const auto row = [&](qint64 id) {
        return text(QStringLiteral("SELECT wz||'/'||worp FROM sbjl WHERE ID1=%1").arg(id));
    };
    EXPECT_EQ(row(a), QStringLiteral("未分配/0"));
    EXPECT_EQ(row(other), QStringLiteral("仓库/1"));
    EXPECT_EQ(text(QStringLiteral("SELECT wzorgr FROM sortb WHERE name='台式机'")),
              QStringLiteral("0"));
    // The person given since stays when the name goes back to places.
    run(QStringLiteral("UPDATE sbjl SET wz='张三' WHERE ID1=%1").arg(a));
    modifyItem(db(), desktop, QStringLiteral("台式机"), name(true, QStringLiteral("AB")),
               name(false, QStringLiteral("AB")));
    EXPECT_EQ(row(a), QStringLiteral("张三/1"));
    // By user staying by user keeps the person.
    modifyItem(db(), desktop, QStringLiteral("台式机"), name(false, QStringLiteral("AB")),
               name(true, QStringLiteral("AB")));
    run(QStringLiteral("UPDATE sbjl SET wz='张三' WHERE ID1=%1").arg(a));
    modifyItem(db(), desktop, QStringLiteral("台式电脑"), name(false, QStringLiteral("AB")),
               name(false, QStringLiteral("AB")));
    EXPECT_EQ(text(QStringLiteral("SELECT sbmc||'/'||wz||'/'||worp FROM sbjl WHERE ID1=%1").arg(a)),
              QStringLiteral("台式电脑/张三/0"));
    // The models follow the name.
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xhpz WHERE sbmc='台式电脑'")), 2);
    EXPECT_EQ(text(QStringLiteral("SELECT sbmc FROM sbjl WHERE ID1=%1").arg(other)),
              QStringLiteral("台式机"));
}

TEST_P(DictionaryEdits, EmptyPrefixesAndTextsAreRefusedWithoutWriting) {
    const Refusal r = modifyItem(db(), {ItemKind::Category, QStringLiteral("电脑")},
                                 QStringLiteral("计算机"), category(5, QString()), {});
    EXPECT_EQ(r.text, QStringLiteral("缺省编号头不能为空！"));
    EXPECT_EQ(addItem(db(), {ItemKind::Name, {}, QStringLiteral("电脑")}, QStringLiteral("显示器"),
                      name(true, QString()), {})
                  .text,
              QStringLiteral("缺省编号头不能为空！"));
    EXPECT_TRUE(addItem(db(), {ItemKind::Source}, QString(), {}, {}).refused());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='计算机'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE name='显示器'")), 0);
}

TEST_P(DictionaryEdits, ModelUseSourceLocationAndLifeRenamesFollowIntoAssets) {
    const qint64 a =
        addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"),
                 QStringLiteral("D1"), QStringLiteral("办公"));
    Attributes config;
    config.configuration = QStringLiteral("i7 16G");
    modifyItem(db(), {ItemKind::Model, QStringLiteral("D1"), {}, QStringLiteral("台式机")},
               QStringLiteral("D9"), config, {});
    modifyItem(db(), {ItemKind::Use, QStringLiteral("办公"), QStringLiteral("电脑")},
               QStringLiteral("教学"), {}, {});
    modifyItem(db(), {ItemKind::Source, QStringLiteral("购置")}, QStringLiteral("调入"), {}, {});
    Attributes department;
    department.flag = true;
    modifyItem(db(), {ItemKind::Location, QStringLiteral("财务科")}, QStringLiteral("会计科"),
               department, {});
    Attributes months;
    months.number = 72;
    modifyItem(db(), {ItemKind::Life, QStringLiteral("五年")}, QStringLiteral("六年"), months, {});
    EXPECT_EQ(text(QStringLiteral("SELECT sbxh||'/'||yt||'/'||ly||'/'||wz||'/'||bxq FROM sbjl "
                                  "WHERE ID1=%1")
                       .arg(a)),
              QStringLiteral("D9/教学/调入/会计科/六年"));
    EXPECT_EQ(text(QStringLiteral("SELECT sbpz FROM xhpz WHERE sbxh='D9'")),
              QStringLiteral("i7 16G"));
    EXPECT_EQ(text(QStringLiteral("SELECT yue FROM syq WHERE qx='六年'")), QStringLiteral("72"));
    EXPECT_EQ(text(QStringLiteral("SELECT isbm FROM wzb WHERE wz='会计科'")), QStringLiteral("1"));
    // The department's people stay in it under its new name.
    EXPECT_EQ(text(QStringLiteral("SELECT bm FROM person WHERE pname='张三'")),
              QStringLiteral("会计科"));
}

TEST_P(DictionaryEdits, RenamingAUserRenamesPlaceAndCustodian) {
    const qint64 a = addAsset(QStringLiteral("电脑"), QStringLiteral("笔记本"),
                              QStringLiteral("张三"), {}, {}, QStringLiteral("张三"), false);
    Attributes dept;
    dept.department = QStringLiteral("财务科");
    modifyItem(db(), {ItemKind::User, QStringLiteral("张三")}, QStringLiteral("张珊"), dept, {});
    EXPECT_EQ(text(QStringLiteral("SELECT wz||'/'||bgr FROM sbjl WHERE ID1=%1").arg(a)),
              QStringLiteral("张珊/张珊"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM person WHERE pname='张珊'")), 1);
}

TEST_P(DictionaryEdits, TheUnassignedPersonCanBeNeitherChangedNorDeleted) {
    const ItemRef unassigned{ItemKind::User, QStringLiteral("未分配")};
    const Refusal modify = modifyItem(db(), unassigned, QStringLiteral("某人"), {}, {});
    EXPECT_EQ(modify.text, QStringLiteral("该项为数据字典固有项目，不能修改该字典项。"));
    EXPECT_TRUE(modify.warning);
    const Refusal remove = deleteItem(db(), unassigned);
    EXPECT_EQ(remove.text, QStringLiteral("该项为数据字典固有项目，不能删除该字典项。"));
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM person WHERE pname='未分配'")), 1);
}

TEST_P(DictionaryEdits, AdditionsAreRefusedWhenPresent) {
    // A name is looked for in every category.
    EXPECT_EQ(addItem(db(), {ItemKind::Name, {}, QStringLiteral("家具")}, QStringLiteral("台式机"),
                      name(true, QStringLiteral("JJ")), {})
                  .text,
              QStringLiteral("该名称已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(
        addItem(db(), {ItemKind::Category}, QStringLiteral("家具"),
                category(5, QStringLiteral("JJ")), {QStringLiteral("电脑"), QStringLiteral("家具")})
            .text,
        QStringLiteral("该资产类别已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(addItem(db(), {ItemKind::Model, {}, {}, QStringLiteral("台式机")},
                      QStringLiteral("D1"), {}, {QStringLiteral("D1"), QStringLiteral("D2")})
                  .text,
              QStringLiteral("该型号已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(
        addItem(db(), {ItemKind::Use, {}, QStringLiteral("电脑")}, QStringLiteral("办公"), {}, {})
            .text,
        QStringLiteral("该用途已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(addItem(db(), {ItemKind::Source}, QStringLiteral("购置"), {}, {}).text,
              QStringLiteral("该来源方式已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(addItem(db(), {ItemKind::Location}, QStringLiteral("仓库"), {}, {}).text,
              QStringLiteral("该位置已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(addItem(db(), {ItemKind::User}, QStringLiteral("张三"), {}, {}).text,
              QStringLiteral("该使用者已经包含在数据字典中，不能重复加入。"));
    EXPECT_EQ(addItem(db(), {ItemKind::Life}, QStringLiteral("五年"), {}, {}).text,
              QStringLiteral("该使用期限已经包含在数据字典中，不能重复加入。"));
    // The same use in another category is new.
    EXPECT_FALSE(
        addItem(db(), {ItemKind::Use, {}, QStringLiteral("家具")}, QStringLiteral("办公"), {}, {})
            .refused());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE yt='办公'")), 2);
}

TEST_P(DictionaryEdits, AdditionsWriteTheirRows) {
    addItem(db(), {ItemKind::Category}, QStringLiteral("车辆"), category(10, QStringLiteral("CL")),
            {});
    addItem(db(), {ItemKind::Name, {}, QStringLiteral("车辆")}, QStringLiteral("轿车"),
            name(false, QStringLiteral("JC")), {});
    Attributes config;
    config.configuration = QStringLiteral("2.0L");
    addItem(db(), {ItemKind::Model, {}, {}, QStringLiteral("轿车")}, QStringLiteral("A6"), config,
            {});
    Attributes place;
    place.flag = true;
    addItem(db(), {ItemKind::Location}, QStringLiteral("车队"), place, {});
    Attributes person;
    person.department = QStringLiteral("车队");
    addItem(db(), {ItemKind::User}, QStringLiteral("李四"), person, {});
    Attributes months;
    months.number = 120;
    addItem(db(), {ItemKind::Life}, QStringLiteral("十年"), months, {});
    EXPECT_EQ(text(QStringLiteral("SELECT title||'/'||cz FROM sortproc WHERE sort='车辆'")),
              QStringLiteral("CL/10"));
    EXPECT_EQ(
        text(QStringLiteral("SELECT sort||'/'||bht||'/'||wzorgr FROM sortb WHERE name='轿车'")),
        QStringLiteral("车辆/JC/0"));
    EXPECT_EQ(text(QStringLiteral("SELECT sbmc||'/'||sbpz FROM xhpz WHERE sbxh='A6'")),
              QStringLiteral("轿车/2.0L"));
    EXPECT_EQ(text(QStringLiteral("SELECT isbm FROM wzb WHERE wz='车队'")), QStringLiteral("1"));
    EXPECT_EQ(text(QStringLiteral("SELECT bm FROM person WHERE pname='李四'")),
              QStringLiteral("车队"));
    EXPECT_EQ(text(QStringLiteral("SELECT yue FROM syq WHERE qx='十年'")), QStringLiteral("120"));
}

TEST_P(DictionaryEdits, DeletionsAreRefusedWhileAssetsUseTheItem) {
    addAsset(QStringLiteral("电脑"), QStringLiteral("台式机"), QStringLiteral("财务科"),
             QStringLiteral("D1"), QStringLiteral("办公"));
    const auto refusal = [&](const ItemRef& item) { return deleteItem(db(), item).text; };
    EXPECT_EQ(refusal({ItemKind::Category, QStringLiteral("电脑")}),
              QStringLiteral("该数据库中已经含有该资产类别的固定资产，因此现在不能删除该字典项。"));
    EXPECT_EQ(refusal({ItemKind::Name, QStringLiteral("台式机"), QStringLiteral("电脑")}),
              QStringLiteral("该数据库中已经含有该名称的固定资产，因此现在不能删除该字典项。"));
    EXPECT_EQ(refusal({ItemKind::Location, QStringLiteral("财务科")}),
              QStringLiteral("该数据库中已经含有该位置的固定资产，因此现在不能删除该字典项。"));
    EXPECT_EQ(refusal({ItemKind::Source, QStringLiteral("购置")}),
              QStringLiteral("该数据库中已经含有该来源方式的固定资产，因此现在不能删除该字典项。"));
    EXPECT_EQ(refusal({ItemKind::Life, QStringLiteral("五年")}),
              QStringLiteral("该数据库中已经含有该使用年限的固定资产，因此现在不能删除该字典项。"));
    addAsset(QStringLiteral("电脑"), QStringLiteral("笔记本"), QStringLiteral("张三"));
    EXPECT_EQ(refusal({ItemKind::User, QStringLiteral("张三")}),
              QStringLiteral("该数据库中已经含有该使用者的固定资产，因此现在不能删除该字典项。"));
    EXPECT_TRUE(deleteItem(db(), {ItemKind::Category, QStringLiteral("电脑")}).warning);
    // Models and uses go even while assets hold them.
    EXPECT_TRUE(
        refusal({ItemKind::Model, QStringLiteral("D1"), {}, QStringLiteral("台式机")}).isEmpty());
    EXPECT_TRUE(refusal({ItemKind::Use, QStringLiteral("办公"), QStringLiteral("电脑")}).isEmpty());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xhpz WHERE sbxh='D1'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE yt='办公'")), 0);
    // A name in another category is not held by these assets.
    EXPECT_TRUE(
        refusal({ItemKind::Name, QStringLiteral("桌子"), QStringLiteral("家具")}).isEmpty());
}

TEST_P(DictionaryEdits, DeletingAnUnusedCategoryKeepsTheModelsOfItsNames) {
    EXPECT_FALSE(deleteItem(db(), {ItemKind::Category, QStringLiteral("电脑")}).refused());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortproc WHERE sort='电脑'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='电脑'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM ytb WHERE sort='电脑'")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM xhpz WHERE sbmc='台式机'")), 2);
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM sortb WHERE sort='家具'")), 1);
}

TEST_P(DictionaryEdits, AnApostropheInAValueNeitherBreaksNorChangesAStatement) {
    EXPECT_FALSE(
        addItem(db(), {ItemKind::Source}, QStringLiteral("x' or '1'='1"), {}, {}).refused());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM lyfs WHERE ly='x'' or ''1''=''1'")), 1);
    EXPECT_FALSE(deleteItem(db(), {ItemKind::Source, QStringLiteral("x' or '1'='1")}).refused());
    EXPECT_EQ(count(QStringLiteral("SELECT count(*) FROM lyfs")), 1);
}

}  // namespace
