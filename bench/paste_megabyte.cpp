// A megabyte pasted into the input: "12", a million blanks, "abc". Measures, on the offscreen
// platform with the real 10 ms timer running: the time from the paste until the outputs show
// 53.60 and -11.11, the time one keystroke takes to be handled afterwards, and the process's
// CPU use over the following seconds while nothing changes.
// Run: build/bench/bench/paste_megabyte   (prints one line per figure)

#include "WindowedForm1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop until `done` or `timeoutMs`, looking every millisecond; returns the
// milliseconds it took.
template <class Predicate>
double waitUntil(Predicate done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || clock.elapsed() >= timeoutMs) {
            loop.quit();
        }
    });
    look.start(1);
    loop.exec();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

// Runs the event loop, idle but for the program's own timers, for `ms` milliseconds.
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QApplication application(argc, argv);
    WindowedForm1 form1;
    form1.window.loadAndShow();
    if (!QTest::qWaitForWindowExposed(&form1.window)) {
        return 1;
    }
    const double idleSeconds = 5;
    idle(500);
    double cpu = cpuSeconds();
    idle(static_cast<int>(idleSeconds * 1000));
    std::printf("steady CPU, empty input:         %.2f %% of a core\n",
                (cpuSeconds() - cpu) / idleSeconds * 100);

    QMimeData megabyte;
    megabyte.setText("12" + QString(1'000'000, u' ') + "abc");
    QElapsedTimer clock;
    clock.start();
    form1.input()->insertPlainText(megabyte.text());
    const double pasteMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double convertedMs =
        pasteMs + waitUntil([&] { return form1.box(form::Text2)->text() == "53.60"; }, 10'000);
    std::printf("paste handled:                   %.1f ms\n", pasteMs);
    std::printf("paste to 53.60 and -11.11:       %.1f ms (%s, %s)\n", convertedMs,
                qPrintable(form1.box(form::Text2)->text()),
                qPrintable(form1.box(form::Text3)->text()));

    idle(500);
    clock.restart();
    QTest::keyClick(form1.input(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(form1.input(), Qt::Key_Delete);
    const double keyMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double updatedMs =
        keyMs + waitUntil([&] { return form1.box(form::Text2)->text() == "35.60"; }, 10'000);
    std::printf("keystroke handled:               %.1f ms\n", keyMs);
    std::printf("keystroke to updated output:     %.1f ms (%s)\n", updatedMs,
                qPrintable(form1.box(form::Text2)->text()));

    idle(500);
    cpu = cpuSeconds();
    idle(static_cast<int>(idleSeconds * 1000));
    std::printf("steady CPU, megabyte in input:   %.2f %% of a core\n",
                (cpuSeconds() - cpu) / idleSeconds * 100);
    return 0;
}
