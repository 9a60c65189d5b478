#include "NumberFormatter.h"

#include "RuntimeError.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace runtime {
namespace {

constexpr int kSignificantDigits = 15;
constexpr int kDecimals = 2;

// A non-negative decimal with kDecimals decimals, held as the ASCII digits of its count of
// hundredths, most significant first; only a zero value has leading zeros.
class Hundredths {
public:
    // Rounds `magnitude`, which is not negative, as described in the header.
    explicit Hundredths(double magnitude) noexcept {
        // "d.dddddddddddddde+XXX": 15 significant digits, correctly rounded.
        std::array<char, 32> scientific;
        const auto written =
            std::to_chars(scientific.data(), scientific.data() + scientific.size(), magnitude,
                          std::chars_format::scientific, kSignificantDigits - 1);
        std::array<char, kSignificantDigits> digits;
        digits[0] = scientific[0];
        std::copy_n(scientific.data() + 2, kSignificantDigits - 1, digits.data() + 1);
        // After the digits: 'e', the exponent's sign, its digits.
        const char* exponentSign = scientific.data() + kSignificantDigits + 2;
        int exponent = 0;
        std::from_chars(exponentSign + 1, written.ptr, exponent);
        exponent = *exponentSign == '-' ? -exponent : exponent;

        // digits[i] weighs 10^(exponent - i); the last digit printed weighs 10^-kDecimals.
        const int lastKept = exponent + kDecimals;
        const int kept = std::clamp(lastKept + 1, 0, kSignificantDigits);
        std::copy_n(digits.data(), kept, m_digits.data());
        m_count = kept;
        if (kept < kSignificantDigits && lastKept >= -1 && digits[kept] >= '5') {
            increment();
        }
        if (m_count > 0) {
            // Hundredths beyond the 15th significant digit are zeros.
            const int zeros = lastKept + 1 - kept;
            std::fill_n(m_digits.data() + m_count, std::max(zeros, 0), '0');
            m_count += std::max(zeros, 0);
        }
    }

    bool isZero() const noexcept {
        return std::all_of(m_digits.data(), m_digits.data() + m_count,
                           [](char digit) { return digit == '0'; });
    }

    // Writes at least kDecimals + 1 digits, the separator before the last kDecimals.
    void appendTo(QString& out, QStringView separator) const {
        std::array<char, kDecimals + 1> padded;
        std::string_view digits(m_digits.data(), static_cast<std::size_t>(m_count));
        if (m_count < kDecimals + 1) {
            padded.fill('0');
            std::copy_n(m_digits.data(), m_count, padded.end() - m_count);
            digits = std::string_view(padded.data(), padded.size());
        }
        const auto integerDigits = digits.size() - kDecimals;
        out += QLatin1StringView(digits.data(), static_cast<qsizetype>(integerDigits));
        out += separator;
        out += QLatin1StringView(digits.data() + integerDigits, kDecimals);
    }

private:
    // Adds one hundredth to the kept digits.
    void increment() noexcept {
        for (int i = m_count - 1; i >= 0; --i) {
            if (m_digits[static_cast<std::size_t>(i)] != '9') {
                ++m_digits[static_cast<std::size_t>(i)];
                return;
            }
            m_digits[static_cast<std::size_t>(i)] = '0';
        }
        std::copy_backward(m_digits.data(), m_digits.data() + m_count,
                           m_digits.data() + m_count + 1);
        m_digits[0] = '1';
        ++m_count;
    }

    // The largest Double has 309 integer digits; one more for a carry, and the decimals.
    std::array<char, 310 + kDecimals + 1> m_digits{};
    int m_count = 0;
};

// The default locale's decimal separator, looked up again only when the default locale changes.
const QString& decimalSeparator() {
    thread_local QLocale locale;
    thread_local QString separator = locale.decimalPoint();
    const QLocale current;
    if (current != locale) {
        locale = current;
        separator = locale.decimalPoint();
    }
    return separator;
}

// The last few values formatted and their texts. The refresh formats the same two values a
// hundred times a second while the input stays as it is; this spares it the digit generation
// and hands out the same shared text, which the output boxes recognise at once.
class RecentTexts {
public:
    const QString* find(double value, const QString& separator) const noexcept {
        for (const Entry& entry : m_entries) {
            if (entry.bits == std::bit_cast<std::uint64_t>(value) && !entry.text.isNull() &&
                entry.separator == separator) {
                return &entry.text;
            }
        }
        return nullptr;
    }

    void remember(double value, const QString& separator, const QString& text) {
        m_entries[m_next] = {std::bit_cast<std::uint64_t>(value), separator, text};
        m_next = (m_next + 1) % m_entries.size();
    }

private:
    struct Entry {
        std::uint64_t bits = 0;
        QString separator;
        QString text;
    };
    std::array<Entry, 2> m_entries;
    std::size_t m_next = 0;
};

} // namespace

QString formatNumber(double value, QStringView pattern) {
    if (pattern != u"#0.00") {
        throw RuntimeError(ErrorCode::InvalidArgument, "Unsupported format pattern");
    }
    if (!std::isfinite(value)) {
        throw RuntimeError(ErrorCode::InvalidArgument, "Cannot format a value that is not finite");
    }
    const QString& separator = decimalSeparator();
    thread_local RecentTexts recent;
    if (const QString* text = recent.find(value, separator)) {
        return *text;
    }
    const Hundredths hundredths(std::fabs(value));
    QString text;
    text.reserve(16);
    if (std::signbit(value) && !hundredths.isZero()) {
        text += u'-';
    }
    hundredths.appendTo(text, separator);
    recent.remember(value, separator, text);
    return text;
}

VARIANT format(const VARIANT& value, QStringView pattern, int firstDayOfWeek, int firstWeekOfYear) {
    if (firstDayOfWeek < 0 || firstDayOfWeek > 7 || firstWeekOfYear < 0 || firstWeekOfYear > 3) {
        throw RuntimeError(ErrorCode::InvalidArgument);
    }
    switch (value.vt()) {
    case VT_I2:
        return VARIANT::bstr(formatNumber(value.asI2(), pattern));
    case VT_R8:
        return VARIANT::bstr(formatNumber(value.asR8(), pattern));
    case VT_BSTR:
    case VT_EMPTY:
        break;
    }
    throw RuntimeError(ErrorCode::TypeMismatch);
}

} // namespace runtime
