// Number formatting with "#0.00": rounding at 15 significant digits then at hundredths, signs,
// long numbers, the locale's separator, and the errors.

#include "NumberFormatter.h"
#include "RuntimeError.h"

#include <QLocale>
#include <QTest>
#include <limits>

using runtime::ErrorCode;
using runtime::formatNumber;
using runtime::VARIANT;

class TestNumberFormatter : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::system()); }

    void rounding_data();
    void rounding();
    void commaLocale();
    void taggedValues();
    void errors_data();
    void errors();
};

void TestNumberFormatter::rounding_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("integer") << 212.0 << "212.00";
    QTest::newRow("zero") << 0.0 << "0.00";
    QTest::newRow("negative zero") << -0.0 << "0.00";
    QTest::newRow("repeating negative") << -160.0 / 9 << "-17.78";
    QTest::newRow("two ulps below a half-hundredth") << (0.025 + 40) * 9 / 5 - 40 << "32.05";
    QTest::newRow("exact half rounds away from zero") << 0.125 << "0.13";
    QTest::newRow("negative exact half") << -0.125 << "-0.13";
    QTest::newRow("just below a half") << 0.12499999999 << "0.12";
    QTest::newRow("tiny negative prints no minus") << (31.999 + 40) * 5 / 9 - 40 << "0.00";
    QTest::newRow("half a hundredth") << 0.005 << "0.01";
    QTest::newRow("below half a hundredth") << 0.0049999 << "0.00";
    QTest::newRow("negative below half") << -0.004 << "0.00";
    QTest::newRow("far below a hundredth") << 1e-300 << "0.00";
    QTest::newRow("carry into a new digit") << 9.995 << "10.00";
    QTest::newRow("carry through all digits") << -999.999 << "-1000.00";
    QTest::newRow("no grouping") << 1112.0 << "1112.00";
    QTest::newRow("digits beyond the 15th print as zero")
        << 1.8e30 << "1800000000000000000000000000000.00";
    QTest::newRow("fifteen digits round before hundredths")
        << 1234567890123.456789 << "1234567890123.46";
    QTest::newRow("sixteenth digit decides") << 12345678901234.565 << "12345678901234.60";
    QTest::newRow("largest double") << std::numeric_limits<double>::max()
                                    << QString("17976931348623200") + QString(292, u'0') + ".00";
    QTest::newRow("smallest subnormal") << std::numeric_limits<double>::denorm_min() << "0.00";
}

void TestNumberFormatter::rounding() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatNumber(value, u"#0.00"), text);
}

void TestNumberFormatter::commaLocale() {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(formatNumber(-160.0 / 9, u"#0.00"), "-17,78");
    QCOMPARE(formatNumber(1112, u"#0.00"), "1112,00");
    QCOMPARE(formatNumber(0.005, u"#0.00"), "0,01");
}

void TestNumberFormatter::taggedValues() {
    QCOMPARE(runtime::format(VARIANT::r8(98.6), u"#0.00", 1, 1), VARIANT::bstr("98.60"));
    QCOMPARE(runtime::format(VARIANT::i2(-40), u"#0.00", 1, 1), VARIANT::bstr("-40.00"));
    QCOMPARE(formatNumber(-160.0 / 9, u"#0.00"), "-17.78");
    QCOMPARE(formatNumber(1.8e30, u"#0.00"), "1800000000000000000000000000000.00");
}

void TestNumberFormatter::errors_data() {
    QTest::addColumn<VARIANT>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<int>("firstDayOfWeek");
    QTest::addColumn<int>("firstWeekOfYear");
    QTest::addColumn<ErrorCode>("error");

    const VARIANT one = VARIANT::r8(1);
    QTest::newRow("other pattern") << one << "0.000" << 1 << 1 << ErrorCode::InvalidArgument;
    QTest::newRow("empty pattern") << one << "" << 1 << 1 << ErrorCode::InvalidArgument;
    QTest::newRow("infinity") << VARIANT::r8(std::numeric_limits<double>::infinity()) << "#0.00"
                              << 1 << 1 << ErrorCode::InvalidArgument;
    QTest::newRow("nan") << VARIANT::r8(std::numeric_limits<double>::quiet_NaN()) << "#0.00" << 1
                         << 1 << ErrorCode::InvalidArgument;
    QTest::newRow("day of week") << one << "#0.00" << 8 << 1 << ErrorCode::InvalidArgument;
    QTest::newRow("week of year") << one << "#0.00" << 1 << -1 << ErrorCode::InvalidArgument;
    QTest::newRow("text") << VARIANT::bstr("1") << "#0.00" << 1 << 1 << ErrorCode::TypeMismatch;
    QTest::newRow("empty") << VARIANT() << "#0.00" << 1 << 1 << ErrorCode::TypeMismatch;
}

void TestNumberFormatter::errors() {
    QFETCH(VARIANT, value);
    QFETCH(QString, pattern);
    QFETCH(int, firstDayOfWeek);
    QFETCH(int, firstWeekOfYear);
    QFETCH(ErrorCode, error);
    try {
        runtime::format(value, pattern, firstDayOfWeek, firstWeekOfYear);
        QFAIL("no error");
    } catch (const runtime::RuntimeError& raised) {
        QCOMPARE(raised.code(), error);
    }
}

QTEST_GUILESS_MAIN(TestNumberFormatter)
#include "tst_numberformatter.moc"
