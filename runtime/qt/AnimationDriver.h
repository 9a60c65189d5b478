#pragma once
// AnimationDriver paces Qt's animations (the desktop style's transitions, such as a button's
// when the pointer comes over it) with an IntervalTimer every 16 ms, in place of Qt's own driver.
// Qt's own asks for a precise timer, which on Windows is a multimedia timer that raises the
// whole system's clock to 1 kHz for as long as an animation runs; an IntervalTimer never raises
// it. Elsewhere its frames come as often as Qt's own driver's.

#include "IntervalTimer.h"

#include <QAnimationDriver>

namespace runtime {

class AnimationDriver final : public QAnimationDriver {
public:
    /// The time between frames, as with Qt's own driver.
    static constexpr int kFrameMs = 16;

    /// A driver that paces the animations of the calling thread once installed, until it is
    /// destroyed. Example: `runtime::AnimationDriver animations; animations.install();`
    explicit AnimationDriver(QObject* parent = nullptr);

private:
    IntervalTimer m_frames;
};

} // namespace runtime
