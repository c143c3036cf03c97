#include "headlessmain.h"

#include <benchmark/benchmark.h>

#include <QApplication>

namespace fx::bench {

int runHeadlessBenchmarks(int argc, char** argv, const std::function<void()>& prepare,
                          const std::function<void()>& finish) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (prepare) prepare();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (finish) finish();
    return 0;
}

}  // namespace fx::bench
