// The converter's window on Qt Widgets, as a person meets it: layout, fonts and colours from the
// design data, readable on light, dark and high-contrast schemes at any scale, captions, focus
// and Tab, typing, CLEAR, undo, the error notice, copying, what a screen reader sees and hears,
// and that a refresh which changes nothing repaints nothing.
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "Announcer.h"
#include "ColourContrast.h"
#include "RichTextBoxWidget.h"
#include "WindowedForm1.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyle>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

using namespace form;

namespace {

// Long enough for several 10 ms ticks on a loaded machine, short enough to fail fast.
constexpr int kTimeoutMs = 2000;

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

// A desktop's colour scheme: the window, its text, the input's base and text, the button and its
// text.
QPalette scheme(QColor window, QColor windowText, QColor base, QColor text, QColor buttonText) {
    QPalette palette(window, window);
    palette.setColor(QPalette::WindowText, windowText);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, buttonText);
    return palette;
}

struct Ink {
    double contrast = 0; ///< of the ink that stands out most from the background
    bool atEdge = false; ///< some ink in the first or last column
};

// What is drawn in `area` (logical pixels) of a window image: the background is the colour of
// most of the area's outline, the ink every other colour.
Ink measureInk(const QImage& image, const QRect& area) {
    const qreal scale = image.devicePixelRatio();
    const QRect pixels = QRectF(QPointF(area.topLeft()) * scale, QSizeF(area.size()) * scale)
                             .toAlignedRect()
                             .intersected(image.rect());
    std::map<QRgb, int> outline;
    for (int x = pixels.left(); x <= pixels.right(); ++x) {
        ++outline[image.pixel(x, pixels.top())];
        ++outline[image.pixel(x, pixels.bottom())];
    }
    const QRgb background = std::max_element(outline.begin(), outline.end(), [](auto a, auto b) {
                                return a.second < b.second;
                            })->first;
    Ink ink;
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            ink.contrast = std::max(ink.contrast, runtime::contrastRatio(pixel, background));
            ink.atEdge |= pixel != background && (x == pixels.left() || x == pixels.right());
        }
    }
    return ink;
}

} // namespace

class TestFormWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void geometry_data();
    void geometry();
    void fontsColoursAndCaptions();
    void readableOnEveryDesktop_data();
    void readableOnEveryDesktop();
    void nothingBeforeTheFirstTick();
    void focusStartsInTheInputAndTabFollowsTheIndices();
    void typingConverts();
    void clearEmptiesTheInputAndTakesTheFocus();
    void undoAfterManyTicks();
    void errorNoticeAppearsAndGoes();
    void outputsCanBeCopied();
    void screenReaderNames();
    void settledOutputsAreSaidOnce_data();
    void settledOutputsAreSaidOnce();
    void aRefreshThatChangesNothingRepaintsNothing();
    void cursorStopsBlinkingWhenIdle();
    void inputFontSkipsShapingItDoesNotNeed();
    void pastedParagraphsKeepTheirLayouts();
    void largePastesKeepTheirBeginning_data();
    void largePastesKeepTheirBeginning();
    void aFullInputTakesNoMoreCharacters();

private:
    QTextEdit* input() const { return m_form1->input(); }
    QLineEdit* box(Form1Control id) const { return m_form1->box(id); }
    void type(const QString& text) { QTest::keyClicks(input(), text); }

    std::unique_ptr<WindowedForm1> m_form1;
    runtime::FormWindow* m_window = nullptr;
};

void TestFormWindow::init() {
    m_form1 = std::make_unique<WindowedForm1>();
    m_window = &m_form1->window;
    m_window->loadAndShow();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(QTest::qWaitForWindowActive(m_window)); // activation is asynchronous
}

void TestFormWindow::cleanup() {
    m_form1.reset();
}

void TestFormWindow::geometry_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QRect>("pixels");
    // Design twips divided by 15 and rounded.
    QTest::newRow("Label1") << int(Label1) << QRect(32, 16, 249, 25);
    QTest::newRow("RichTextBox1") << int(RichTextBox1) << QRect(32, 48, 249, 41);
    QTest::newRow("Label2") << int(Label2) << QRect(32, 104, 241, 25);
    QTest::newRow("Text2") << int(Text2) << QRect(32, 128, 249, 44);
    QTest::newRow("Label3") << int(Label3) << QRect(32, 184, 249, 25);
    QTest::newRow("Text3") << int(Text3) << QRect(32, 208, 249, 44);
    QTest::newRow("Command1") << int(Command1) << QRect(72, 264, 169, 41);
}

