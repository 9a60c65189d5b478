// Fuzzes reading the number at the start of any UTF-16 text and showing it with two decimals.
// Checks that scanNumber and parseNumber agree, also when parseNumber answers from the text it
// remembers, that the number ends where scanNumber says it does, that its value is the C
// library's correctly rounded one, and that "#0.00" always gives -?[0-9]+.[0-9][0-9] within a
// half-hundredth of the value, never "-0.00".

#include "FuzzSupport.h"
#include "NumberFormatter.h"
#include "NumberParser.h"
#include "RuntimeError.h"

#include <QLocale>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::uint64_t bitsOf(double value) {
    return std::bit_cast<std::uint64_t>(value);
}

bool sameResult(const runtime::ParsedNumber& a, const runtime::ParsedNumber& b) {
    return bitsOf(a.value) == bitsOf(b.value) && a.length == b.length && a.overflow == b.overflow;
}

// parseNumber gives what scanNumber found, or throws Overflow exactly when it overflowed.
void checkParse(const QString& text, const runtime::ParsedNumber& scanned) {
    try {
        const double value = runtime::parseNumber(text);
        CHECK(!scanned.overflow);
        CHECK(bitsOf(value) == bitsOf(scanned.value));
    } catch (const runtime::RuntimeError& error) {
        CHECK(scanned.overflow);
        CHECK(error.code() == runtime::ErrorCode::Overflow);
    }
}

// `number` is the text of a number as scanNumber delimited it. Without its blanks it must be
// plain ASCII that strtod reads entirely, to the same double (to infinity when it overflowed).
void checkAgainstStrtod(QStringView number, const runtime::ParsedNumber& parsed) {
    std::string ascii;
    for (const QChar c : number) {
        const char16_t unit = c.unicode();
        if (unit == u' ' || unit == u'\t' || unit == u'\n') {
            continue;
        }
        CHECK((unit >= u'0' && unit <= u'9') || unit == u'+' || unit == u'-' || unit == u'.' ||
              unit == u'e' || unit == u'E');
        ascii += static_cast<char>(unit);
    }
    char* end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    CHECK(end == ascii.c_str() + ascii.size());
    if (parsed.overflow) {
        CHECK(std::isinf(value));
    } else {
        CHECK(bitsOf(value) == bitsOf(parsed.value));
    }
}

void checkFormatted(double value) {
    const QString shown = runtime::formatNumber(value, u"#0.00");
    CHECK(fuzz::isTwoDecimals(shown));
    CHECK(!shown.startsWith(u'-') || std::signbit(value));
    // Rounded to 15 significant digits, then to hundredths: off by at most a half-hundredth
    // plus a few units in the 15th digit.
    const double back = std::strtod(shown.toLatin1().constData(), nullptr);
    CHECK(std::fabs(back - value) <= 0.0050000001 + 1e-14 * std::fabs(value));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = fuzz::fromUtf16le(data, size);
    const runtime::ParsedNumber scanned = runtime::scanNumber(text);
    CHECK(scanned.length >= 0 && scanned.length <= text.size());
    CHECK(std::isfinite(scanned.value));
    CHECK(!scanned.overflow || scanned.value == 0);
    if (scanned.length == 0) {
        CHECK(bitsOf(scanned.value) == bitsOf(0.0) && !scanned.overflow);
    }

    checkParse(text, scanned);
    // Read again through a copy that shares the characters, the way the input box hands over its
    // text on each refresh; then changed in place, which must not be taken for the same text.
    QString same = text;
    checkParse(same, scanned);
    if (!same.isEmpty()) {
        same[same.size() - 1] = u'9';
        checkParse(same, runtime::scanNumber(same));
        same.chop(1);
        checkParse(same, runtime::scanNumber(same));
    }

    // The number ends where scanNumber says: what follows changes nothing.
    const QStringView number = QStringView(text).left(scanned.length);
    CHECK(sameResult(runtime::scanNumber(number), scanned));
    checkAgainstStrtod(number, scanned);

    if (!scanned.overflow) {
        checkFormatted(scanned.value);
    }
    return 0;
}
