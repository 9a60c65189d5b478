#pragma once
// IntervalTimer calls a function again and again at an interval, on the thread that started it:
// the ticks of a form's timer control. It asks the window system for its ordinary timer, served
// at the rate of the system's clock, and never makes that clock faster. This matters on
// Windows: Qt serves any timer of 20 ms or less with a multimedia timer of 1 ms resolution,
// which holds the whole system's clock at 1 kHz, and the processor out of its power-saving
// states, for as long as it runs. There a Windows thread timer (WM_TIMER) ticks instead, at most
// as often as the interval asks and no more often than the system's clock (every 15.6 ms unless
// something else has made it faster). Elsewhere a Qt timer ticks, as often as the interval asks.
//
// CMake builds one of the two: IntervalTimerWindows.cpp on Windows, IntervalTimerQt.cpp
// elsewhere.

#include <functional>
#include <memory>

namespace runtime {

class IntervalTimer final {
public:
    /// A stopped timer that will call `tick` at every tick once started. `tick` must not throw.
    /// Example: `IntervalTimer timer([&] { ++ticks; });`
    explicit IntervalTimer(std::function<void()> tick);
    ~IntervalTimer();
    IntervalTimer(const IntervalTimer&) = delete;
    IntervalTimer& operator=(const IntervalTimer&) = delete;

    /// Starts ticking every `milliseconds` (1 or more) from now; a running timer starts again.
    /// Example: `timer.start(10)`: ticks come while the thread's event loop runs.
    void start(int milliseconds);
    /// Example: `timer.stop()`: no tick comes after it.
    void stop();
    /// Example: true after `timer.start(10)`, false again after `timer.stop()`.
    bool isActive() const;

private:
    class Source; // the platform's timer
    std::unique_ptr<Source> m_source;
};

} // namespace runtime
