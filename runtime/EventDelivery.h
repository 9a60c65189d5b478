#pragma once
// EventDelivery runs the procedure bound to each event, one event at a time: an event raised while
// a procedure runs waits until that procedure has ended. An error raised by a procedure abandons
// the rest of it and goes to UntrappedErrors; a procedure that ends normally clears the current
// error. A procedure may bind events while it runs, its own included: it runs to its end as it
// was, and the new binding serves the next event.

#include "FormDesign.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace runtime {

class UntrappedErrors;

class EventDelivery {
public:
    using Procedure = std::function<void()>;

    explicit EventDelivery(UntrappedErrors& errors) noexcept
        : m_errors(errors) {}

    /// Binds `procedure` to `event` of `source`, replacing an earlier binding.
    /// Example: `delivery.bind(kFormItself, Event::Load, [&] { form.Form_Load(); });`
    void bind(ControlId source, Event event, Procedure procedure);

    /// Whether a procedure is bound to `event` of `source`.
    bool isBound(ControlId source, Event event) const noexcept;

    /// Runs the procedure bound to `event` of `source`, if any, then any event raised meanwhile.
    /// Example: `delivery.raise(form::Timer1, Event::Timer)` runs one refresh.
    void raise(ControlId source, Event event);

private:
    struct Binding {
        ControlId source;
        Event event;
        // Shared with a run of it in progress, which a new binding must not destroy.
        std::shared_ptr<const Procedure> procedure;
    };

    const Binding* find(ControlId source, Event event) const noexcept;
    void run(std::shared_ptr<const Procedure> procedure);

    UntrappedErrors& m_errors;
    std::vector<Binding> m_bindings;
    std::vector<std::pair<ControlId, Event>> m_pending;
    bool m_running = false;
};

} // namespace runtime
