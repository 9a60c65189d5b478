#include "EventDelivery.h"

#include "RuntimeError.h"
#include "UntrappedErrors.h"

#include <algorithm>
#include <new>

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
    m_running = true;
    try {
        procedure();
        m_running = false;
        m_errors.procedureCompleted();
    } catch (const RuntimeError& error) {
        m_running = false;
        m_errors.report(error);
    } catch (const std::bad_alloc&) {
        m_running = false;
        m_errors.report(RuntimeError(ErrorCode::OutOfMemory));
    } catch (const std::exception& error) {
        m_running = false;
        m_errors.report(RuntimeError(ErrorCode::Internal, error.what()));
    }
}

} // namespace runtime
