#pragma once
// UntrappedErrors is where an error goes that a procedure does not trap (none does). The program
// neither ends nor blocks because of it: the error becomes the current error, which the window
// shows without a dialog until an event procedure completes without one. Each new error is
// written once to a log (standard error by default), not once for every tick that repeats it.

#include "RuntimeError.h"

#include <functional>
#include <iosfwd>
#include <optional>

namespace runtime {

class UntrappedErrors {
public:
    /// Called whenever the current error changes; nullptr when it is cleared.
    using Listener = std::function<void(const RuntimeError* current)>;

    /// Example: `UntrappedErrors errors(std::cerr);`
    explicit UntrappedErrors(std::ostream& log);

    /// Makes `error` the current error. Writes "Runtime error 6: Overflow" and a newline to the
    /// log unless the same error is already current.
    /// Example: reporting Overflow on 100 ticks in a row writes one line.
    void report(const RuntimeError& error);

    /// An event procedure ran to its end: clears the current error.
    /// Example: after `report(e); procedureCompleted();`, `current()` is empty.
    void procedureCompleted();

    const std::optional<RuntimeError>& current() const noexcept { return m_current; }

    void setListener(Listener listener) { m_listener = std::move(listener); }

private:
    std::ostream& m_log;
    std::optional<RuntimeError> m_current;
    Listener m_listener;
};

} // namespace runtime
