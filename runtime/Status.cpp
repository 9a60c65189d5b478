#include "Status.h"

#include "RuntimeError.h"

namespace runtime {

void checkStatus(Status status) {
    switch (status) {
    case Status::Ok:
        return;
    case Status::UnknownMember:
        throw RuntimeError(ErrorCode::UnknownMember);
    case Status::TypeMismatch:
        throw RuntimeError(ErrorCode::TypeMismatch);
    case Status::InvalidArgument:
        throw RuntimeError(ErrorCode::InvalidArgument);
    case Status::OutOfMemory:
        throw RuntimeError(ErrorCode::OutOfMemory);
    case Status::Failed:
        break;
    }
    throw RuntimeError(ErrorCode::ControlFailed);
}

} // namespace runtime
