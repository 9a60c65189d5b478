#include "Variant.h"

#include "RuntimeError.h"

#include <charconv>

namespace runtime {

VarType VARIANT::vt() const noexcept {
    switch (m_value.index()) {
    case 1:
        return VT_I2;
    case 2:
        return VT_R8;
    case 3:
        return VT_BSTR;
    default:
        return VT_EMPTY;
    }
}

std::int16_t VARIANT::asI2() const {
    if (const auto* value = std::get_if<std::int16_t>(&m_value)) {
        return *value;
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

double VARIANT::asR8() const {
    if (const auto* value = std::get_if<double>(&m_value)) {
        return *value;
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

const QString& VARIANT::asBstr() const {
    if (const auto* value = std::get_if<QString>(&m_value)) {
        return *value;
    }
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
