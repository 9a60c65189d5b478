#pragma once
// Formats numbers for display with the one pattern the program uses, "#0.00": at least one digit
// before the decimal separator, exactly two after, no digit grouping.
//
// Rounding: the value is first rounded to 15 significant decimal digits (correctly rounded), then
// that decimal is rounded to hundredths with halves away from zero. So a value a few units in the
// last place below a half-hundredth, which is how a half-hundredth usually arrives after binary
// arithmetic, rounds up as a person expects. Digits beyond the 15th significant one print as 0.
// A "-" appears only when the printed value is not zero: there is no "-0.00".
//
// The decimal separator is the one of the default QLocale (the user's locale unless a program
// sets another default); the digits are always ASCII.
//
// The last two values formatted are remembered with their texts, so formatting an unchanged value
// again, as the refresh does a hundred times a second, costs a comparison and returns the same
// shared text.

#include "Variant.h"

#include <QString>
#include <QStringView>

namespace runtime {

/// Formats `value` with `pattern`. Only "#0.00" is supported; any other pattern, and a value that
/// is not finite, throws RuntimeError(ErrorCode::InvalidArgument).
/// Example, with "." as separator: `formatNumber(212, u"#0.00") == "212.00"`,
/// `formatNumber(-17.77777777777778, u"#0.00") == "-17.78"`,
/// `formatNumber(32.044999999999995, u"#0.00") == "32.05"`,
/// `formatNumber(-0.0005555555555555, u"#0.00") == "0.00"`,
/// `formatNumber(1.8e30, u"#0.00") == "1800000000000000000000000000000.00"`.
QString formatNumber(double value, QStringView pattern);

/// Formats a tagged number (VT_I2 or VT_R8) and returns the text as a VT_BSTR. The first day of
/// the week (0 to 7) and the first week of the year (0 to 3) belong to date patterns and do not
/// change a number; outside those ranges they throw ErrorCode::InvalidArgument. A text or an
/// empty value throws ErrorCode::TypeMismatch.
/// Example: `format(VARIANT::r8(98.6), u"#0.00", 1, 1) == VARIANT::bstr("98.60")`,
/// `format(VARIANT::i2(-40), u"#0.00", 1, 1) == VARIANT::bstr("-40.00")`.
VARIANT format(const VARIANT& value, QStringView pattern, int firstDayOfWeek, int firstWeekOfYear);

} // namespace runtime
