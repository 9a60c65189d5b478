// Fuzzes whole refreshes of the converter's window without a screen. The first two bytes choose,
// for each text, whether to tick twice and whether to click CLEAR afterwards; the rest is UTF-16
// text split at U+001E into up to 16 inputs, each typed and followed by a tick. After every tick
// the outputs are exactly the two conversions done in plain doubles and shown with "#0.00", or,
// when the number or the Fahrenheit product leaves the Double range, the current error is Overflow
// and both outputs keep what they held: nothing else can fail with in-memory controls, and the
// Celsius steps cannot overflow when the Fahrenheit ones did not (5 < 9).

#include "FuzzSupport.h"
#include "NumberFormatter.h"
#include "NumberParser.h"
#include "RuntimeError.h"
#include "ScreenlessForm1.h"

#include <QLocale>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

constexpr char16_t kSeparator = u'\x1e';
constexpr int kMaxTexts = 16;
constexpr int kCentred = 2;
const std::string kOverflowLine = "Runtime error 6: Overflow\n";

struct Refresh {
    bool overflow = false;
    QString fahrenheit;
    QString celsius;
};

// What a refresh must show for `text`: the procedure's steps, one double operation at a time.
Refresh expectedRefresh(QStringView text) {
    const runtime::ParsedNumber number = runtime::scanNumber(text);
    if (number.overflow) {
        return {true, {}, {}};
    }
    const double sum = number.value + 40;
    const double product = sum * 9;
    if (!std::isfinite(product)) {
        return {true, {}, {}};
    }
    const double fahrenheit = product / 5 - 40;
    const double celsius = sum * 5 / 9 - 40;
    CHECK(std::isfinite(fahrenheit) && std::isfinite(celsius));
    return {false, runtime::formatNumber(fahrenheit, u"#0.00"),
            runtime::formatNumber(celsius, u"#0.00")};
}

void tickAndCheck(ScreenlessForm1& screen, const QString& text) {
    const QString fahrenheitBefore = screen.fahrenheit().text();
    const QString celsiusBefore = screen.celsius().text();
    const bool errorBefore = screen.window.errors().current().has_value();
    const std::string logBefore = screen.log.str();

    screen.tick();

    CHECK(screen.window.references() == 0);
    CHECK(screen.input().text() == text);
    CHECK(screen.input().alignment() == kCentred);
    const Refresh expected = expectedRefresh(text);
    const auto& error = screen.window.errors().current();
    if (error) {
        CHECK(expected.overflow);
        CHECK(error->code() == runtime::ErrorCode::Overflow);
        CHECK(screen.fahrenheit().text() == fahrenheitBefore);
        CHECK(screen.celsius().text() == celsiusBefore);
        // Written once when it becomes current, not again on each tick that repeats it.
        CHECK(screen.log.str() == (errorBefore ? logBefore : logBefore + kOverflowLine));
    } else {
        CHECK(!expected.overflow);
        CHECK(fuzz::isTwoDecimals(screen.fahrenheit().text()));
        CHECK(fuzz::isTwoDecimals(screen.celsius().text()));
        CHECK(screen.fahrenheit().text() == expected.fahrenheit);
        CHECK(screen.celsius().text() == expected.celsius);
        CHECK(screen.log.str() == logBefore);
    }
}

void clickClearAndCheck(ScreenlessForm1& screen) {
    const QString fahrenheitBefore = screen.fahrenheit().text();
    const QString celsiusBefore = screen.celsius().text();
    screen.window.setFocus(form::Command1);

    screen.clickClear();

    CHECK(screen.window.references() == 0);
    CHECK(screen.input().text().isEmpty());
    CHECK(screen.window.focus() == form::RichTextBox1);
    CHECK(!screen.window.errors().current());
    CHECK(screen.fahrenheit().text() == fahrenheitBefore);
    CHECK(screen.celsius().text() == celsiusBefore);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return 0;
    }
    const unsigned actions = static_cast<unsigned>(data[0]) | static_cast<unsigned>(data[1]) << 8;
    const QString texts = fuzz::fromUtf16le(data + 2, size - 2);

    ScreenlessForm1 screen;
    screen.load();
    CHECK(screen.window.references() == 0);
    CHECK(!screen.window.errors().current());
    CHECK(screen.input().text().isEmpty());
    CHECK(screen.fahrenheit().text().isEmpty() && screen.celsius().text().isEmpty());

    qsizetype start = 0;
    for (int i = 0; i < kMaxTexts; ++i) {
        qsizetype end = texts.indexOf(kSeparator, start);
        if (end < 0) {
            end = texts.size();
        }
        const QString text = texts.mid(start, end - start);
        screen.type(text);
        tickAndCheck(screen, text);

        const unsigned chosen = actions >> (2 * (i % 8));
        if (chosen & 2U) {
            tickAndCheck(screen, text);
        }
        if (chosen & 1U) {
            clickClearAndCheck(screen);
            tickAndCheck(screen, QString());
        }
        if (end == texts.size()) {
            break;
        }
        start = end + 1;
    }
    return 0;
}