void TestFormWindow::geometry() {
    QFETCH(int, control);
    QFETCH(QRect, pixels);
    QCOMPARE(m_window->widget(control)->geometry(), pixels);
    QCOMPARE(m_window->size(), QSize(312, 330));
}

void TestFormWindow::fontsColoursAndCaptions() {
    QCOMPARE(m_window->windowTitle(), "My Mirovane");
    const auto* label2 = qobject_cast<QLabel*>(m_window->widget(Label2));
    QCOMPARE(label2->text(), "Degrees in  Fahrenheit");
    QCOMPARE(qobject_cast<QLabel*>(m_window->widget(Label1))->text(),
             "Enter a Temperature to Convert");
    QCOMPARE(qobject_cast<QLabel*>(m_window->widget(Label3))->text(), "Degrees in Celsius");
    QCOMPARE(label2->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(label2->font().family(), "Arial");
    QCOMPARE(label2->font().pointSize(), 12);
    QCOMPARE(label2->font().weight(), QFont::Bold);
    QVERIFY(label2->alignment() & Qt::AlignHCenter);

    for (const Form1Control id : {Text2, Text3}) {
        QCOMPARE(box(id)->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(box(id)->palette().color(QPalette::Text), QColor(255, 0, 0));
        QCOMPARE(box(id)->font().pointSize(), 24);
        QCOMPARE(box(id)->font().weight(), QFont::Normal);
        QVERIFY(box(id)->isReadOnly());
    }
    QCOMPARE(input()->font().family(), "Arial");
    QCOMPARE(input()->font().pointSize(), 24);
    const auto* clear = qobject_cast<QPushButton*>(m_window->widget(Command1));
    QCOMPARE(clear->text(), "CLEAR");
    QCOMPARE(clear->font().weight(), QFont::Bold);
}

void TestFormWindow::readableOnEveryDesktop_data() {
    QTest::addColumn<QPalette>("palette");
    QTest::addColumn<qreal>("scale");
    const QPalette light = QApplication::style()->standardPalette();
    const QPalette dark = scheme(QColor(0x32, 0x32, 0x32), QColor(0xee, 0xee, 0xec),
                                 QColor(0x24, 0x24, 0x24), Qt::white, QColor(0xee, 0xee, 0xec));
    const QPalette contrast = scheme(Qt::white, Qt::black, Qt::white, Qt::black, Qt::black);
    const QPalette inverse = scheme(Qt::black, Qt::white, Qt::black, Qt::white, Qt::white);
    QTest::newRow("light at 1") << light << 1.0;
    QTest::newRow("dark at 1") << dark << 1.0;
    QTest::newRow("high contrast at 1") << contrast << 1.0;
    QTest::newRow("high-contrast inverse at 1") << inverse << 1.0;
    QTest::newRow("light at 1.25") << light << 1.25;
    QTest::newRow("dark at 1.5") << dark << 1.5;
    QTest::newRow("high-contrast inverse at 1.75") << inverse << 1.75;
    QTest::newRow("dark at 2") << dark << 2.0;
    QTest::newRow("light at 3") << light << 3.0;
}

// Each text stands out from what lies right behind it, measured on the rendered pixels, after
// the desktop has switched to the scheme while the window was open; no caption is cut.
void TestFormWindow::readableOnEveryDesktop() {
    QFETCH(QPalette, palette);
    QFETCH(qreal, scale);
    const QPalette desktop = QApplication::palette();
    const auto restore = qScopeGuard([&desktop] { QApplication::setPalette(desktop); });
    QApplication::setPalette(palette);
    type("1e999");
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorNotice()->isVisible(), kTimeoutMs);
    box(Text2)->setFocus(); // no cursor in the input: only its text is measured

    QImage image(m_window->size() * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    m_window->render(&image);
    for (const Form1Control caption : {Label1, Label2, Label3}) {
        // A caption's last row is the top of the box below it.
        const Ink ink =
            measureInk(image, m_window->widget(caption)->geometry().adjusted(0, 0, 0, -1));
        QVERIFY2(ink.contrast >= 4.5,
                 qPrintable(QString("caption %1: %2").arg(caption).arg(ink.contrast)));
        QVERIFY2(!ink.atEdge, qPrintable(QString("caption %1 is cut").arg(caption)));
    }
    const QRect button = m_window->widget(Command1)->geometry();
    const std::pair<const char*, QRect> texts[] = {
        {"input",
         m_window->widget(RichTextBox1)->geometry().adjusted(4, 4, -4, -4)}, // in its frame
        {"button", button.adjusted(button.width() / 4, button.height() / 4, -button.width() / 4,
                                   -button.height() / 4)},
        {"error notice", m_window->errorNotice()->geometry()},
    };
    for (const auto& [what, area] : texts) {
        const Ink ink = measureInk(image, area);
        QVERIFY2(ink.contrast >= 4.5, qPrintable(QString("%1: %2").arg(what).arg(ink.contrast)));
    }
    for (const Form1Control id : {Text2, Text3}) { // the design's own colours, whatever the scheme
        QCOMPARE(box(id)->palette().color(QPalette::Base), QColor(Qt::black));
        QCOMPARE(box(id)->palette().color(QPalette::Text), QColor(255, 0, 0));
    }
    QVERIFY(!QFontInfo(m_window->widget(Command1)->font()).fixedPitch());
}

void TestFormWindow::nothingBeforeTheFirstTick() {
    // A window of its own, looked at before the event loop has run: init() waits for its window,
    // and on a loaded machine a tick may come first.
    WindowedForm1 fresh;
    fresh.window.loadAndShow();
    QVERIFY(fresh.input()->toPlainText().isEmpty());
    QVERIFY(fresh.box(Text2)->text().isEmpty());
    QVERIFY(fresh.box(Text3)->text().isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(fresh.box(Text2)->text(), "32.00", kTimeoutMs);
    QCOMPARE(fresh.box(Text3)->text(), "-17.78");
    QVERIFY(fresh.input()->toPlainText().isEmpty());
}

void TestFormWindow::focusStartsInTheInputAndTabFollowsTheIndices() {
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), input(), kTimeoutMs);
    const QWidget* expected[] = {m_window->widget(Text2), m_window->widget(Text3),
                                 m_window->widget(Command1), input()};
    for (const QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), next);
    }
    QVERIFY(!input()->toPlainText().contains(u'\t'));
    QCOMPARE(m_window->errorNotice()->focusPolicy(), Qt::NoFocus);
}

