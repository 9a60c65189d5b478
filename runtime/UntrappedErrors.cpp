#include "UntrappedErrors.h"

#include <ostream>

namespace runtime {

UntrappedErrors::UntrappedErrors(std::ostream& log)
    : m_log(log) {}

void UntrappedErrors::report(const RuntimeError& error) {
    if (m_current == error) {
        return;
    }
    m_current = error;
    m_log << "Runtime error " << error.number() << ": " << error.description() << std::endl;
    if (m_listener) {
        m_listener(&*m_current);
    }
}

void UntrappedErrors::procedureCompleted() {
    if (!m_current) {
        return;
    }
    m_current.reset();
    if (m_listener) {
        m_listener(nullptr);
    }
}

} // namespace runtime
