#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

// The benchmarks' main: a widgets application, headless unless QT_QPA_PLATFORM says
// otherwise, around Google Benchmark's runner.
inline int qtBenchmarkMain(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
