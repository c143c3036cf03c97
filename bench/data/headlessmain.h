#pragma once

#include <functional>

namespace fx::bench {

// The main function of a benchmark program that works with windows: runs headless (offscreen),
// makes the application object, hands the command line to the benchmark library, calls
// `prepare` before any timing (to build the installation and its records), runs the
// benchmarks and calls `finish` after the last one.
int runHeadlessBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {},
                          const std::function<void()>& finish = {});

}  // namespace fx::bench
