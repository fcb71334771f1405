#pragma once
// Entry of the benchmark programs that need a QApplication; the platform
// defaults to offscreen so they run without a display.
#include <benchmark/benchmark.h>

#include <QApplication>

#define LUMESTA_QT_BENCHMARK_MAIN()                                      \
    int main(int argc, char** argv)                                      \
    {                                                                    \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))              \
            qputenv("QT_QPA_PLATFORM", "offscreen");                     \
        QApplication app(argc, argv);                                    \
        benchmark::Initialize(&argc, argv);                              \
        benchmark::RunSpecifiedBenchmarks();                             \
        benchmark::Shutdown();                                           \
        return 0;                                                        \
    }
