// Form1's procedures on the screenless window: conversions tick by tick, load and clear, and
// what each failing step leaves behind.

#include "DispatchIds.h"
#include "RuntimeError.h"
#include "ScreenlessForm1.h"

#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

using Access = runtime::MemoryRichTextBox::Access;
using runtime::ErrorCode;
using runtime::Status;

namespace {

// What a successful refresh writes into both outputs, with "." as separator.
bool hasOutputShape(const QString& text) {
    static const QRegularExpression shape(QStringLiteral("^-?[0-9]+\\.[0-9][0-9]$"));
    return shape.match(text).hasMatch() && text != u"-0.00";
}

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale::c()); }

    void conversions_data();
    void conversions();
    void typingOneCharacterAtATime();
    void everyTickWritesBothOutputs();
    void loadEmptiesTheBoxes();
    void clearEmptiesTheInputAndTakesTheFocus();
    void commaLocale();
    void failures_data();
    void failures();
    void failingStoreStopsLoad();
    void failingStoreStopsClear();
    void errorClearsWhenTheInputIsMended();
    void screenlessWindowExamples();
    void hostileInputs_data();
    void hostileInputs();
    void externalCorpusAsInput();
};

void TestForm1::conversions_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("fahrenheit");
    QTest::addColumn<QString>("celsius");

    QTest::newRow("empty") << ""
                           << "32.00"
                           << "-17.78";
    QTest::newRow("1") << "1"
                       << "33.80"
                       << "-17.22";
    QTest::newRow("10") << "10"
                        << "50.00"
                        << "-12.22";
    QTest::newRow("37") << "37"
                        << "98.60"
                        << "2.78";
    QTest::newRow("98.6") << "98.6"
                          << "209.48"
                          << "37.00";
    QTest::newRow("100") << "100"
                         << "212.00"
                         << "37.78";
    QTest::newRow("212") << "212"
                         << "413.60"
                         << "100.00";
    QTest::newRow("-40") << "-40"
                         << "-40.00"
                         << "-40.00";
    QTest::newRow("-273.15") << "-273.15"
                             << "-459.67"
                             << "-169.53";
    QTest::newRow("letters") << "abc"
                             << "32.00"
                             << "-17.78";
    QTest::newRow("lone minus") << "-"
                                << "32.00"
                                << "-17.78";
    QTest::newRow("lone point") << "."
                                << "32.00"
                                << "-17.78";
    QTest::newRow("number then letters") << "25abc"
                                         << "77.00"
                                         << "-3.89";
    QTest::newRow("comma ends the number") << "37,5"
                                           << "98.60"
                                           << "2.78";
    QTest::newRow("point") << "37.5"
                           << "99.50"
                           << "3.06";
    QTest::newRow("no grouping") << "600"
                                 << "1112.00"
                                 << "315.56";
    QTest::newRow("half-hundredth after binary arithmetic") << "0.025"
                                                            << "32.05"
                                                            << "-17.76";
    // x * 9 / 5 + 32 would give 0.455000..., shown as 0.46: the steps' order shows.
    QTest::newRow("the operations in their order") << "-17.525"
                                                   << "0.45"
                                                   << "-27.51";
    QTest::newRow("negative that rounds to zero") << "31.999"
                                                  << "89.60"
                                                  << "0.00";
    QTest::newRow("blanks between digits") << "1 00"
                                           << "212.00"
                                           << "37.78";
    QTest::newRow("near the top of the range") << "1.99e307"
                                               << "3582" + QString(304, u'0') + ".00"
                                               << "110555555555556" + QString(293, u'0') + ".00";
}

void TestForm1::conversions() {
    QFETCH(QString, input);
    QFETCH(QString, fahrenheit);
    QFETCH(QString, celsius);

    ScreenlessForm1 screen;
    screen.load();
    screen.type(input);
    screen.tick();
    QCOMPARE(screen.fahrenheit().text(), fahrenheit);
    QCOMPARE(screen.celsius().text(), celsius);
    QCOMPARE(screen.input().alignment(), 2);
    QCOMPARE(screen.window.references(), 0);
}

