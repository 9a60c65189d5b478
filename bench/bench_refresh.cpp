// What one refresh of the converter costs without a screen, and its parsing and formatting alone.
// Run: cmake --preset bench && cmake --build --preset bench &&
//      build/bench/bench/bench_refresh --benchmark_repetitions=10
//      --benchmark_report_aggregates_only

#include "NumberFormatter.h"
#include "NumberParser.h"
#include "ScreenlessForm1.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <iterator>

namespace {

void refreshCycle(benchmark::State& state, const char* input) {
    ScreenlessForm1 screen;
    screen.load();
    screen.type(QString::fromLatin1(input));
    for (auto _ : state) {
        screen.tick();
    }
    if (screen.window.errors().current()) {
        state.SkipWithError("the refresh failed");
    }
}
BENCHMARK_CAPTURE(refreshCycle, empty, "");
BENCHMARK_CAPTURE(refreshCycle, typical, "98.6");
BENCHMARK_CAPTURE(refreshCycle, longNumber, "-273.15000000000000568434188608080148696899414");

// A different input on every tick, as while typing: nothing is remembered from the tick before.
void refreshCycleChanging(benchmark::State& state) {
    ScreenlessForm1 screen;
    screen.load();
    const QString inputs[] = {QStringLiteral("98.6"), QStringLiteral("-273.15"),
                              QStringLiteral("37.5"), QStringLiteral("212")};
    std::size_t next = 0;
    for (auto _ : state) {
        screen.type(inputs[next]);
        next = (next + 1) % std::size(inputs);
        screen.tick();
    }
}
BENCHMARK(refreshCycleChanging);

// The scan itself; parseNumber would remember the unchanged text and skip it.
void scanNumber(benchmark::State& state, const char* input) {
    const QString text = QString::fromLatin1(input);
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::scanNumber(text));
    }
}
BENCHMARK_CAPTURE(scanNumber, short, "98.6");
BENCHMARK_CAPTURE(scanNumber, seventeenDigits, "-273.15000000000001");
BENCHMARK_CAPTURE(scanNumber, exponent, "1.8e30");

// A megabyte of blanks between the number and the letters: scanned once, then remembered.
void parseNumberOfAMegabyte(benchmark::State& state, bool unchanged) {
    QString text = "12" + QString(1'000'000, u' ') + "abc";
    for (auto _ : state) {
        if (!unchanged) {
            text.detach();
            text[1] = text[1] == u'2' ? u'3' : u'2';
        }
        benchmark::DoNotOptimize(runtime::parseNumber(text));
    }
}
BENCHMARK_CAPTURE(parseNumberOfAMegabyte, unchanged, true);
BENCHMARK_CAPTURE(parseNumberOfAMegabyte, changingEveryTime, false);

void formatNumber(benchmark::State& state, double value) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::formatNumber(value, u"#0.00"));
    }
}
BENCHMARK_CAPTURE(formatNumber, remembered, 209.48);

// Three values in turn, more than formatting remembers: the digits are generated every time.
void formatNumberAnew(benchmark::State& state, double value) {
    const double values[] = {value, std::nextafter(value, -1e300), std::nextafter(value, 1e300)};
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(runtime::formatNumber(values[next], u"#0.00"));
        next = (next + 1) % std::size(values);
    }
}
BENCHMARK_CAPTURE(formatNumberAnew, typical, 209.48);
BENCHMARK_CAPTURE(formatNumberAnew, repeating, -160.0 / 9);
BENCHMARK_CAPTURE(formatNumberAnew, large, 1.8e30);

} // namespace

BENCHMARK_MAIN();