void TestFormWindow::typingConverts() {
    type("98.6");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "209.48", kTimeoutMs);
    QCOMPARE(box(Text3)->text(), "37.00");
    QCOMPARE(input()->document()->defaultTextOption().alignment(), Qt::AlignHCenter);
}

void TestFormWindow::clearEmptiesTheInputAndTakesTheFocus() {
    type("100");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "212.00", kTimeoutMs);
    box(Text3)->setFocus();
    QTest::mouseClick(m_window->widget(Command1), Qt::LeftButton);
    QVERIFY(input()->toPlainText().isEmpty());
    QCOMPARE(QApplication::focusWidget(), input());
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "32.00", kTimeoutMs);
    QCOMPARE(box(Text3)->text(), "-17.78");
}

void TestFormWindow::undoAfterManyTicks() {
    QTest::qWait(100);
    QVERIFY(!input()->document()->isUndoAvailable());
    type("12");
    QTest::qWait(200);
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "53.60", kTimeoutMs);
    input()->undo();
    QCOMPARE(input()->toPlainText(), "");
    input()->redo();
    QCOMPARE(input()->toPlainText(), "12");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text3)->text(), "-11.11", kTimeoutMs);
}

void TestFormWindow::errorNoticeAppearsAndGoes() {
    type("100");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "212.00", kTimeoutMs);
    QVERIFY(m_window->errorNotice()->isHidden());
    input()->selectAll();
    type("1e400");
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorNotice()->isVisible(), kTimeoutMs);
    QCOMPARE(m_window->errorNotice()->text(), "Overflow");
    QCOMPARE(box(Text2)->text(), "212.00");
    QCOMPARE(box(Text3)->text(), "37.78");
    QCOMPARE(QApplication::focusWidget(), input());
    QCOMPARE(m_form1->log.str(), "Runtime error 6: Overflow\n");

    input()->selectAll();
    type("5");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "41.00", kTimeoutMs);
    QCOMPARE(box(Text3)->text(), "-15.00");
    QVERIFY(m_window->errorNotice()->isHidden());
}

