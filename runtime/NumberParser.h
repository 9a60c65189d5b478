#pragma once
// Reads the number at the start of a text, as the input box's text is read on every refresh.
//
// Syntax: blanks (U+0020), tabs and line feeds are skipped wherever they stand, also between
// digits; then an optional "+" or "-", digits with an optional "." (at least one digit in all),
// then optionally "e" or "E", an optional sign and at least one digit. An exponent marker without
// digits is not part of the number. Nothing else is: no hexadecimal, no "inf" or "nan", no digit
// grouping, no other spaces, no non-ASCII digits, and "." is the decimal point in every locale.
// A text that does not begin with a number reads as 0.
//
// The value is the correctly rounded binary64 (round to nearest, ties to even) for a text of any
// length; a value too small for a Double gives 0 or the correctly rounded subnormal.

#include <QString>
#include <QStringView>

namespace runtime {

struct ParsedNumber {
    double value = 0;      ///< The value read; 0 when there is no number or it overflowed.
    qsizetype length = 0;  ///< Characters up to the end of the number, 0 when there is none.
    bool overflow = false; ///< The number lies beyond the range of a Double.
};

/// Scans the number at the start of `text`; never throws.
/// Example: `scanNumber(u" 1 00 abc")` gives value 100 and length 5 (the trailing blank and the
/// letters are not part of the number); `scanNumber(u"37,5")` gives 37 and length 2;
/// `scanNumber(u"2e")` gives 2 and length 1; `scanNumber(u"abc")` gives 0 and length 0;
/// `scanNumber(u"1e400")` gives overflow.
ParsedNumber scanNumber(QStringView text) noexcept;

/// The number at the start of `text`; a number beyond the Double range throws
/// RuntimeError(ErrorCode::Overflow). The refresh reads an unchanged input box a hundred times a
/// second, and the box hands over the same shared text each time: the last text read and its
/// number are remembered, so a text that shares its characters with it costs no scan.
/// Example: `parseNumber(QStringLiteral("98.6")) == 98.6`,
/// `parseNumber(QStringLiteral("25abc")) == 25`, `parseNumber(QString()) == 0`,
/// `parseNumber(QStringLiteral("-1e-400")) == -0.0`.
double parseNumber(const QString& text);

} // namespace runtime
