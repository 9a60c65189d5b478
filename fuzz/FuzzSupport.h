#pragma once
// What the fuzz targets share: libFuzzer's bytes read as UTF-16 text, a check that stops the run
// when a property does not hold, and the shape every shown temperature must have.

#include <QString>
#include <QStringView>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

/// Stops the run, and so makes libFuzzer keep the input, when `condition` does not hold.
#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

/// The bytes as little-endian UTF-16 code units, any of them, unpaired surrogates and NUL
/// included; an odd last byte is ignored.
/// Example: the bytes 31 00 30 00 30 00 give "100".
inline QString fromUtf16le(const std::uint8_t* data, std::size_t size) {
    QString text(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto low = static_cast<unsigned>(data[2 * i]);
        const auto high = static_cast<unsigned>(data[2 * i + 1]);
        out[i] = QChar(static_cast<char16_t>(low | high << 8));
    }
    return text;
}

/// Whether `text` is a number as "#0.00" shows it under the C locale: an optional "-", digits
/// without a superfluous leading zero, ".", two digits; and never "-0.00".
/// Example: "212.00", "-17.78" and "0.05" are; "-0.00", "00.50", "1.5" and "" are not.
inline bool isTwoDecimals(QStringView text) {
    const bool negative = text.startsWith(u'-');
    const QStringView magnitude = negative ? text.mid(1) : text;
    const qsizetype point = magnitude.size() - 3;
    if (point < 1 || magnitude[point] != u'.') {
        return false;
    }
    for (qsizetype i = 0; i < magnitude.size(); ++i) {
        if (i != point && (magnitude[i] < u'0' || magnitude[i] > u'9')) {
            return false;
        }
    }
    if (point > 1 && magnitude[0] == u'0') {
        return false;
    }
    return !(negative && magnitude == u"0.00");
}

} // namespace fuzz