void TestFormWindow::outputsCanBeCopied() {
    type("100");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "212.00", kTimeoutMs);
    box(Text2)->setFocus();
    QTest::keyClick(box(Text2), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box(Text2), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), "212.00");
    QTest::keyClick(box(Text2), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(box(Text2)->text(), "212.00");
}

void TestFormWindow::screenReaderNames() {
    type("100");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "212.00", kTimeoutMs);
    const auto name = [](QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
    };
    QCOMPARE(name(input()), "Enter a Temperature to Convert");
    QCOMPARE(name(box(Text2)), "Degrees in  Fahrenheit");
    QCOMPARE(name(box(Text3)), "Degrees in Celsius");
    QCOMPARE(name(m_window->widget(Command1)), "CLEAR");
    QCOMPARE(QAccessible::queryAccessibleInterface(box(Text2))->text(QAccessible::Value), "212.00");

    input()->selectAll();
    type("1e400");
    QTRY_VERIFY_WITH_TIMEOUT(m_window->errorNotice()->isVisible(), kTimeoutMs);
    QCOMPARE(name(m_window->errorNotice()), "Overflow");
}

void TestFormWindow::settledOutputsAreSaidOnce_data() {
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("said");
    const auto outputs = [](const char* fahrenheit, const char* celsius) {
        return QStringList{
            QString("%1 Degrees in Fahrenheit, %2 Degrees in Celsius").arg(fahrenheit, celsius)};
    };
    const QLocale c = QLocale::c();
    QTest::newRow("1, 10, 100 said once") << c << "100" << outputs("212.00", "37.78");
    QTest::newRow("the locale's decimal comma")
        << QLocale(QLocale::German, QLocale::Germany) << "100" << outputs("212,00", "37,78");
    QTest::newRow("negative") << c << "-40" << outputs("-40.00", "-40.00");
    QTest::newRow("outputs as first shown are no news") << c << "0" << QStringList{};
    QTest::newRow("an error at once, assertively")
        << c << "1e999" << QStringList{"!Error: Overflow"};
    QTest::newRow("an error, then the outputs of another number")
        << c << "1e400|5" << QStringList{"!Error: Overflow"} + outputs("41.00", "-15.00");
    QTest::newRow("an error gone, the outputs as they were (1e40's)")
        << c << "1e400\b" << QStringList{"!Error: Overflow"};
}

