// Form1's procedures on the screenless window: conversions tick by tick, load and clear, and
// what each failing step leaves behind.

#include "DispatchIds.h"
#include "RuntimeError.h"
#include "ScreenlessForm1.h"

#include <QLocale>
#include <QTest>

using Access = runtime::MemoryRichTextBox::Access;
using runtime::ErrorCode;
using runtime::Status;

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
    screen.fahrenheit().setText("old");
    screen.celsius().setText("old");
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
    screen.celsius().setText("old");
    screen.fahrenheit().failStoresWith(Status::Failed);
    screen.load();
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
    QCOMPARE(screen.window.errors().current()->description(), "Overflow");
    QCOMPARE(screen.fahrenheit().text(), "");
    screen.type("5");
    screen.tick();
    QVERIFY(!screen.window.errors().current());
    QCOMPARE(screen.fahrenheit().text(), "41.00");
    QCOMPARE(screen.celsius().text(), "-15.00");
    QCOMPARE(screen.log.str(), "Runtime error 6: Overflow\n");
}

QTEST_GUILESS_MAIN(TestForm1)
#include "tst_form1.moc"
