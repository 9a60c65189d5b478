#include "Arithmetic.h"

#include "RuntimeError.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace runtime {
namespace {

bool isNumber(VarType tag) noexcept {
    return tag == VT_I2 || tag == VT_R8;
}

void requireNumbers(const VARIANT& left, const VARIANT& right) {
    if (!isNumber(left.vt()) || !isNumber(right.vt())) {
        throw RuntimeError(ErrorCode::TypeMismatch);
    }
}

double toDouble(const VARIANT& value) {
    return value.vt() == VT_I2 ? value.asI2() : value.asR8();
}

VARIANT checkedR8(double result) {
    if (!std::isfinite(result)) {
        throw RuntimeError(ErrorCode::Overflow);
    }
    return VARIANT::r8(result);
}

VARIANT checkedI2(std::int32_t result) {
    if (result < std::numeric_limits<std::int16_t>::min() ||
        result > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorCode::Overflow);
    }
    return VARIANT::i2(static_cast<std::int16_t>(result));
}

// Applies an operation that keeps VT_I2 when both operands are VT_I2. A Double operation is one
// IEEE operation with one rounding: the project builds with -ffp-contract=off
// (cmake/ProjectOptions.cmake), so the compiler never fuses it with another into a multiply-add.
template <class Operation>
VARIANT apply(const VARIANT& left, const VARIANT& right, Operation operation) {
    requireNumbers(left, right);
    if (left.vt() == VT_I2 && right.vt() == VT_I2) {
        const std::int32_t result =
            operation(std::int32_t{left.asI2()}, std::int32_t{right.asI2()});
        return checkedI2(result);
    }
    const double result = operation(toDouble(left), toDouble(right));
    return checkedR8(result);
}

} // namespace

VARIANT varAdd(const VARIANT& left, const VARIANT& right) {
    return apply(left, right, [](auto a, auto b) { return a + b; });
}

VARIANT varSub(const VARIANT& left, const VARIANT& right) {
    return apply(left, right, [](auto a, auto b) { return a - b; });
}

VARIANT varMul(const VARIANT& left, const VARIANT& right) {
    return apply(left, right, [](auto a, auto b) { return a * b; });
}

VARIANT varDiv(const VARIANT& left, const VARIANT& right) {
    requireNumbers(left, right);
    const double divisor = toDouble(right);
    if (divisor == 0) {
        throw RuntimeError(ErrorCode::DivisionByZero);
    }
    const double result = toDouble(left) / divisor;
    return checkedR8(result);
}

} // namespace runtime