// Typed a key at a time, with ticks between the keys ("|" selects the whole input, "\b" is
// Backspace); the outputs are said once they have stayed the same for the pause, and the focus
// stays in the input. Assertive announcements are marked with a "!". Nothing said stays in the
// window's accessible tree once screen readers have had time to read it, and an error not even
// that long once the window no longer shows it. (How it all reaches a screen reader is the
// end-to-end test's concern.)
void TestFormWindow::settledOutputsAreSaidOnce() {
    QFETCH(QLocale, locale);
    QFETCH(QString, typed);
    QFETCH(QStringList, said);
    constexpr int kPauseMs = 300;
    const QLocale before;
    QLocale::setDefault(locale);
    WindowedForm1 fresh;
    const auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    fresh.window.announcer().setPause(kPauseMs);
    fresh.window.announcer().setReadingTime(kPauseMs);
    fresh.window.loadAndShow();
    QTRY_VERIFY_WITH_TIMEOUT(!fresh.box(Text3)->text().isEmpty(), kTimeoutMs);
    QStringList heard;
    connect(&fresh.window.announcer(), &runtime::Announcer::announced, this,
            [&heard](const QString& message, bool assertive) {
                heard.append((assertive ? "!" : "") + message);
            });
    // What was said (only errors, if `errors`) that an object of the window's accessible tree,
    // shown or hidden, is still named.
    const auto leftInTree = [&heard, &fresh](bool errors) {
        QStringList names;
        std::vector<QAccessibleInterface*> pending{
            QAccessible::queryAccessibleInterface(&fresh.window)};
        while (!pending.empty()) {
            QAccessibleInterface* node = pending.back();
            pending.pop_back();
            names.append(node->text(QAccessible::Name));
            for (int i = 0; i < node->childCount(); ++i) {
                pending.push_back(node->child(i));
            }
        }
        QStringList left;
        for (const QString& message : heard) {
            const bool error = message.startsWith(u'!');
            if ((error || !errors) && names.contains(error ? message.mid(1) : message)) {
                left.append(message);
            }
        }
        return left;
    };

    for (const QChar key : typed) {
        if (key == u'|') {
            QTest::keyClick(fresh.input(), Qt::Key_A, Qt::ControlModifier);
        } else {
            QTest::keyClicks(fresh.input(), key);
        }
        QTest::qWait(30);
        if (fresh.window.errorNotice()->isHidden()) {
            QCOMPARE(leftInTree(true).join(" | "), QString());
        }
    }
    QTRY_COMPARE_WITH_TIMEOUT(heard.size(), said.size(), kTimeoutMs);
    QTest::qWait(2 * kPauseMs); // and nothing more
    QCOMPARE(heard, said);
    QCOMPARE(leftInTree(false).join(" | "), QString());
    QCOMPARE(fresh.window.focusWidget(), fresh.input());
}

void TestFormWindow::aRefreshThatChangesNothingRepaintsNothing() {
    type("100");
    QTRY_COMPARE_WITH_TIMEOUT(box(Text3)->text(), "37.78", kTimeoutMs);
    QTest::qWait(50);
    PaintCounter counter;
    for (QWidget* widget : {static_cast<QWidget*>(input()->viewport()),
                            static_cast<QWidget*>(box(Text2)), static_cast<QWidget*>(box(Text3))}) {
        widget->installEventFilter(&counter);
    }
    int relayouts = 0;
    connect(input()->document()->documentLayout(), &QAbstractTextDocumentLayout::update, this,
            [&relayouts] { ++relayouts; });
    const int revision = input()->document()->revision();
    const int undoSteps = input()->document()->availableUndoSteps();
    QTest::qWait(200);
    QCOMPARE(counter.paints, 0);
    QCOMPARE(relayouts, 0);
    QCOMPARE(input()->document()->revision(), revision);
    QCOMPARE(input()->document()->availableUndoSteps(), undoSteps);
}

void TestFormWindow::cursorStopsBlinkingWhenIdle() {
    auto* box = qobject_cast<runtime::RichTextBoxWidget*>(input());
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), input(), kTimeoutMs);
    const int desktopFlashTime = QApplication::cursorFlashTime();
    QVERIFY(desktopFlashTime > 0);
    box->setCursorBlinkTimeout(1200);
    PaintCounter counter;
    input()->viewport()->installEventFilter(&counter);
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, kTimeoutMs); // the cursor blinks

    QTRY_COMPARE_WITH_TIMEOUT(QApplication::cursorFlashTime(), 0, kTimeoutMs);
    QTest::qWait(50);
    counter.paints = 0;
    QTest::qWait(1200);
    QCOMPARE(counter.paints, 0);

    QTest::keyClick(input(), Qt::Key_7);
    QCOMPARE(QApplication::cursorFlashTime(), desktopFlashTime);
    QCOMPARE(input()->toPlainText(), "7");
    QTest::qWait(50);
    counter.paints = 0;
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, kTimeoutMs); // and blinks again
}

// Long pastes stay responsive only if no paragraph is shaped again for each key and repaint.
// The design's font, and any font given to the box later, reaches its text with OpenType shaping
// left to the scripts that need it.
void TestFormWindow::inputFontSkipsShapingItDoesNotNeed() {
    for (const QFont& font : {input()->font(), QFont("Liberation Serif", 18, QFont::Bold)}) {
        input()->setFont(font);
        const QFont laidOut = input()->document()->defaultFont();
        QCOMPARE(laidOut.family(), font.family());
        QCOMPARE(laidOut.pointSize(), font.pointSize());
        QCOMPARE(laidOut.weight(), font.weight());
        QVERIFY(laidOut.styleStrategy() & QFont::PreferNoShaping);
    }
}

