// The input box's late-bound interface: its members by identifier, conversions, failures, and
// the late-bound helpers that turn a failing status into an error.

#include "LateBound.h"
#include "RuntimeError.h"
#include "memory/MemoryRichTextBox.h"

#include <QTest>

using runtime::DispId;
using runtime::ErrorCode;
using runtime::Status;
using runtime::VARIANT;

class TestRichTextDispatch : public QObject {
    Q_OBJECT

private slots:
    void puts_data();
    void puts();
    void readsAndFocus();
    void lateBoundErrors();
};

void TestRichTextDispatch::puts_data() {
    QTest::addColumn<DispId>("id");
    QTest::addColumn<VARIANT>("value");
    QTest::addColumn<Status>("status");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("alignment");

    QTest::newRow("text") << runtime::kDispIdText << VARIANT::bstr("100") << Status::Ok << "100"
                          << 0;
    QTest::newRow("number into text")
        << runtime::kDispIdText << VARIANT::i2(7) << Status::Ok << "7" << 0;
    QTest::newRow("empty into text") << runtime::kDispIdText << VARIANT() << Status::Ok << "" << 0;
    QTest::newRow("centred") << runtime::kDispIdSetting28 << VARIANT::i2(2) << Status::Ok << "x"
                             << 2;
    QTest::newRow("right") << runtime::kDispIdSetting28 << VARIANT::i2(1) << Status::Ok << "x" << 1;
    QTest::newRow("alignment out of range")
        << runtime::kDispIdSetting28 << VARIANT::i2(3) << Status::InvalidArgument << "x" << 0;
    QTest::newRow("negative alignment")
        << runtime::kDispIdSetting28 << VARIANT::i2(-1) << Status::InvalidArgument << "x" << 0;
    QTest::newRow("alignment as text")
        << runtime::kDispIdSetting28 << VARIANT::bstr("2") << Status::TypeMismatch << "x" << 0;
    QTest::newRow("unknown identifier")
        << DispId{12345} << VARIANT::i2(2) << Status::UnknownMember << "x" << 0;
    QTest::newRow("method as property")
        << runtime::kDispIdSetFocus << VARIANT() << Status::UnknownMember << "x" << 0;
}

void TestRichTextDispatch::puts() {
    QFETCH(DispId, id);
    QFETCH(VARIANT, value);
    QFETCH(Status, status);
    QFETCH(QString, text);
    QFETCH(int, alignment);

    runtime::MemoryRichTextBox box([] {});
    box.type("x");
    QCOMPARE(box.putProperty(id, value), status);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.alignment(), alignment);
}

void TestRichTextDispatch::readsAndFocus() {
    int focusCalls = 0;
    runtime::MemoryRichTextBox box([&] { ++focusCalls; });
    box.type("98.6");
    QCOMPARE(runtime::getProperty(box, runtime::kDispIdText), VARIANT::bstr("98.6"));
    runtime::putProperty(box, runtime::kDispIdSetting28, VARIANT::i2(2));
    QCOMPARE(runtime::getProperty(box, runtime::kDispIdSetting28), VARIANT::i2(2));
    QCOMPARE(runtime::callMethod(box, runtime::kDispIdSetFocus), VARIANT());
    QCOMPARE(focusCalls, 1);

    VARIANT result = VARIANT::i2(1);
    QCOMPARE(box.getProperty(4242, result), Status::UnknownMember);
    QCOMPARE(box.callMethod(runtime::kDispIdText, result), Status::UnknownMember);
    QCOMPARE(focusCalls, 1);
}

void TestRichTextDispatch::lateBoundErrors() {
    using Access = runtime::MemoryRichTextBox::Access;
    runtime::MemoryRichTextBox box([] {});
    box.fail(Access::Put, runtime::kDispIdText, Status::Failed);
    try {
        runtime::putProperty(box, runtime::kDispIdText, VARIANT::bstr("1"));
        QFAIL("no error");
    } catch (const runtime::RuntimeError& error) {
        QCOMPARE(error.code(), ErrorCode::ControlFailed);
    }
    QCOMPARE(box.text(), "");
    box.fail(Access::Put, runtime::kDispIdText, Status::Ok);
    runtime::putProperty(box, runtime::kDispIdText, VARIANT::bstr("1"));
    QCOMPARE(box.text(), "1");
    try {
        runtime::getProperty(box, 99);
        QFAIL("no error");
    } catch (const runtime::RuntimeError& error) {
        QCOMPARE(error.code(), ErrorCode::UnknownMember);
    }
}

QTEST_GUILESS_MAIN(TestRichTextDispatch)
#include "tst_richtextdispatch.moc"
