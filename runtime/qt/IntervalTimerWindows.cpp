#include "IntervalTimer.h"

// clang-format off: <windows.h> comes before every other Windows header
#include <windows.h>
// clang-format on

#include <QtGlobal>
#include <unordered_map>
#include <utility>

namespace runtime {

class IntervalTimer::Source final {
public:
    explicit Source(std::function<void()> tick)
        : tick(std::move(tick)) {}

    std::function<void()> tick;
    UINT_PTR id = 0; ///< Windows' name for the running timer; 0 while stopped
};

namespace {

// The ticks of the running timers, by their ids: a timer procedure is told no more than the id.
// Thread timers tick on the thread that set them, and the program's timers are all on its GUI
// thread, so one table serves them all.
std::unordered_map<UINT_PTR, const std::function<void()>*>& running() {
    static std::unordered_map<UINT_PTR, const std::function<void()>*> timers;
    return timers;
}

// Windows calls this from DispatchMessage for a WM_TIMER of a thread timer: Qt's event loop
// dispatches the thread's messages, and so does the system's own loop while a window is moved.
void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (const auto timer = running().find(id); timer != running().end()) {
        (*timer->second)();
    }
}

} // namespace

IntervalTimer::IntervalTimer(std::function<void()> tick)
    : m_source(std::make_unique<Source>(std::move(tick))) {}

IntervalTimer::~IntervalTimer() {
    stop();
}

// A thread timer (no window) with the system's default coalescing: it never asks for a faster
// system clock, unlike the multimedia timers that Qt uses for short intervals.
void IntervalTimer::start(int milliseconds) {
    stop();
    m_source->id = SetCoalescableTimer(nullptr, 0, static_cast<UINT>(milliseconds), onTimer,
                                       TIMERV_DEFAULT_COALESCING);
    if (m_source->id == 0) {
        qWarning("IntervalTimer: Windows gave no timer (error %lu)", GetLastError());
        return;
    }
    running()[m_source->id] = &m_source->tick;
}

void IntervalTimer::stop() {
    if (m_source->id != 0) {
        KillTimer(nullptr, m_source->id);
        running().erase(m_source->id);
        m_source->id = 0;
    }
}

bool IntervalTimer::isActive() const {
    return m_source->id != 0;
}

} // namespace runtime
