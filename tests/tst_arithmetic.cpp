// Tagged arithmetic: result tags, one binary64 rounding per call, and the error cases.

#include "Arithmetic.h"
#include "RuntimeError.h"

#include <QTest>
#include <limits>

using runtime::ErrorCode;
using runtime::VARIANT;

namespace {

using Operation = VARIANT (*)(const VARIANT&, const VARIANT&);

Operation operation(char symbol) {
    switch (symbol) {
    case '+':
        return runtime::varAdd;
    case '-':
        return runtime::varSub;
    case '*':
        return runtime::varMul;
    default:
        return runtime::varDiv;
    }
}

} // namespace

class TestArithmetic : public QObject {
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void errors_data();
    void errors();
};

void TestArithmetic::results_data() {
    QTest::addColumn<VARIANT>("left");
    QTest::addColumn<char>("symbol");
    QTest::addColumn<VARIANT>("right");
    QTest::addColumn<VARIANT>("result");

    const double max = std::numeric_limits<double>::max();
    QTest::newRow("R8 + I2") << VARIANT::r8(100) << '+' << VARIANT::i2(40) << VARIANT::r8(140);
    QTest::newRow("R8 - I2") << VARIANT::r8(212) << '-' << VARIANT::i2(40) << VARIANT::r8(172);
    QTest::newRow("R8 * I2") << VARIANT::r8(140) << '*' << VARIANT::i2(9) << VARIANT::r8(1260);
    QTest::newRow("R8 / I2") << VARIANT::r8(1260) << '/' << VARIANT::i2(5) << VARIANT::r8(252);
    QTest::newRow("I2 + R8") << VARIANT::i2(40) << '+' << VARIANT::r8(0.5) << VARIANT::r8(40.5);
    QTest::newRow("one rounding per call")
        << VARIANT::r8(40.025) << '*' << VARIANT::i2(9) << VARIANT::r8(40.025 * 9);
    QTest::newRow("division rounds once")
        << VARIANT::r8(360.225) << '/' << VARIANT::i2(5) << VARIANT::r8(360.225 / 5);
    QTest::newRow("largest double survives")
        << VARIANT::r8(max) << '/' << VARIANT::i2(1) << VARIANT::r8(max);
    QTest::newRow("I2 + I2 stays I2")
        << VARIANT::i2(30000) << '+' << VARIANT::i2(2767) << VARIANT::i2(32767);
    QTest::newRow("I2 * I2 stays I2")
        << VARIANT::i2(-181) << '*' << VARIANT::i2(181) << VARIANT::i2(-32761);
    QTest::newRow("I2 / I2 gives R8")
        << VARIANT::i2(1) << '/' << VARIANT::i2(4) << VARIANT::r8(0.25);
    QTest::newRow("R8 + R8") << VARIANT::r8(0.1) << '+' << VARIANT::r8(0.2)
                             << VARIANT::r8(0.1 + 0.2);
}

void TestArithmetic::results() {
    QFETCH(VARIANT, left);
    QFETCH(char, symbol);
    QFETCH(VARIANT, right);
    QFETCH(VARIANT, result);
    QCOMPARE(operation(symbol)(left, right), result);
}

void TestArithmetic::errors_data() {
    QTest::addColumn<VARIANT>("left");
    QTest::addColumn<char>("symbol");
    QTest::addColumn<VARIANT>("right");
    QTest::addColumn<ErrorCode>("error");

    const double max = std::numeric_limits<double>::max();
    QTest::newRow("multiplication beyond the range")
        << VARIANT::r8(1e308) << '*' << VARIANT::i2(9) << ErrorCode::Overflow;
    QTest::newRow("addition beyond the range")
        << VARIANT::r8(max) << '+' << VARIANT::r8(max) << ErrorCode::Overflow;
    QTest::newRow("negative beyond the range")
        << VARIANT::r8(-max) << '-' << VARIANT::r8(max) << ErrorCode::Overflow;
    QTest::newRow("nan operand") << VARIANT::r8(std::numeric_limits<double>::quiet_NaN()) << '+'
                                 << VARIANT::i2(40) << ErrorCode::Overflow;
    QTest::newRow("I2 sum beyond I2")
        << VARIANT::i2(30000) << '+' << VARIANT::i2(30000) << ErrorCode::Overflow;
    QTest::newRow("I2 difference below I2")
        << VARIANT::i2(-32768) << '-' << VARIANT::i2(1) << ErrorCode::Overflow;
    QTest::newRow("division by zero")
        << VARIANT::r8(1) << '/' << VARIANT::i2(0) << ErrorCode::DivisionByZero;
    QTest::newRow("zero by zero") << VARIANT::i2(0) << '/' << VARIANT::r8(0)
                                  << ErrorCode::DivisionByZero;
    QTest::newRow("text operand") << VARIANT::bstr("1") << '+' << VARIANT::i2(40)
                                  << ErrorCode::TypeMismatch;
    QTest::newRow("empty operand") << VARIANT::r8(1) << '*' << VARIANT() << ErrorCode::TypeMismatch;
}

void TestArithmetic::errors() {
    QFETCH(VARIANT, left);
    QFETCH(char, symbol);
    QFETCH(VARIANT, right);
    QFETCH(ErrorCode, error);
    try {
        operation(symbol)(left, right);
        QFAIL("no error");
    } catch (const runtime::RuntimeError& raised) {
        QCOMPARE(raised.code(), error);
    }
}

QTEST_GUILESS_MAIN(TestArithmetic)
#include "tst_arithmetic.moc"
