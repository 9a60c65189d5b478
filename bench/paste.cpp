// Pasting a large clipboard into the input, and typing afterwards. One run measures one kind of
// content at one size, on the offscreen platform with the real 10 ms timer running:
//   paste     Ctrl+V of "12x" and the content, until the Fahrenheit output shows 53.60;
//   start     Ctrl+Home and Delete, until it shows 35.60; then Ctrl+Home and "9", until 197.60;
//   end       Ctrl+End and Backspace, then Ctrl+End and "9", each until the key is painted and
//             a refresh has read the text (a full input takes a key only after one is deleted);
//   CPU       the process's CPU time over the following seconds while nothing changes.
// Each measurement runs the refresh itself once the events are handled instead of waiting for
// the next tick, so it gives the work done, not where in the 10 ms period the key fell.
//
// Run: build/bench/bench/paste KIND SIZE, with KIND one of digits, letters, blanks, words, lines,
// scripts and SIZE in UTF-16 code units, with k or M for thousands or millions (32k, 10M);
// bench/paste-table.sh runs the whole table, each run under a time limit.

#include "WindowedForm1.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Runs the event loop, idle but for the program's own timers, for `ms` milliseconds.
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// "32k" is 32,000, "10M" 10,000,000; 0 for anything else.
qsizetype parseSize(const char* text) {
    char* end = nullptr;
    const long long count = std::strtoll(text, &end, 10);
    const long long unit = *end == 'k' ? 1000 : *end == 'M' ? 1'000'000 : 1;
    return count > 0 && (unit == 1 ? *end == 0 : end[1] == 0) ? qsizetype(count * unit) : 0;
}

// `size` UTF-16 code units of one kind of content, or nothing for an unknown kind.
QString content(const char* kind, qsizetype size) {
    const char* pattern = nullptr;
    QString unit;
    if (std::strcmp(kind, "digits") == 0) {
        pattern = "0123456789";
    } else if (std::strcmp(kind, "letters") == 0) {
        pattern = "abcdefghijklmnopqrstuvwxyz";
    } else if (std::strcmp(kind, "blanks") == 0) {
        pattern = " ";
    } else if (std::strcmp(kind, "words") == 0) {
        pattern = "the quick brown fox jumps over the lazy dog ";
    } else if (std::strcmp(kind, "lines") == 0) {
        pattern = "abc\n";
    } else if (std::strcmp(kind, "scripts") == 0) {
        unit = QStringLiteral(
            u"Größe температура حرارة तापमान 温度 🌡️ ");
    } else {
        return {};
    }
    if (pattern != nullptr) {
        unit = QString::fromLatin1(pattern);
    }
    QString text;
    text.reserve(size + unit.size());
    while (text.size() < size) {
        text += unit;
    }
    text.truncate(size);
    return text;
}

// Handles what the last input posted (the repaint among it), then refreshes once; returns the
// milliseconds since `clock` started.
double paintedAndConverted(WindowedForm1& form1, const QElapsedTimer& clock) {
    QCoreApplication::processEvents();
    form1.tick();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QApplication application(argc, argv);
    const QString filler = argc == 3 ? content(argv[1], parseSize(argv[2])) : QString();
    if (filler.isEmpty()) {
        std::fprintf(stderr, "usage: paste digits|letters|blanks|words|lines|scripts SIZE\n");
        return 2;
    }
    WindowedForm1 form1;
    form1.window.loadAndShow();
    if (!QTest::qWaitForWindowExposed(&form1.window)) {
        return 1;
    }
    QTextEdit* input = form1.input();
    QLineEdit* fahrenheit = form1.box(form::Text2);
    idle(200);

    QApplication::clipboard()->setText("12x" + filler);
    QElapsedTimer clock;
    clock.start();
    QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
    const double pasteMs = paintedAndConverted(form1, clock);
    const bool pasted = fahrenheit->text() == "53.60";

    // A full input takes no more characters: each key that types one follows one that deletes.
    const auto key = [&](Qt::Key move, Qt::Key edit) {
        idle(200);
        clock.restart();
        QTest::keyClick(input, move, Qt::ControlModifier);
        QTest::keyClick(input, edit);
        return paintedAndConverted(form1, clock);
    };
    const qsizetype length = input->document()->characterCount();
    const double startDeleteMs = key(Qt::Key_Home, Qt::Key_Delete); // "2x…"
    bool typed = fahrenheit->text() == "35.60";
    const double startTypeMs = key(Qt::Key_Home, Qt::Key_9); // "92x…"
    typed = typed && fahrenheit->text() == "197.60";
    const double endDeleteMs = key(Qt::Key_End, Qt::Key_Backspace);
    const double endTypeMs = key(Qt::Key_End, Qt::Key_9);
    typed = typed && input->document()->characterCount() == length;

    idle(1000);
    const double cpuIdleSeconds = 5;
    const double cpu = cpuSeconds();
    idle(static_cast<int>(cpuIdleSeconds * 1000));
    const double cpuPercent = (cpuSeconds() - cpu) / cpuIdleSeconds * 100;

    std::printf("%-8s %5s  paste %7.1f ms%s  start: delete %6.1f ms, type %6.1f ms  "
                "end: delete %6.1f ms, type %6.1f ms%s  CPU %.2f %%  kept %lld\n",
                argv[1], argv[2], pasteMs, pasted ? "" : " (NOT CONVERTED)", startDeleteMs,
                startTypeMs, endDeleteMs, endTypeMs, typed ? "" : " (KEYS NOT CONVERTED)",
                cpuPercent, static_cast<long long>(length - 1));
    return pasted && typed ? 0 : 1;
}
