// Benchmark of the loan lists on a register of 10000 demo assets, every one of them lent
// (offscreen): "显示全部借出资产" through its command, the results window created (statement
// run, layout read, count shown), shown and painted; target at most 0.5 s.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDialog>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "connection.h"
#include "headlessmain.h"
#include "loancommands.h"
#include "modal.h"
#include "querystate.h"

namespace {

constexpr int kLoans = 10000;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kLoans);
        s->openCurrent();
        s->openHistory();
        // Every asset lent (the demo register has lent a few already): fifty borrowers in twenty
        // places, due over the next three months.
        fx::db::Connection& c = *s->current;
        fx::db::Transaction t(c);
        c.executeNative(QStringLiteral(
            "INSERT INTO jcb (id,jcr,pzr,jyr,jydw,jcrq,ghrq,other) SELECT ID1, '张三', "
            "'系统管理员', '借用人' || (ID1 % 50), '部门' || (ID1 % 20), "
            "date('2024-06-01', '-' || (ID1 % 90) || ' days'), "
            "date('2024-06-01', '+' || (ID1 % 90) || ' days'), '' FROM sbjl "
            "WHERE ID1 NOT IN (SELECT id FROM jcb)"));
        c.executeNative(QStringLiteral("UPDATE sbjl SET yjc=1"));
        t.commit();
        return s;
    }();
    return *state;
}

void BM_ShowAllLoans(benchmark::State& state) {
    fx::AppState& app = appState();
    int rows = 0;
    // The window is shown and painted, then closed as "退出" would.
    fx::ui::setModalHandler([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        d.reject();
        return int(QDialog::Rejected);
    });
    for (auto _ : state) {
        fx::query::QueryState q;
        fx::movements::showAllLoans(nullptr, app, q);
        rows = q.recordCount;
    }
    fx::ui::setModalHandler({});
    state.counters["rows"] = rows;
}
BENCHMARK(BM_ShowAllLoans)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
    // The installation and its loans are made before any timing.
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { appState(); });
}
