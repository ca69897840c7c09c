// Benchmarks run inside the player's application object on Qt's offscreen platform.
#include "main/Application.h"
#include "main/MessageBox.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TApplication app(argc, argv);
    SetMessageBoxHook([](const QString&, const QString&, MessageIcon) {});
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
