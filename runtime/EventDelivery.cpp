#include "EventDelivery.h"

#include "RuntimeError.h"
#include "UntrappedErrors.h"

#include <algorithm>
#include <new>
#include <optional>

namespace runtime {

void EventDelivery::bind(ControlId source, Event event, Procedure procedure) {
    const auto existing =
        std::find_if(m_bindings.begin(), m_bindings.end(), [&](const Binding& binding) {
            return binding.source == source && binding.event == event;
        });
    auto shared = std::make_shared<const Procedure>(std::move(procedure));
    if (existing != m_bindings.end()) {
        existing->procedure = std::move(shared);
    } else {
        m_bindings.push_back({source, event, std::move(shared)});
    }
}

bool EventDelivery::isBound(ControlId source, Event event) const noexcept {
    return find(source, event) != nullptr;
}

const EventDelivery::Binding* EventDelivery::find(ControlId source, Event event) const noexcept {
    for (const Binding& binding : m_bindings) {
        if (binding.source == source && binding.event == event) {
            return &binding;
        }
    }
    return nullptr;
}

void EventDelivery::raise(ControlId source, Event event) {
    if (m_running) {
        m_pending.emplace_back(source, event);
        return;
    }
    if (const Binding* binding = find(source, event)) {
        run(binding->procedure);
    }
    // Events raised by the procedures themselves, in the order they were raised.
    for (std::size_t i = 0; i < m_pending.size(); ++i) {
        if (const Binding* binding = find(m_pending[i].first, m_pending[i].second)) {
            run(binding->procedure);
        }
    }
    m_pending.clear();
}

namespace {

// Marks a procedure as running for as long as it lives, whichever way its scope is left.
class RunningFlag {
public:
    explicit RunningFlag(bool& running) noexcept
        : m_running(running) {
        m_running = true;
    }
    ~RunningFlag() { m_running = false; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;

private:
    bool& m_running;
};

} // namespace

// `procedure` is held by value: a bind while it runs replaces the binding's pointer, not it.
void EventDelivery::run(std::shared_ptr<const Procedure> procedure) {
    std::optional<RuntimeError> error;
    {
        const RunningFlag running(m_running);
        try {
            (*procedure)();
        } catch (const RuntimeError& raised) {
            error = raised;
        } catch (const std::bad_alloc&) {
            error = RuntimeError(ErrorCode::OutOfMemory);
        } catch (const std::exception& raised) {
            error = RuntimeError(ErrorCode::Internal, raised.what());
        } catch (...) {
            // Not an exception of the standard library's kind: there is no text to keep.
            error = RuntimeError(ErrorCode::Internal);
        }
    }
    if (error) {
        m_errors.report(*error);
    } else {
        m_errors.procedureCompleted();
    }
}

} // namespace runtime
