#include "Variant.h"

#include "RuntimeError.h"

#include <charconv>

namespace runtime {

void VARIANT::throwTypeMismatch() {
    throw RuntimeError(ErrorCode::TypeMismatch);
}

QString VARIANT::toText() const {
    switch (vt()) {
    case VT_BSTR:
        return asBstr();
    case VT_I2:
        return QString::number(asI2());
    case VT_R8: {
        char digits[32];
        const auto result = std::to_chars(std::begin(digits), std::end(digits), asR8());
        return QString::fromLatin1(digits, result.ptr - digits);
    }
    case VT_EMPTY:
        break;
    }
    return QString();
}

} // namespace runtime
