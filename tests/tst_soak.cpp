// A million refreshes on the screenless window, with typing, errors and CLEAR mixed in: the
// outputs stay right, no reference is left behind and memory does not grow.

#include "PeakMemory.h"
#include "ScreenlessForm1.h"

#include <QLocale>
#include <QTest>

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void aMillionRefreshes();
};

void TestSoak::aMillionRefreshes() {
    QLocale::setDefault(QLocale::c());
    struct Step {
        QString input;
        QString fahrenheit;
    };
    // An empty expectation stands for an error that leaves the outputs as they were.
    const Step steps[] = {{"100", "212.00"}, {"1e400", ""},
                          {"-40", "-40.00"}, {"98.6", "209.48"},
                          {"abc", "32.00"},  {"12" + QString(1000, u' '), "53.60"}};
    constexpr int kTicks = 1'000'000;
    constexpr int kTicksPerStep = 997;
    constexpr std::int64_t kAllowedGrowthKb = 1024;

    ScreenlessForm1 screen;
    screen.load();
    std::int64_t baseline = 0;
    for (int tick = 1; tick <= kTicks; ++tick) {
        if (tick % 10'007 == 0) {
            screen.clickClear();
        }
        if (tick % kTicksPerStep == 0) {
            const Step& step = steps[(tick / kTicksPerStep) % std::size(steps)];
            const QString before = screen.fahrenheit().text();
            screen.type(step.input);
            screen.tick();
            QCOMPARE(screen.fahrenheit().text(),
                     step.fahrenheit.isEmpty() ? before : step.fahrenheit);
            QCOMPARE(bool(screen.window.errors().current()), step.fahrenheit.isEmpty());
        } else {
            screen.tick();
        }
        if (tick == 1000) {
            baseline = peakResidentKilobytes();
        }
    }
    QCOMPARE(screen.window.references(), 0);
    if (!peakMemoryIsMeaningful()) {
        QSKIP("memory growth not checked: no meaningful peak memory figure in this build");
    }
    const std::int64_t growth = peakResidentKilobytes() - baseline;
    qInfo("peak memory grew by %lld kB over %d refreshes", qlonglong(growth), kTicks);
    QVERIFY(growth <= kAllowedGrowthKb);
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
