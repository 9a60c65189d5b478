#include "IntervalTimer.h"

#include <QBasicTimer>
#include <QObject>
#include <QTimerEvent>
#include <utility>

namespace runtime {

class IntervalTimer::Source final : public QObject {
public:
    explicit Source(std::function<void()> tick)
        : m_tick(std::move(tick)) {}

    QBasicTimer timer;

protected:
    void timerEvent(QTimerEvent* event) override {
        if (event->timerId() == timer.timerId()) {
            m_tick();
        }
    }

private:
    std::function<void()> m_tick;
};

IntervalTimer::IntervalTimer(std::function<void()> tick)
    : m_source(std::make_unique<Source>(std::move(tick))) {}

IntervalTimer::~IntervalTimer() = default;

void IntervalTimer::start(int milliseconds) {
    m_source->timer.start(milliseconds, m_source.get());
}

void IntervalTimer::stop() {
    m_source->timer.stop();
}

bool IntervalTimer::isActive() const {
    return m_source->timer.isActive();
}

} // namespace runtime
