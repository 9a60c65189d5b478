// The input's limit on every way text comes in: keys, an input method, paste, drop, the Text the
// program stores, and what a screen reader or test tool writes through the accessibility
// interfaces. Each keeps the beginning that fits in 32,767 characters, as one undo step.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "RichTextBoxWidget.h"
#include "WindowedForm1.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <memory>

namespace {

constexpr qsizetype kMax = runtime::RichTextBoxWidget::kMaxLength;

enum class Way {
    Key,
    InputMethod,
    Paste,
    Drop,
    StoredText,
    AccessibleInsert,
    AccessibleReplace,
    AccessibleValue
};

// A megabyte with its number at the start.
const QString& megabyte() {
    static const QString text = "1" + QString::fromLatin1("0123456789").repeated(100'000);
    return text;
}

} // namespace

Q_DECLARE_METATYPE(Way)

class TestInputLimit : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyWayInKeepsTheBeginningThatFits_data();
    void everyWayInKeepsTheBeginningThatFits();

private:
    QTextEdit* input() const { return m_form1->input(); }
    void arrive(Way way, const QString& text);

    std::unique_ptr<WindowedForm1> m_form1;
};

void TestInputLimit::init() {
    m_form1 = std::make_unique<WindowedForm1>();
    m_form1->window.loadAndShow();
    m_form1->window.activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&m_form1->window));
    QVERIFY(QTest::qWaitForWindowActive(&m_form1->window)); // activation is asynchronous
}

void TestInputLimit::cleanup() {
    m_form1.reset();
}

// Sends `text` into the input the given way; keys type only its first two characters.
void TestInputLimit::arrive(Way way, const QString& text) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(input());
    switch (way) {
    case Way::Key:
        QTest::keyClicks(input(), text.left(2));
        break;
    case Way::InputMethod: {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(input(), &commit);
        break;
    }
    case Way::Paste:
        QApplication::clipboard()->setText(text);
        QTest::keyClick(input(), Qt::Key_V, Qt::ControlModifier);
        break;
    case Way::Drop: {
        QMimeData data;
        data.setText(text);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(input()->viewport(), &enter); // makes the box the drop's target
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(input()->viewport(), &drop);
        break;
    }
    case Way::StoredText:
        QCOMPARE(dynamic_cast<runtime::Dispatch*>(input())->putProperty(
                     runtime::kDispIdText, runtime::VARIANT::bstr(text)),
                 runtime::Status::Ok);
        break;
    case Way::AccessibleInsert:
        accessible->editableTextInterface()->insertText(input()->textCursor().position(), text);
        break;
    case Way::AccessibleReplace: // as AT-SPI's setTextContents
        accessible->editableTextInterface()->replaceText(
            0, accessible->textInterface()->characterCount(), text);
        break;
    case Way::AccessibleValue:
        accessible->setText(QAccessible::Value, text);
        break;
    }
}

void TestInputLimit::everyWayInKeepsTheBeginningThatFits_data() {
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("kept");
    const QString& text = megabyte();
    const QString oneShort = "9" + QString(kMax - 2, u'0');
    const QString half = QString(kMax / 2, u'9');
    QTest::newRow("a key into a box one short of full") << Way::Key << oneShort << oneShort + "1";
    QTest::newRow("an input method into a box one short of full")
        << Way::InputMethod << oneShort << oneShort + "1";
    QTest::newRow("a paste into a half-full box")
        << Way::Paste << half << half + text.left(kMax - half.size());
    QTest::newRow("a drop into an empty box") << Way::Drop << QString() << text.left(kMax);
    QTest::newRow("the stored Text over a half-full box")
        << Way::StoredText << half << text.left(kMax);
    QTest::newRow("an accessible insertText into a half-full box")
        << Way::AccessibleInsert << half << half + text.left(kMax - half.size());
    QTest::newRow("an accessible replaceText of all, as setTextContents")
        << Way::AccessibleReplace << half << text.left(kMax);
    QTest::newRow("an accessible value") << Way::AccessibleValue << half << text.left(kMax);
}

void TestInputLimit::everyWayInKeepsTheBeginningThatFits() {
    QFETCH(Way, way);
    QFETCH(QString, before);
    QFETCH(QString, kept);
    input()->setPlainText(before);
    input()->moveCursor(QTextCursor::End);

    arrive(way, megabyte());
    QCOMPARE(input()->toPlainText(), kept);
    input()->undo();
    QCOMPARE(input()->toPlainText(), before);
}

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QApplication application(argc, argv);
    TestInputLimit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_inputlimit.moc"
