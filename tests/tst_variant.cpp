// Tagged values: tags, access with the wrong tag, and conversion to text.

#include "RuntimeError.h"
#include "Status.h"
#include "Variant.h"

#include <QTest>

using runtime::VARIANT;

class TestVariant : public QObject {
    Q_OBJECT

private slots:
    void toText_data();
    void toText();
    void tagsAndAccess();
    void statusChecks();
};

void TestVariant::toText_data() {
    QTest::addColumn<VARIANT>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << VARIANT() << "";
    QTest::newRow("text") << VARIANT::bstr(QStringView(u"1\u00e9\u200f").toString())
                          << QStringView(u"1\u00e9\u200f").toString();
    QTest::newRow("I2") << VARIANT::i2(-7) << "-7";
    QTest::newRow("R8 shortest") << VARIANT::r8(0.1) << "0.1";
    QTest::newRow("R8 large") << VARIANT::r8(1e300) << "1e+300";
}

void TestVariant::toText() {
    QFETCH(VARIANT, value);
    QFETCH(QString, text);
    QCOMPARE(value.toText(), text);
}

void TestVariant::tagsAndAccess() {
    QCOMPARE(VARIANT().vt(), runtime::VT_EMPTY);
    QCOMPARE(VARIANT::i2(40).vt(), runtime::VT_I2);
    QCOMPARE(VARIANT::i2(40).asI2(), 40);
    QCOMPARE(VARIANT::r8(0.5).vt(), runtime::VT_R8);
    QCOMPARE(VARIANT::r8(0.5).asR8(), 0.5);
    QCOMPARE(VARIANT::bstr("100").vt(), runtime::VT_BSTR);
    QVERIFY(VARIANT::i2(1) != VARIANT::r8(1));
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, VARIANT::i2(1).asR8());
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, VARIANT().asBstr());
}

void TestVariant::statusChecks() {
    using runtime::ErrorCode;
    using runtime::RuntimeError;
    using runtime::Status;
    runtime::checkStatus(Status::Ok);
    const std::pair<Status, ErrorCode> failures[] = {
        {Status::Failed, ErrorCode::ControlFailed},
        {Status::UnknownMember, ErrorCode::UnknownMember},
        {Status::TypeMismatch, ErrorCode::TypeMismatch},
        {Status::InvalidArgument, ErrorCode::InvalidArgument},
        {Status::OutOfMemory, ErrorCode::OutOfMemory},
    };
    for (const auto& [status, code] : failures) {
        try {
            runtime::checkStatus(status);
            QFAIL("no error");
        } catch (const RuntimeError& error) {
            QCOMPARE(error.code(), code);
            QCOMPARE(error.description(), RuntimeError::standardText(code));
        }
    }
    QCOMPARE(RuntimeError(ErrorCode::Overflow).description(), "Overflow");
    QCOMPARE(RuntimeError(ErrorCode::Overflow).number(), 6);
    QCOMPARE(RuntimeError::standardText(ErrorCode::TypeMismatch), "Type mismatch");
}

QTEST_GUILESS_MAIN(TestVariant)
#include "tst_variant.moc"
