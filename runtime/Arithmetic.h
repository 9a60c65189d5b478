#pragma once
// The four arithmetic operations on tagged values, one IEEE 754 operation per call and never
// fused with the next one. A VT_I2 with a VT_R8 gives a VT_R8 computed in binary64; two VT_I2
// give a VT_I2 (a VT_R8 for division). A result that a Double cannot hold (an infinity or a NaN)
// or that leaves the VT_I2 range is RuntimeError(ErrorCode::Overflow); a zero divisor is
// ErrorCode::DivisionByZero; a text or an empty operand is ErrorCode::TypeMismatch.

#include "Variant.h"

namespace runtime {

/// Example: `varAdd(VARIANT::r8(100), VARIANT::i2(40)) == VARIANT::r8(140)`;
/// `varAdd(VARIANT::i2(30000), VARIANT::i2(30000))` throws Overflow.
VARIANT varAdd(const VARIANT& left, const VARIANT& right);

/// Example: `varSub(VARIANT::r8(212), VARIANT::i2(40)) == VARIANT::r8(172)`;
/// `varSub(VARIANT::i2(-32768), VARIANT::i2(1))` throws Overflow.
VARIANT varSub(const VARIANT& left, const VARIANT& right);

/// Example: `varMul(VARIANT::r8(140), VARIANT::i2(9)) == VARIANT::r8(1260)`;
/// `varMul(VARIANT::r8(1e308), VARIANT::i2(9))` throws Overflow.
VARIANT varMul(const VARIANT& left, const VARIANT& right);

/// Example: `varDiv(VARIANT::r8(1260), VARIANT::i2(5)) == VARIANT::r8(252)`;
/// `varDiv(VARIANT::i2(1), VARIANT::i2(4)) == VARIANT::r8(0.25)`;
/// `varDiv(VARIANT::r8(1), VARIANT::i2(0))` throws DivisionByZero.
VARIANT varDiv(const VARIANT& left, const VARIANT& right);

} // namespace runtime
