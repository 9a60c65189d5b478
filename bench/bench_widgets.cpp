// What one refresh costs through the real Qt widgets on the offscreen platform: with the input
// unchanged (the common case, a hundred times a second) and with it changing every tick. Each
// iteration also lets Qt process what the refresh posted, so repaints are part of the figure.
// Run: cmake --preset bench && cmake --build --preset bench &&
//      build/bench/bench/bench_widgets --benchmark_repetitions=10
//      --benchmark_report_aggregates_only

#include "WindowedForm1.h"

#include <QApplication>
#include <QTest>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

std::unique_ptr<WindowedForm1> shownForm1() {
    auto form1 = std::make_unique<WindowedForm1>();
    form1->window.loadAndShow();
    if (!QTest::qWaitForWindowExposed(&form1->window)) {
        return nullptr;
    }
    QTest::keyClicks(form1->input(), QStringLiteral("98.6"));
    form1->tick();
    QCoreApplication::processEvents();
    return form1;
}

void refreshUnchanged(benchmark::State& state) {
    const auto form1 = shownForm1();
    if (!form1) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    for (auto _ : state) {
        form1->tick();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(refreshUnchanged);

// Every tick sees a different input: alternately a digit appended and taken away, as typing
// and backspacing would, through the text cursor of the box.
void refreshChanging(benchmark::State& state) {
    const auto form1 = shownForm1();
    if (!form1) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    QTextCursor cursor(form1->input()->document());
    cursor.movePosition(QTextCursor::End);
    bool grow = true;
    for (auto _ : state) {
        if (grow) {
            cursor.insertText(QStringLiteral("5"));
        } else {
            cursor.deletePreviousChar();
        }
        grow = !grow;
        form1->tick();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(refreshChanging);

} // namespace

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
