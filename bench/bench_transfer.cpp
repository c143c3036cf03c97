// Benchmark of a batch transfer on a register of 5000 demo assets (offscreen): 1000 assets kept
// by location selected in the asset query's results window, moved to one place with the batch
// slip prepared (the history rows, the asset rows, the slip's lines and the grid read again);
// target at most 2 s.
#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <memory>

#include "appstate.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "connection.h"
#include "depreciation.h"
#include "headlessmain.h"
#include "modal.h"
#include "querystate.h"
#include "resulttable.h"
#include "tcxjgdlg1.h"
#include "tpaperdlg.h"
#include "transfercommands.h"
#include "typeaheadbox.h"

namespace {

constexpr int kAssets = 5000;
constexpr int kBatch = 1000;

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        s->openCurrent();
        s->openHistory();
        s->current->executeNative(QStringLiteral("update sbjl set worp=1"));
        return s;
    }();
    return *state;
}

void BM_BatchTransfer(benchmark::State& state) {
    // The target dialog answered at once with the slip and its preview ticked; the preview is
    // closed as soon as it shows the laid-out slip.
    fx::ui::setModalHandler([](QDialog& d) {
        if (auto* target = qobject_cast<fx::report::TpaperDlg*>(&d)) {
            target->ComboBox1->setText(QStringLiteral("机房"));
            target->CheckBox1->setChecked(true);
            target->CheckBox2->setChecked(true);
            target->BitBtn1Click();
            return target->result();
        }
        return int(QDialog::Rejected);
    });
    int moved = 0;
    for (auto _ : state) {
        fx::query::QueryState q;
        q.kind = fx::query::ResultKind::AssetQuery;
        q.queryText = fx::reports::kAssetQuery;
        q.orderText = QStringLiteral(" order by ID1");
        fx::query::TcxjgDlg1 w(appState(), q);
        std::vector<int> rows;
        for (int r = 0; r < kBatch; ++r) rows.push_back(r);
        w.selectRows(rows);
        fx::movements::batchTransfer(w, appState());
        moved = w.selectedCount();
    }
    state.counters["assets"] = moved;
    // Every iteration must have written a history row per asset.
    state.counters["history_rows"] =
        appState().history->queryValue(QStringLiteral("select count(*) from his")).toDouble();
    fx::ui::setModalHandler({});
}
BENCHMARK(BM_BatchTransfer)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    // The installation is made before any timing.
    return fx::bench::runHeadlessBenchmarks(argc, argv, [] { appState(); });
}
