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
    if (existing != m_bindings.end()) {
        existing->procedure = std::move(procedure);
    } else {
        m_bindings.push_back({source, event, std::move(procedure)});
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

void EventDelivery::run(const Procedure& procedure) {
    std::optional<RuntimeError> error;
    m_running = true;
    try {
        procedure();
    } catch (const RuntimeError& raised) {
        error = raised;
    } catch (const std::bad_alloc&) {
        error = RuntimeError(ErrorCode::OutOfMemory);
    } catch (const std::exception& raised) {
        error = RuntimeError(ErrorCode::Internal, raised.what());
    }
    m_running = false;
    if (error) {
        m_errors.report(*error);
    } else {
        m_errors.procedureCompleted();
    }
}

} // namespace runtime
