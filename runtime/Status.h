#pragma once
// Status is what a control returns from a call instead of throwing: controls may sit behind a
// boundary that cannot carry exceptions. checkStatus turns a failing status into a RuntimeError at
// once, so that a procedure never goes on after a control said no. A status cannot be dropped
// unread ([[nodiscard]]).

#include <cstdint>

namespace runtime {

// clang-format 14 would read the attribute as the start of a braced initialiser.
// clang-format off
enum class [[nodiscard]] Status : std::int32_t {
    Ok = 0,
    Failed,
    UnknownMember,
    TypeMismatch,
    InvalidArgument,
    OutOfMemory,
};
// clang-format on

/// Does nothing for Status::Ok, throws the matching RuntimeError for any other status.
/// Example: `checkStatus(Status::Ok)` returns; `checkStatus(Status::UnknownMember)` throws
/// `RuntimeError(ErrorCode::UnknownMember)`.
void checkStatus(Status status);

} // namespace runtime
