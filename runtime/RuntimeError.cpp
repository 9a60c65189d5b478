#include "RuntimeError.h"

#include <utility>

namespace runtime {

RuntimeError::RuntimeError(ErrorCode code)
    : RuntimeError(code, standardText(code)) {}

RuntimeError::RuntimeError(ErrorCode code, std::string description)
    : m_code(code)
    , m_description(std::move(description)) {}

std::string RuntimeError::standardText(ErrorCode code) {
    switch (code) {
    case ErrorCode::InvalidArgument:
        return "Invalid argument";
    case ErrorCode::Overflow:
        return "Overflow";
    case ErrorCode::Internal:
        return "Internal error";
    case ErrorCode::OutOfMemory:
        return "Out of memory";
    case ErrorCode::DivisionByZero:
        return "Division by zero";
    case ErrorCode::TypeMismatch:
        return "Type mismatch";
    case ErrorCode::UnknownMember:
        return "Unknown property or method";
    case ErrorCode::ControlFailed:
        return "The control rejected the call";
    }
    return "Error " + std::to_string(static_cast<int>(code));
}

} // namespace runtime
