// What one refresh costs through the real Qt widgets on the offscreen platform: with the input
// unchanged (the common case, a hundred times a second) and with it changing every tick. Each
// iteration also lets Qt process what the refresh posted, so repaints are part of the figure.
// A third figure is the unchanged refresh as the running program meets it: ten milliseconds
// after the last one, when other programs have had the processor's caches in between.
// Run: cmake --preset bench && cmake --build --preset bench &&
//      build/bench/bench/bench_widgets --benchmark_repetitions=10
//      --benchmark_report_aggregates_only

#include "WindowedForm1.h"

#include <QApplication>
#include <QTest>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

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

// Writes over more memory than any cache holds, so that the next refresh finds neither its code
// nor its data in the processor's caches.
void evictCaches() {
    static std::vector<unsigned char> elsewhere(64 << 20);
    for (std::size_t i = 0; i < elsewhere.size(); i += 64) {
        elsewhere[i] = static_cast<unsigned char>(elsewhere[i] + 1);
    }
    benchmark::ClobberMemory();
}

void refreshUnchangedCold(benchmark::State& state) {
    const auto form1 = shownForm1();
    if (!form1) {
        state.SkipWithError("the window was not exposed");
        return;
    }
    for (auto _ : state) {
        evictCaches();
        const auto start = std::chrono::steady_clock::now();
        form1->tick();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        // An unchanged refresh posts nothing; the event loop's own cold start is the floor's too.
        QCoreApplication::processEvents();
    }
}
BENCHMARK(refreshUnchangedCold)->UseManualTime()->Iterations(2000);

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
