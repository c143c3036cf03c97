// Benchmarks of the data dictionary:
//  - opening the maintenance window on a dictionary of 5000 items (target at most 0.3 s);
//  - renaming a category used by 100000 assets, with its cascades, in one transaction (target
//    at most 1 s);
//  - narrowing a type-ahead list of 5000 entries as a key is typed (target at most 20 ms per
//    key), for a key every entry matches and for one that few match.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidgetItemIterator>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "connection.h"
#include "dictionaryedits.h"
#include "headlessmain.h"
#include "quote.h"
#include "tsjzdwh.h"
#include "typeaheadbox.h"

namespace {

using namespace fx::dictionary;

constexpr int kAssets = 100000;

std::unique_ptr<fx::AppState> openState(int assets) {
    const auto& b = fx::bench::benchInstallation(assets);
    auto state = std::make_unique<fx::AppState>();
    state->dataDir = b.dataDir;
    state->currentPassword = b.currentPassword;
    state->current = fx::db::Connection::open(b.currentFile, b.currentPassword);
    return state;
}

// Brings the dictionary to 5000 items: 40 categories of 25 names with 3 models each and 5 uses
// each, then places, people, lives and sources. Returns the number of items.
int growDictionary(fx::db::Connection& c) {
    int items = 0;
    fx::db::Transaction t(c);
    const auto insert = [&](const QString& sql) {
        c.executeNative(sql);
        ++items;
    };
    for (int cat = 0; cat < 40; ++cat) {
        const QString category = QStringLiteral("类别%1").arg(cat);
        insert(QStringLiteral("INSERT INTO sortproc (sort,title,cz) VALUES (%1,'LB',5)")
                   .arg(fx::db::quoted(category)));
        for (int n = 0; n < 25; ++n) {
            const QString name = QStringLiteral("名称%1-%2").arg(cat).arg(n);
            insert(QStringLiteral("INSERT INTO sortb (name,sort,bht,wzorgr) VALUES (%1,%2,'MC',1)")
                       .arg(fx::db::quoted(name), fx::db::quoted(category)));
            for (int m = 0; m < 3; ++m)
                insert(QStringLiteral("INSERT INTO xhpz (sbmc,sbxh,sbpz) VALUES (%1,'XH%2','')")
                           .arg(fx::db::quoted(name))
                           .arg(m));
        }
        for (int u = 0; u < 5; ++u)
            insert(QStringLiteral("INSERT INTO ytb (sort,yt) VALUES (%1,'用途%2')")
                       .arg(fx::db::quoted(category))
                       .arg(u));
    }
    for (int i = 0; i < 360; ++i) {
        insert(QStringLiteral("INSERT INTO wzb (wz,isbm) VALUES ('地点%1',%2)").arg(i).arg(i % 2));
        insert(QStringLiteral("INSERT INTO person (pname,bm) VALUES ('人员%1','地点0')").arg(i));
    }
    for (int i = 0; i < 40; ++i) {
        insert(QStringLiteral("INSERT INTO syq (qx,yue) VALUES ('期限%1',%2)").arg(i).arg(i + 1));
        insert(QStringLiteral("INSERT INTO lyfs (ly) VALUES ('来源%1')").arg(i));
    }
    t.commit();
    return items;
}

void BM_OpenMaintenanceWindow(benchmark::State& state) {
    auto app = openState(0);
    const int added = growDictionary(*app->current);
    int nodes = 0;
    for (auto _ : state) {
        Tsjzdwh window(*app);
        window.show();
        QApplication::processEvents();
        nodes = 0;
        for (QTreeWidgetItemIterator it(window.TreeView1); *it; ++it) ++nodes;
        benchmark::DoNotOptimize(nodes);
    }
    state.counters["items_added"] = added;
    state.counters["tree_nodes"] = nodes;
}
BENCHMARK(BM_OpenMaintenanceWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_RenameCategoryOf100000Assets(benchmark::State& state) {
    auto app = openState(kAssets);
    fx::db::Connection& c = *app->current;
    c.executeNative(QStringLiteral("INSERT INTO sortproc (sort,title,cz) VALUES ('甲类','JL',5)"));
    c.executeNative(QStringLiteral("UPDATE sbjl SET zclb='甲类'"));
    const int used =
        c.queryValue(QStringLiteral("SELECT count(*) FROM sbjl WHERE zclb='甲类'")).toInt();
    Attributes a;
    a.number = 5;
    a.prefix = QStringLiteral("JL");
    QString from = QStringLiteral("甲类");
    QString to = QStringLiteral("乙类");
    for (auto _ : state) {
        modifyItem(c, {ItemKind::Category, from}, to, a, a);
        std::swap(from, to);
    }
    state.counters["assets_renamed"] = used;
}
BENCHMARK(BM_RenameCategoryOf100000Assets)->Unit(benchmark::kMillisecond)->Iterations(4);

QStringList entries5000() {
    QStringList list;
    for (int i = 0; i < 5000; ++i) list << QStringLiteral("设备%1").arg(i, 4, 10, QLatin1Char('0'));
    return list;
}

// One typed key: the key press, then the text change it makes.
void typeKey(TypeAheadBox& box, const QString& text) {
    box.keyPressed(text.right(1));
    box.lineEdit()->setText(text);
}

void BM_FilterKey_AllMatch(benchmark::State& state) {
    TypeAheadState shared;
    TypeAheadBox box(shared);
    box.show();
    box.setEntries(entries5000());
    box.enter();
    for (auto _ : state) {
        typeKey(box, QStringLiteral("设"));
        typeKey(box, QStringLiteral("设备"));
    }
    state.counters["entries_shown"] = box.count();
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_FilterKey_AllMatch)->Unit(benchmark::kMillisecond);

void BM_FilterKey_FewMatch(benchmark::State& state) {
    TypeAheadState shared;
    TypeAheadBox box(shared);
    box.show();
    box.setEntries(entries5000());
    box.enter();
    for (auto _ : state) {
        typeKey(box, QStringLiteral("设备12"));
        typeKey(box, QStringLiteral("设备123"));
    }
    state.counters["entries_shown"] = box.count();
    state.SetItemsProcessed(state.iterations() * 2);
}
BENCHMARK(BM_FilterKey_FewMatch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return fx::bench::runHeadlessBenchmarks(argc, argv);
}
