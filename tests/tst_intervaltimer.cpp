// The form's timers: they tick in the event loop, each on its own, until stopped or destroyed;
// and Qt's animations run to their end on them. Built with the platform's own timer (a Windows
// thread timer under Wine), this also shows that Qt's event loop delivers that timer's ticks.

#include "AnimationDriver.h"
#include "IntervalTimer.h"

#include <QTest>
#include <QVariantAnimation>
#include <memory>

using runtime::IntervalTimer;

class TestIntervalTimer : public QObject {
    Q_OBJECT

private slots:
    void ticksUntilStopped();
    void timersTickOnTheirOwn();
    void startingAgainKeepsOneTimer();
    void animationsRunToTheirEnd();
};

void TestIntervalTimer::ticksUntilStopped() {
    int ticks = 0;
    IntervalTimer timer([&] { ++ticks; });
    QVERIFY(!timer.isActive());
    QTest::qWait(50);
    QCOMPARE(ticks, 0);

    timer.start(10);
    QVERIFY(timer.isActive());
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 3, 5000);

    timer.stop();
    QVERIFY(!timer.isActive());
    const int stoppedAt = ticks;
    QTest::qWait(100);
    QCOMPARE(ticks, stoppedAt);
}

void TestIntervalTimer::timersTickOnTheirOwn() {
    int first = 0;
    int second = 0;
    auto one = std::make_unique<IntervalTimer>([&] { ++first; });
    IntervalTimer other([&] { ++second; });
    one->start(10);
    other.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(first >= 2 && second >= 2, 5000);

    one.reset(); // destroyed while running
    const int firstAt = first;
    const int secondAt = second;
    QTRY_VERIFY_WITH_TIMEOUT(second >= secondAt + 3, 5000);
    QCOMPARE(first, firstAt);
}

void TestIntervalTimer::startingAgainKeepsOneTimer() {
    int ticks = 0;
    IntervalTimer timer([&] { ++ticks; });
    timer.start(10);
    timer.start(10);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 1, 5000);
    timer.stop();
    const int stoppedAt = ticks;
    QTest::qWait(100);
    QCOMPARE(ticks, stoppedAt);
}

void TestIntervalTimer::animationsRunToTheirEnd() {
    runtime::AnimationDriver animations;
    animations.install();
    QVariantAnimation animation;
    animation.setStartValue(0);
    animation.setEndValue(100);
    animation.setDuration(200);
    int frames = 0;
    connect(&animation, &QVariantAnimation::valueChanged, this, [&] { ++frames; });
    bool started = false;
    connect(&animations, &QAnimationDriver::started, this, [&] { started = true; });

    animation.start();
    QTRY_COMPARE_WITH_TIMEOUT(animation.state(), QAbstractAnimation::Stopped, 5000);
    QCOMPARE(animation.currentValue().toInt(), 100);
    QVERIFY2(frames >= 3, qPrintable(QString::number(frames)));
    QVERIFY(started);
    QTRY_VERIFY(!animations.isRunning());
}

QTEST_GUILESS_MAIN(TestIntervalTimer)
#include "tst_intervaltimer.moc"
