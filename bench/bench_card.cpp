// Benchmarks of the asset card on a register of 100000 demo assets (offscreen):
//  - "保存" of a batch of 500 identical assets, target at most 1 s;
//  - showing an asset by its asset number, from Enter in the box to the card filled, target at
//    most 20 ms;
//  - a key typed into the card's model field with 5000 models to narrow, the configuration
//    looked up on every change, target at most 20 ms;
//  - "保存" of one asset whose number starts a run of 10000 taken numbers, answered "重试",
//    target at most 0.2 s; and the search for the free number on its own.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <memory>
#include <stdexcept>

#include "appstate.h"
#include "assetnumber.h"
#include "batchdialog.h"
#include "benchinstallation.h"
#include "benchstate.h"
#include "cardlists.h"
#include "connection.h"
#include "headlessmain.h"
#include "mainform.h"
#include "modal.h"
#include "prompt.h"
#include "rowset.h"
#include "typeaheadbox.h"

namespace {

constexpr int kAssets = 100000;
constexpr int kBatch = 500;
constexpr int kRun = 10000;

// Message boxes are answered at once: "重试" to a taken number, OK to everything else.
void answerPromptsAtOnce() {
    fx::ui::setPromptHandler([](const fx::ui::PromptRequest& r) {
        if (r.buttons.testFlag(QMessageBox::Retry)) return QMessageBox::Retry;
        return QMessageBox::Ok;
    });
}

// Dialogs are confirmed at once; the batch dialog with the count the benchmark wants.
int batchCount = kBatch;
void answerDialogsAtOnce() {
    fx::ui::setModalHandler([](QDialog& d) {
        if (auto* batch = qobject_cast<fx::TplzjDlg*>(&d)) batch->SpinEdit1->setValue(batchCount);
        d.accept();
        return int(QDialog::Accepted);
    });
}

fx::AppState& appState() {
    static const std::unique_ptr<fx::AppState> state = [] {
        auto s = fx::bench::administratorState(kAssets);
        return s;
    }();
    return *state;
}

// The window, started once; it goes before the application does.
std::unique_ptr<fx::TMainForm> theForm;

fx::TMainForm& mainForm() {
    if (!theForm) {
        answerDialogsAtOnce();
        theForm = std::make_unique<fx::TMainForm>(appState());
        if (!theForm->startUp()) throw std::runtime_error("the main window did not start");
        theForm->show();
        QApplication::processEvents();
    }
    return *theForm;
}

// A prefix of its own for every run, so that each batch starts on free numbers.
QString freshPrefix() {
    static int next = 0;
    QString letters;
    for (int n = next++; letters.size() < 4; n /= 26) letters.prepend(QChar(u'A' + n % 26));
    return QStringLiteral("Q") + letters + QLatin1Char('-');
}

// Fills the card as a user adding a computer would.
void fillCard(fx::TMainForm& f, const QString& number) {
    fx::setListText(f.DBComboBox1, QStringLiteral("计算机设备"));
    f.DBComboBox1Exit();
    fx::setListText(f.DBComboBox2, f.DBComboBox2->itemText(0));
    f.DBComboBox2Exit();
    fx::setListText(f.DBComboBox3, f.DBComboBox3->itemText(0));
    fx::setListText(f.DBComboBox6, f.DBComboBox6->itemText(0));
    f.DBEdit1->setText(QStringLiteral("4999.00"));
    f.DBMemo1->setPlainText(QStringLiteral("批量测试"));
    f.ComboBox1->setEditText(number);
}

void BM_SaveBatchOf500(benchmark::State& state) {
    fx::TMainForm& f = mainForm();
    answerPromptsAtOnce();
    for (auto _ : state) {
        batchCount = kBatch;
        f.New1Click();
        const QString prefix = freshPrefix();
        fillCard(f, prefix + QStringLiteral("1"));
        QElapsedTimer t;
        t.start();
        f.Save1Click();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        if (f.editMode() != fx::TMainForm::EditMode::Browse ||
            fx::numbering::firstFreeNumber(*appState().current, prefix, 1) != kBatch + 1)
            state.SkipWithError("the batch was not saved");
    }
    state.SetItemsProcessed(state.iterations() * kBatch);
}
BENCHMARK(BM_SaveBatchOf500)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ShowByAssetNumber(benchmark::State& state) {
    fx::TMainForm& f = mainForm();
    answerPromptsAtOnce();
    // Asset numbers spread over the register.
    QStringList numbers;
    {
        fx::db::RowSet rows(*appState().current,
                            QStringLiteral("select id,num from sbjl where ID1 in "
                                           "(17,4711,23456,50001,77777,99999)"));
        rows.open();
        for (rows.first(); !rows.eof(); rows.next())
            numbers << fx::numbering::formatAssetNumber(rows.text(QStringLiteral("id")),
                                                        rows.integer(QStringLiteral("num")));
    }
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.ComboBox1->setEditText(numbers[i++ % numbers.size()]);
        state.ResumeTiming();
        f.showByAssetNumber();
    }
    if (f.shownSerial() == 0) state.SkipWithError("no asset was shown");
}
BENCHMARK(BM_ShowByAssetNumber)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A prefix whose numbers 1 to 10000 are all taken.
QString runPrefix() {
    mainForm();  // the window opens the database
    static const QString prefix = [] {
        const QString p = QStringLiteral("RUN-");
        fx::db::Connection& c = *appState().current;
        fx::db::Transaction t(c);
        c.executeNative(
            QStringLiteral("with recursive n(k) as (select 1 union all select k+1 from n where "
                           "k<%1) insert into sbjl (id,num,zclb,sbmc,wz,bxq) "
                           "select '%2',k,'计算机设备','台式机','机房','五年' from n")
                .arg(kRun)
                .arg(p));
        c.executeNative(
            QStringLiteral("insert into idupper (idup,max) values ('%1',%2)").arg(p).arg(kRun));
        t.commit();
        return p;
    }();
    return prefix;
}

