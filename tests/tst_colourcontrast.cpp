// Contrast ratios as WCAG 2 defines them, and design colours kept readable on any background:
// the examples of ColourContrast.h, and the colours the window's captions take on dark schemes.

#include "ColourContrast.h"

#include <QTest>

using runtime::contrastRatio;
using runtime::readableColour;

class TestColourContrast : public QObject {
    Q_OBJECT

private slots:
    void ratios_data();
    void ratios();
    void readable_data();
    void readable();
};

void TestColourContrast::ratios_data() {
    QTest::addColumn<QColor>("a");
    QTest::addColumn<QColor>("b");
    QTest::addColumn<double>("ratio");
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
    QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
    QTest::newRow("equal greys") << QColor(0x77, 0x77, 0x77) << QColor(0x77, 0x77, 0x77) << 1.0;
    QTest::newRow("red on black") << QColor(255, 0, 0) << QColor(Qt::black) << 5.252;
    QTest::newRow("blue on a light window")
        << QColor(0, 0, 255) << QColor(0xef, 0xef, 0xef) << 7.4726;
    QTest::newRow("blue on a dark window")
        << QColor(0, 0, 255) << QColor(0x32, 0x32, 0x32) << 1.4924;
    // Below the linear segment's end: 0x0a / 255 / 12.92 for each channel.
    QTest::newRow("near black") << QColor(0x0a, 0x0a, 0x0a) << QColor(Qt::black) << 1.0607;
}

void TestColourContrast::ratios() {
    QFETCH(QColor, a);
    QFETCH(QColor, b);
    QFETCH(double, ratio);
    QVERIFY2(qAbs(contrastRatio(a, b) - ratio) < 5e-4,
             qPrintable(QString::number(contrastRatio(a, b))));
}

void TestColourContrast::readable_data() {
    QTest::addColumn<QColor>("wanted");
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("toward");
    QTest::addColumn<QColor>("expected");
    const QColor blue(0, 0, 255);
    QTest::newRow("blue kept on a light window")
        << blue << QColor(0xef, 0xef, 0xef) << QColor(Qt::black) << blue;
    QTest::newRow("red kept on black")
        << QColor(255, 0, 0) << QColor(Qt::black) << QColor(Qt::white) << QColor(255, 0, 0);
    QTest::newRow("blue lightened on a dark window")
        << blue << QColor(0x32, 0x32, 0x32) << QColor(Qt::white) << QColor(0x8d, 0x8d, 0xff);
    QTest::newRow("blue lightened on black")
        << blue << QColor(Qt::black) << QColor(Qt::white) << QColor(0x5e, 0x5e, 0xff);
    // A scheme whose text colour is no better than the design's: the way leads to white.
    QTest::newRow("toward white when the text colour is too dark")
        << blue << QColor(Qt::black) << QColor(0x20, 0x20, 0x20) << QColor(0x5e, 0x5e, 0xff);
    QTest::newRow("light red darkened on white") << QColor(0xff, 0x80, 0x80) << QColor(Qt::white)
                                                 << QColor(Qt::black) << QColor(0xb6, 0x5b, 0x5b);
}

void TestColourContrast::readable() {
    QFETCH(QColor, wanted);
    QFETCH(QColor, background);
    QFETCH(QColor, toward);
    QFETCH(QColor, expected);
    const QColor colour = readableColour(wanted, background, toward);
    QCOMPARE(colour.name(), expected.name());
    QVERIFY(contrastRatio(colour, background) >= runtime::kReadableContrast);
}

QTEST_GUILESS_MAIN(TestColourContrast)
#include "tst_colourcontrast.moc"
