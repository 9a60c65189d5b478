#pragma once
// RuntimeError is what a failing step of an event procedure raises: an arithmetic overflow, a
// control that rejects a call, a value of the wrong type. It carries an error number and a text.
// Procedures never catch it; EventDelivery hands it to UntrappedErrors.

#include <exception>
#include <string>

namespace runtime {

enum class ErrorCode : int {
    InvalidArgument = 5,
    Internal = 51,
    Overflow = 6,
    OutOfMemory = 7,
    DivisionByZero = 11,
    TypeMismatch = 13,
    UnknownMember = 1001,
    ControlFailed = 1002,
};

class RuntimeError : public std::exception {
public:
    /// An error with the standard text of its code.
    /// Example: `RuntimeError(ErrorCode::Overflow).description() == "Overflow"`,
    /// `RuntimeError(ErrorCode::Overflow).number() == 6`.
    explicit RuntimeError(ErrorCode code);

    /// An error with a text of its own.
    /// Example: `RuntimeError(ErrorCode::InvalidArgument, "Unsupported format pattern")`.
    RuntimeError(ErrorCode code, std::string description);

    ErrorCode code() const noexcept { return m_code; }
    int number() const noexcept { return static_cast<int>(m_code); }
    const std::string& description() const noexcept { return m_description; }
    const char* what() const noexcept override { return m_description.c_str(); }

    /// The standard text of a code.
    /// Example: `RuntimeError::standardText(ErrorCode::TypeMismatch) == "Type mismatch"`.
    static std::string standardText(ErrorCode code);

    friend bool operator==(const RuntimeError& a, const RuntimeError& b) noexcept {
        return a.m_code == b.m_code && a.m_description == b.m_description;
    }

private:
    ErrorCode m_code;
    std::string m_description;
};

} // namespace runtime