void BM_RetryOverTenThousandTakenNumbers(benchmark::State& state) {
    fx::TMainForm& f = mainForm();
    const QString prefix = runPrefix();
    answerPromptsAtOnce();
    static int runEnd = kRun;
    for (auto _ : state) {
        f.Add1Click();
        fillCard(f, prefix + QStringLiteral("1"));
        QElapsedTimer t;
        t.start();
        f.Save1Click();
        state.SetIterationTime(double(t.nsecsElapsed()) / 1e9);
        // Stored right above the run.
        if (f.editMode() != fx::TMainForm::EditMode::Browse ||
            f.ComboBox1->currentText() != fx::numbering::formatAssetNumber(prefix, ++runEnd))
            state.SkipWithError("the asset was not stored above the run");
    }
}
BENCHMARK(BM_RetryOverTenThousandTakenNumbers)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

void BM_FirstFreeNumberAfterARunOf10000(benchmark::State& state) {
    const QString prefix = runPrefix();
    fx::db::Connection& c = *appState().current;
    for (auto _ : state) benchmark::DoNotOptimize(fx::numbering::firstFreeNumber(c, prefix, 1));
    state.counters["run"] = double(kRun);
}
BENCHMARK(BM_FirstFreeNumberAfterARunOf10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    return fx::bench::runHeadlessBenchmarks(argc, argv, {}, [] {
        if (theForm) theForm->shutDown();
        theForm.reset();
        fx::ui::setPromptHandler({});
        fx::ui::setModalHandler({});
    });
}

// 5000 models of one name, and the card being added with that name chosen: the model field is
// the one being typed into.
void BM_CardModelKeyOver5000Models(benchmark::State& state) {
    constexpr int kModels = 5000;
    fx::TMainForm& f = mainForm();
    answerPromptsAtOnce();
    static const bool filled = [] {
        fx::db::Connection& c = *appState().current;
        fx::db::Transaction t(c);
        c.executeNative(
            QStringLiteral("with recursive n(k) as (select 1 union all select k+1 from n where "
                           "k<%1) insert into xhpz (sbmc,sbxh,sbpz) select '型号测试机','M'||k,"
                           "'配置'||k from n")
                .arg(kModels));
        c.executeNative(
            QStringLiteral("insert into sortb (name,sort,bht,wzorgr) values "
                           "('型号测试机','计算机设备','XHC',1)"));
        t.commit();
        return true;
    }();
    (void)filled;
    f.Add1Click();
    fx::setListText(f.DBComboBox1, QStringLiteral("计算机设备"));
    f.DBComboBox1Exit();
    fx::setListText(f.DBComboBox2, QStringLiteral("型号测试机"));
    f.DBComboBox2Exit();
    fx::dictionary::TypeAheadBox* model = f.DBComboBox5;
    // The user is in the model field.
    model->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();
    const QStringList texts = {QStringLiteral("M"),    QStringLiteral("M1"),  QStringLiteral("M12"),
                               QStringLiteral("M123"), QStringLiteral("M12"), QStringLiteral("M1")};
    int i = 0;
    for (auto _ : state) {
        model->keyPressed(QStringLiteral("x"));
        model->lineEdit()->setText(texts[i++ % texts.size()]);
    }
    if (model->entries().size() < 3) state.SkipWithError("the list was not narrowed");
    model->hidePopup();
    f.Cancel1Click();
}
BENCHMARK(BM_CardModelKeyOver5000Models)->Unit(benchmark::kMillisecond)->MinTime(1.0);