void TestFormWindow::pastedParagraphsKeepTheirLayouts() {
    input()->insertPlainText("12" + QString(10'000, u' ') + "abc\nx\ny");
    QTest::keyClick(input(), Qt::Key_Return);
    QTest::keyClicks(input(), "z");
    int blocks = 0;
    for (QTextBlock block = input()->document()->begin(); block.isValid(); block = block.next()) {
        QVERIFY(block.layout()->cacheEnabled());
        ++blocks;
    }
    QCOMPARE(blocks, 4);
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "53.60", kTimeoutMs);
}

// Pastes that once froze the window: on every edit Qt laid out the whole paragraph again, and a
// long run without a place to break a line cost the square of its length (a long run of blanks
// froze Qt 6.8 as well). The box keeps what fits of the beginning, as one undo step.
void TestFormWindow::largePastesKeepTheirBeginning_data() {
    QTest::addColumn<QString>("pasted");
    const auto repeated = [](const char* unit, qsizetype size) {
        return QString::fromLatin1(unit).repeated(size / qsizetype(std::strlen(unit)));
    };
    QTest::newRow("10 MB of digits") << "12x" + repeated("0123456789", 10'000'000);
    QTest::newRow("10 MB of letters") << "12x" + repeated("abcdefghij", 10'000'000);
    QTest::newRow("a megabyte of blanks") << "12" + repeated(" ", 1'000'000) + "abc";
    QTest::newRow("a megabyte of short lines") << "12x" + repeated("abc\n", 1'000'000);
}

void TestFormWindow::largePastesKeepTheirBeginning() {
    QFETCH(QString, pasted);
    constexpr qsizetype kMax = runtime::RichTextBoxWidget::kMaxLength;
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(input(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(input()->document()->characterCount() - 1, kMax);
    QCOMPARE(input()->toPlainText(), pasted.left(kMax));
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "53.60", kTimeoutMs);

    QTest::keyClick(input(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(input(), Qt::Key_Delete);
    QTRY_COMPARE_WITH_TIMEOUT(box(Text2)->text(), "35.60", kTimeoutMs);
    input()->undo();
    input()->undo();
    QVERIFY(input()->document()->isEmpty());
}

void TestFormWindow::aFullInputTakesNoMoreCharacters() {
    constexpr qsizetype kMax = runtime::RichTextBoxWidget::kMaxLength;
    // A thermometer (two code units) that would end one past the limit is left out whole.
    const QString full = "1" + QString(kMax - 2, u'0') + QStringLiteral(u"\U0001F321");
    QApplication::clipboard()->setText(full);
    QTest::keyClick(input(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(input()->toPlainText(), full.left(kMax - 1));
    type("56"); // fills the box with a 5 and refuses the 6
    QTest::keyClick(input(), Qt::Key_Return);
    QCOMPARE(input()->toPlainText(), full.left(kMax - 1) + "5");

    // Replacing a selection needs no room; Tab still leaves the box.
    QTest::keyClick(input(), Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(input(), Qt::Key_Right, Qt::ShiftModifier);
    type("2");
    QVERIFY(input()->toPlainText().startsWith("20"));
    // So does an input method: of its "34", only the 3 fits in place of the selected 0.
    QTest::keyClick(input(), Qt::Key_Right, Qt::ShiftModifier);
    QInputMethodEvent commit;
    commit.setCommitString("34");
    QApplication::sendEvent(input(), &commit);
    QVERIFY(input()->toPlainText().startsWith("230"));
    QCOMPARE(input()->document()->characterCount() - 1, kMax);
    QTest::keyClick(input(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), m_window->widget(Text2));

    // What the program stores is cut the same way.
    auto* dispatch = dynamic_cast<runtime::Dispatch*>(input());
    QCOMPARE(dispatch->putProperty(runtime::kDispIdText, runtime::VARIANT::bstr(full + full)),
             runtime::Status::Ok);
    QCOMPARE(input()->toPlainText(), full.left(kMax - 1));
}

int main(int argc, char* argv[]) {
    useOffscreenPlatformUnlessSet();
    QApplication application(argc, argv);
    TestFormWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formwindow.moc"
