#include "NumberParser.h"

#include "RuntimeError.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace runtime {
namespace {

// Enough significant digits to round any decimal correctly: a binary64 halfway point has at most
// 767 of them. Further digits only matter as "something nonzero follows", kept as one extra '1'.
constexpr int kMaxDigits = 800;
// Exponents are saturated here, far beyond any Double yet far from the int64 limits even after
// the shift by the number of digits of a multi-megabyte text.
constexpr std::int64_t kExponentLimit = 1'000'000'000'000'000;

bool isBlank(char16_t c) noexcept {
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c) noexcept {
    return c >= u'0' && c <= u'9';
}

class Scanner {
public:
    explicit Scanner(QStringView text) noexcept
        : m_text(text) {}

    void skipBlanks() noexcept {
        while (m_pos < m_text.size() && isBlank(m_text[m_pos].unicode())) {
            ++m_pos;
        }
    }
    bool at(char16_t c) const noexcept { return m_pos < m_text.size() && m_text[m_pos] == c; }
    bool atDigit() const noexcept {
        return m_pos < m_text.size() && isDigit(m_text[m_pos].unicode());
    }
    bool atSign() const noexcept { return at(u'+') || at(u'-'); }
    char16_t take() noexcept { return m_text[m_pos++].unicode(); }
    qsizetype position() const noexcept { return m_pos; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

// The significant digits of the mantissa, without leading zeros, and where the decimal point
// stands relative to them: the mantissa is 0.DIGITS x 10^pointPosition.
class Mantissa {
public:
    void addIntegerDigit(char c) noexcept {
        if (add(c)) {
            ++m_pointPosition;
        }
    }
    void addFractionDigit(char c) noexcept {
        if (!add(c)) {
            --m_pointPosition;
        }
    }
    bool isZero() const noexcept { return m_count == 0; }
    std::int64_t pointPosition() const noexcept { return m_pointPosition; }

    // Writes ".DIGITS" into `out` and returns the end.
    char* write(char* out) const noexcept {
        *out++ = '.';
        out = std::copy_n(m_digits.begin(), m_count, out);
        if (m_inexact) {
            *out++ = '1';
        }
        return out;
    }

private:
    // Returns whether the digit is significant, that is not a leading zero.
    bool add(char c) noexcept {
        if (m_count == 0 && c == '0') {
            return false;
        }
        if (m_count < kMaxDigits) {
            m_digits[static_cast<std::size_t>(m_count++)] = c;
        } else if (c != '0') {
            m_inexact = true;
        }
        return true;
    }

    std::array<char, kMaxDigits> m_digits{};
    int m_count = 0;
    bool m_inexact = false;
    std::int64_t m_pointPosition = 0;
};

// Reads the digits of an exponent, blanks allowed between them, saturating at kExponentLimit.
std::int64_t readExponentDigits(Scanner& scanner, qsizetype& end) noexcept {
    std::int64_t exponent = 0;
    while (scanner.atDigit()) {
        exponent = std::min(exponent * 10 + (scanner.take() - u'0'), kExponentLimit);
        end = scanner.position();
        scanner.skipBlanks();
    }
    return exponent;
}

} // namespace

ParsedNumber scanNumber(QStringView text) noexcept {
    Scanner scanner(text);
    scanner.skipBlanks();
    const bool negative = scanner.at(u'-');
    if (scanner.atSign()) {
        scanner.take();
        scanner.skipBlanks();
    }

    Mantissa mantissa;
    bool anyDigit = false;
    qsizetype end = 0;
    while (scanner.atDigit()) {
        mantissa.addIntegerDigit(static_cast<char>(scanner.take()));
        anyDigit = true;
        end = scanner.position();
        scanner.skipBlanks();
    }
    if (scanner.at(u'.')) {
        scanner.take();
        if (anyDigit) {
            end = scanner.position();
        }
        scanner.skipBlanks();
        while (scanner.atDigit()) {
            mantissa.addFractionDigit(static_cast<char>(scanner.take()));
            anyDigit = true;
            end = scanner.position();
            scanner.skipBlanks();
        }
    }
    if (!anyDigit) {
        return {};
    }

    // An exponent marker without digits after it is not part of the number: `end` stays after the
    // mantissa, and nothing is read after this.
    std::int64_t exponent = 0;
    if (scanner.at(u'e') || scanner.at(u'E')) {
        scanner.take();
        scanner.skipBlanks();
        const bool negativeExponent = scanner.at(u'-');
        if (scanner.atSign()) {
            scanner.take();
            scanner.skipBlanks();
        }
        if (scanner.atDigit()) {
            exponent = readExponentDigits(scanner, end);
            exponent = negativeExponent ? -exponent : exponent;
        }
    }

    ParsedNumber result;
    result.length = end;
    if (!mantissa.isZero()) {
        const std::int64_t scale = mantissa.pointPosition() + exponent;
        std::array<char, kMaxDigits + 32> buffer;
        char* out = mantissa.write(buffer.data());
        *out++ = 'e';
        out = std::to_chars(out, buffer.data() + buffer.size(), scale).ptr;
        const auto [ptr, error] = std::from_chars(buffer.data(), out, result.value);
        if (error == std::errc::result_out_of_range) {
            // The standard library leaves the value alone when it rounds to zero or to infinity.
            result.overflow = scale > 0;
            result.value = 0;
        }
    }
    if (negative) {
        result.value = -result.value;
    }
    return result;
}

double parseNumber(const QString& text) {
    // Holding a copy of the last text keeps its characters alive and unchanged: a string that
    // shares them can only be changed by detaching from them first.
    thread_local QString lastText;
    thread_local ParsedNumber lastNumber;
    if (!text.isSharedWith(lastText) || text.constData() != lastText.constData() ||
        text.size() != lastText.size()) {
        lastNumber = scanNumber(text);
        lastText = text;
    }
    const ParsedNumber number = lastNumber;
    if (number.overflow) {
        throw RuntimeError(ErrorCode::Overflow);
    }
    return number.value;
}

} // namespace runtime
