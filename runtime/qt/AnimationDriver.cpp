#include "AnimationDriver.h"

namespace runtime {

// Qt says when animations start and when the last one stops; in between, every frame advances
// them all.
AnimationDriver::AnimationDriver(QObject* parent)
    : QAnimationDriver(parent)
    , m_frames([this] { advance(); }) {
    connect(this, &QAnimationDriver::started, this, [this] { m_frames.start(kFrameMs); });
    connect(this, &QAnimationDriver::stopped, this, [this] { m_frames.stop(); });
}

} // namespace runtime