void TestForm1::typingOneCharacterAtATime() {
    ScreenlessForm1 screen;
    screen.load();
    const QStringList typed{"1", "10", "100"};
    const QStringList fahrenheit{"33.80", "50.00", "212.00"};
    const QStringList celsius{"-17.22", "-12.22", "37.78"};
    for (qsizetype i = 0; i < typed.size(); ++i) {
        screen.type(typed[i]);
        screen.tick();
        QCOMPARE(screen.fahrenheit().text(), fahrenheit[i]);
        QCOMPARE(screen.celsius().text(), celsius[i]);
    }
}

void TestForm1::everyTickWritesBothOutputs() {
    ScreenlessForm1 screen;
    screen.load();
    const int before = screen.fahrenheit().stores();
    for (int tick = 0; tick < 5; ++tick) {
        screen.tick();
    }
    QCOMPARE(screen.fahrenheit().stores() - before, 5);
    QCOMPARE(screen.celsius().stores() - before, 5);
}

void TestForm1::loadEmptiesTheBoxes() {
    ScreenlessForm1 screen;
    screen.type("100");
    QCOMPARE(screen.fahrenheit().storeText("old"), Status::Ok);
    QCOMPARE(screen.celsius().storeText("old"), Status::Ok);
    screen.load();
    QCOMPARE(screen.input().text(), "");
    QCOMPARE(screen.fahrenheit().text(), "");
    QCOMPARE(screen.celsius().text(), "");
    screen.tick();
    QCOMPARE(screen.fahrenheit().text(), "32.00");
    QCOMPARE(screen.celsius().text(), "-17.78");
    QCOMPARE(screen.input().text(), "");
}

void TestForm1::clearEmptiesTheInputAndTakesTheFocus() {
    ScreenlessForm1 screen;
    screen.load();
    screen.type("100");
    screen.tick();
    screen.window.setFocus(form::Command1);
    screen.clickClear();
    QCOMPARE(screen.input().text(), "");
    QCOMPARE(screen.window.focus(), form::RichTextBox1);
    QCOMPARE(screen.fahrenheit().text(), "212.00");
    QCOMPARE(screen.celsius().text(), "37.78");
    screen.tick();
    QCOMPARE(screen.fahrenheit().text(), "32.00");
    QCOMPARE(screen.celsius().text(), "-17.78");

    screen.window.setFocus(form::Text3);
    screen.clickClear();
    QCOMPARE(screen.input().text(), "");
    QCOMPARE(screen.window.focus(), form::RichTextBox1);
    QCOMPARE(screen.window.references(), 0);
}

void TestForm1::commaLocale() {
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    ScreenlessForm1 screen;
    screen.load();
    screen.type("37.5");
    screen.tick();
    QCOMPARE(screen.fahrenheit().text(), "99,50");
    QCOMPARE(screen.celsius().text(), "3,06");
}

// Each row makes one step of the refresh fail and says which outputs it reaches first.
void TestForm1::failures_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("failingStep");
    QTest::addColumn<ErrorCode>("error");
    QTest::addColumn<QString>("fahrenheit");
    QTest::addColumn<QString>("celsius");

    // Both outputs start from 212.00 and 37.78 (the input 100).
    QTest::newRow("setting 28 rejected") << "5" << 1 << ErrorCode::ControlFailed << "212.00"
                                         << "37.78";
    QTest::newRow("text read rejected") << "5" << 2 << ErrorCode::ControlFailed << "212.00"
                                        << "37.78";
    QTest::newRow("parse overflows") << "1e400" << 0 << ErrorCode::Overflow << "212.00"
                                     << "37.78";
    QTest::newRow("multiplication overflows") << "1e308" << 0 << ErrorCode::Overflow << "212.00"
                                              << "37.78";
    QTest::newRow("negative multiplication overflows")
        << "-1.7e308" << 0 << ErrorCode::Overflow << "212.00"
        << "37.78";
    QTest::newRow("Text2 store rejected") << "5" << 5 << ErrorCode::ControlFailed << "212.00"
                                          << "37.78";
    QTest::newRow("Text3 store rejected") << "5" << 7 << ErrorCode::ControlFailed << "41.00"
                                          << "37.78";
}

void TestForm1::failures() {
    QFETCH(QString, input);
    QFETCH(int, failingStep);
    QFETCH(ErrorCode, error);
    QFETCH(QString, fahrenheit);
    QFETCH(QString, celsius);

    ScreenlessForm1 screen;
    screen.load();
    screen.type("100");
    screen.tick();
    screen.type(input);
    switch (failingStep) {
    case 1:
        screen.input().fail(Access::Put, runtime::kDispIdSetting28, Status::Failed);
        break;
    case 2:
        screen.input().fail(Access::Get, runtime::kDispIdText, Status::Failed);
        break;
    case 5:
        screen.fahrenheit().failStoresWith(Status::Failed);
        break;
    case 7:
        screen.celsius().failStoresWith(Status::Failed);
        break;
    }
    screen.tick();
    QVERIFY(screen.window.errors().current());
    QCOMPARE(screen.window.errors().current()->code(), error);
    QCOMPARE(screen.fahrenheit().text(), fahrenheit);
    QCOMPARE(screen.celsius().text(), celsius);
    QCOMPARE(screen.window.references(), 0);
    QCOMPARE(screen.input().text(), input);
}

void TestForm1::failingStoreStopsLoad() {
    ScreenlessForm1 screen;
    screen.type("100");
    QCOMPARE(screen.celsius().storeText("old"), Status::Ok);
    screen.fahrenheit().failStoresWith(Status::Failed);
    screen.load();
    QVERIFY(screen.window.errors().current());
    QCOMPARE(screen.window.errors().current()->code(), ErrorCode::ControlFailed);
    QCOMPARE(screen.celsius().text(), "old");
    QCOMPARE(screen.input().text(), "100");
    QCOMPARE(screen.window.references(), 0);
}

void TestForm1::failingStoreStopsClear() {
    ScreenlessForm1 screen;
    screen.load();
    screen.type("100");
    screen.window.setFocus(form::Command1);
    screen.input().fail(Access::Put, runtime::kDispIdText, Status::Failed);
    screen.clickClear();
    QVERIFY(screen.window.errors().current());
    QCOMPARE(screen.window.errors().current()->code(), ErrorCode::ControlFailed);
    QCOMPARE(screen.window.focus(), form::Command1);
    QCOMPARE(screen.input().text(), "100");
    QCOMPARE(screen.window.references(), 0);
}

void TestForm1::errorClearsWhenTheInputIsMended() {
    ScreenlessForm1 screen;
    screen.load();
    screen.type("1e400");
    for (int tick = 0; tick < 50; ++tick) {
        screen.tick();
    }
    QVERIFY(screen.window.errors().current());
    QCOMPARE(screen.window.errors().current()->description(), "Overflow");
    QCOMPARE(screen.fahrenheit().text(), "");
    screen.type("5");
    screen.tick();
    QVERIFY(!screen.window.errors().current());
    QCOMPARE(screen.fahrenheit().text(), "41.00");
    QCOMPARE(screen.celsius().text(), "-15.00");
    QCOMPARE(screen.log.str(), "Runtime error 6: Overflow\n");
}

// The documented examples of the screenless window and its controls.
void TestForm1::screenlessWindowExamples() {
    ScreenlessForm1 screen;
    QVERIFY(screen.window.memoryTextBox(form::Label1) == nullptr);
    QVERIFY(screen.window.memoryRichTextBox(form::Text2) == nullptr);
    {
        runtime::ControlRef<runtime::TextBox> box(screen.fahrenheit());
        QCOMPARE(screen.fahrenheit().references(), 1);
    }
    QCOMPARE(screen.fahrenheit().references(), 0);
    screen.fahrenheit().failStoresWith(Status::Failed);
    QCOMPARE(screen.fahrenheit().storeText("1"), Status::Failed);
    QCOMPARE(screen.fahrenheit().text(), "");
    screen.window.setFocus(form::Command1);
    QCOMPARE(screen.window.focus(), form::Command1);
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, screen.window.textBox(form::RichTextBox1));
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, screen.window.lateBound(form::Text3));
}

// Whatever is pasted, a refresh either writes two well-formed outputs or reports an error and
// leaves them alone; it never ends the program.
void TestForm1::hostileInputs_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("fahrenheit");

    const auto units = [](std::initializer_list<char16_t> codes) {
        QString text;
        for (const char16_t code : codes) {
            text += QChar(code);
        }
        return text;
    };
    QTest::newRow("lone plus") << "+"
                               << "32.00";
    QTest::newRow("sign and point") << "-."
                                    << "32.00";
    QTest::newRow("control characters") << units({0x01, 0x1B, 0x7F, u'5'}) << "32.00";
    QTest::newRow("NUL inside a number") << units({u'4', 0, u'2'}) << "39.20";
    QTest::newRow("unpaired high surrogate") << units({0xD800, u'1'}) << "32.00";
    QTest::newRow("unpaired low surrogate after digits") << units({u'9', 0xDC00}) << "48.20";
    QTest::newRow("right-to-left mark before digits") << units({0x200F, u'5'}) << "32.00";
    QTest::newRow("right-to-left override after digits") << units({u'5', 0x202E}) << "41.00";
    QTest::newRow("arabic-indic digits") << units({0x0661, 0x0660, 0x0660}) << "32.00";
    QTest::newRow("devanagari digit after digits") << units({u'1', 0x0967}) << "33.80";
    QTest::newRow("byte order mark") << units({0xFEFF, u'1'}) << "32.00";
    QTest::newRow("1 MB of blanks between number and letters")
        << "12" + QString(1'000'000, u' ') + "abc"
        << "53.60";
    QTest::newRow("10 MB of digits") << QString(10'000'000, u'1') << "";
    QTest::newRow("10 MB of zeros then a digit") << QString(10'000'000, u'0') + "7"
                                                 << "44.60";
    QTest::newRow("parse overflow") << "1e400"
                                    << "";
    QTest::newRow("overflow at the multiplication") << "1.7976931348623157e308"
                                                    << "";
}

void TestForm1::hostileInputs() {
    QFETCH(QString, input);
    QFETCH(QString, fahrenheit);

    ScreenlessForm1 screen;
    screen.load();
    screen.type(input);
    screen.tick();
    QCOMPARE(screen.window.references(), 0);
    if (fahrenheit.isEmpty()) {
        QVERIFY(screen.window.errors().current());
        QCOMPARE(screen.window.errors().current()->code(), ErrorCode::Overflow);
        QCOMPARE(screen.fahrenheit().text(), "");
        QCOMPARE(screen.celsius().text(), "");
    } else {
        QVERIFY(!screen.window.errors().current());
        QCOMPARE(screen.fahrenheit().text(), fahrenheit);
        QVERIFY(hasOutputShape(screen.celsius().text()));
    }
}

// Every line of the external parsing data typed into the box, one tick each.
void TestForm1::externalCorpusAsInput() {
    ScreenlessForm1 screen;
    screen.load();
    int lines = 0;
    QDirIterator files(QStringLiteral(MIROVANE_PARSE_DATA), {QStringLiteral("*.txt")});
    while (files.hasNext()) {
        QFile file(files.next());
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        while (!file.atEnd()) {
            const QString input = QString::fromLatin1(file.readLine().trimmed().mid(31));
            const QString fahrenheit = screen.fahrenheit().text();
            const QString celsius = screen.celsius().text();
            screen.type(input);
            screen.tick();
            if (const auto& error = screen.window.errors().current()) {
                QCOMPARE(error->code(), ErrorCode::Overflow);
                QCOMPARE(screen.fahrenheit().text(), fahrenheit);
                QCOMPARE(screen.celsius().text(), celsius);
            } else {
                QVERIFY2(hasOutputShape(screen.fahrenheit().text()), qPrintable(input));
                QVERIFY2(hasOutputShape(screen.celsius().text()), qPrintable(input));
            }
            ++lines;
        }
    }
    QCOMPARE(lines, 27'808);
    QCOMPARE(screen.window.references(), 0);
}

QTEST_GUILESS_MAIN(TestForm1)
#include "tst_form1.moc"
