// Number parsing: the syntax with the value read and where reading stopped, the header's
// examples, overflow, and every line of the external decimal-to-binary64 corpus.

#include "NumberParser.h"
#include "RuntimeError.h"

#include <QFile>
#include <QTest>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

using runtime::ParsedNumber;
using runtime::scanNumber;

class TestNumberParser : public QObject {
    Q_OBJECT

private slots:
    void syntax_data();
    void syntax();
    void overflow_data();
    void overflow();
    void headerExamples();
    void rememberedTextIsNeverStale();
    void externalCorpus_data();
    void externalCorpus();
};

void TestNumberParser::syntax_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<qsizetype>("length");

    QTest::newRow("empty") << "" << 0.0 << qsizetype(0);
    QTest::newRow("integer") << "100" << 100.0 << qsizetype(3);
    QTest::newRow("decimal") << "98.6" << 98.6 << qsizetype(4);
    QTest::newRow("negative") << "-273.15" << -273.15 << qsizetype(7);
    QTest::newRow("plus sign") << "+5" << 5.0 << qsizetype(2);
    QTest::newRow("trailing letters") << "25abc" << 25.0 << qsizetype(2);
    QTest::newRow("comma is not a decimal point") << "37,5" << 37.0 << qsizetype(2);
    QTest::newRow("point without fraction") << "5." << 5.0 << qsizetype(2);
    QTest::newRow("point first") << ".5" << 0.5 << qsizetype(2);
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2 << qsizetype(3);
    QTest::newRow("blank between digits") << "1 00" << 100.0 << qsizetype(4);
    QTest::newRow("tab and line feed between digits") << "1\t2\n3" << 123.0 << qsizetype(5);
    QTest::newRow("leading blanks") << "  \t7" << 7.0 << qsizetype(4);
    QTest::newRow("trailing blanks are not part") << "7  " << 7.0 << qsizetype(1);
    QTest::newRow("blank after sign") << "- 5" << -5.0 << qsizetype(3);
    QTest::newRow("blanks around point") << "1 . 5" << 1.5 << qsizetype(5);
    QTest::newRow("exponent") << "1e3" << 1000.0 << qsizetype(3);
    QTest::newRow("capital exponent with sign") << "25E-2" << 0.25 << qsizetype(5);
    QTest::newRow("blanks inside exponent") << "1 e + 2 0" << 1e20 << qsizetype(9);
    QTest::newRow("marker without digits") << "2e" << 2.0 << qsizetype(1);
    QTest::newRow("marker and sign without digits") << "2e+x" << 2.0 << qsizetype(1);
    QTest::newRow("negative zero") << "-0" << -0.0 << qsizetype(2);
    QTest::newRow("zero with huge exponent") << "0e99999999999999999999" << 0.0 << qsizetype(22);
    QTest::newRow("underflow to zero") << "1e-400" << 0.0 << qsizetype(6);
    QTest::newRow("negative underflow") << "-1e-400" << -0.0 << qsizetype(7);
    QTest::newRow("smallest subnormal")
        << "5e-324" << std::numeric_limits<double>::denorm_min() << qsizetype(6);
    QTest::newRow("largest double")
        << "1.7976931348623157e308" << std::numeric_limits<double>::max() << qsizetype(22);
    QTest::newRow("many leading zeros") << QString(1000, u'0') + "12" << 12.0 << qsizetype(1002);
    QTest::newRow("long fraction of zeros")
        << "0." + QString(1000, u'0') + "1e1001" << 1.0 << qsizetype(1008);
    QTest::newRow("exact half-way beyond 800 digits goes to even")
        << "9007199254740993" + QString(2000, u'0') + "e-2000" << 9007199254740992.0
        << qsizetype(2022);
    QTest::newRow("many digits, half-way decided late")
        << "9007199254740993" + QString(2000, u'0') + "1e-2001" << 9007199254740994.0
        << qsizetype(2023);

    // Texts that do not begin with a number read as 0 and stop at 0.
    QTest::newRow("letters") << "abc" << 0.0 << qsizetype(0);
    QTest::newRow("lone minus") << "-" << 0.0 << qsizetype(0);
    QTest::newRow("lone point") << "." << 0.0 << qsizetype(0);
    QTest::newRow("sign and point") << "-.e5" << 0.0 << qsizetype(0);
    QTest::newRow("two signs") << "+-5" << 0.0 << qsizetype(0);
    QTest::newRow("hexadecimal prefix") << "0x1A" << 0.0 << qsizetype(1);
    QTest::newRow("infinity") << "inf" << 0.0 << qsizetype(0);
    QTest::newRow("nan") << "nan" << 0.0 << qsizetype(0);
    QTest::newRow("other exponent letter") << "1d5" << 1.0 << qsizetype(1);
    QTest::newRow("carriage return is not blank") << "\r5" << 0.0 << qsizetype(0);
    QTest::newRow("no-break space is not blank")
        << QStringView(u"\u00A05").toString() << 0.0 << qsizetype(0);
    QTest::newRow("arabic-indic digits")
        << QStringView(u"\u0665").toString() << 0.0 << qsizetype(0);
    QTest::newRow("fullwidth digits") << QStringView(u"\uFF15").toString() << 0.0 << qsizetype(0);
    QTest::newRow("right-to-left mark")
        << QStringView(u"\u200F5").toString() << 0.0 << qsizetype(0);
    QTest::newRow("NUL") << QString(QChar(0)) + "5" << 0.0 << qsizetype(0);
    QTest::newRow("unpaired surrogate after digits")
        << "4" + QString(QChar(0xD800)) + "2" << 4.0 << qsizetype(1);
}

void TestNumberParser::syntax() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(qsizetype, length);

    const ParsedNumber number = scanNumber(text);
    QCOMPARE(std::bit_cast<std::uint64_t>(number.value), std::bit_cast<std::uint64_t>(value));
    QCOMPARE(number.length, length);
    QVERIFY(!number.overflow);
}

void TestNumberParser::overflow_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("just beyond the largest double") << "1.7976931348623159e308";
    QTest::newRow("negative") << "-1e400";
    QTest::newRow("huge exponent") << "1e99999999999999999999999999";
    QTest::newRow("many integer digits") << QString(400, u'9');
    QTest::newRow("blanks inside") << "1 e 4 0 0";
}

void TestNumberParser::overflow() {
    QFETCH(QString, text);
    QVERIFY(scanNumber(text).overflow);
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, runtime::parseNumber(text));
    try {
        runtime::parseNumber(text);
    } catch (const runtime::RuntimeError& error) {
        QCOMPARE(error.code(), runtime::ErrorCode::Overflow);
        QCOMPARE(error.description(), "Overflow");
    }
}

void TestNumberParser::headerExamples() {
    QCOMPARE(scanNumber(u" 1 00 abc").value, 100.0);
    QCOMPARE(scanNumber(u" 1 00 abc").length, 5);
    QCOMPARE(scanNumber(u"37,5").value, 37.0);
    QCOMPARE(scanNumber(u"37,5").length, 2);
    QCOMPARE(scanNumber(u"2e").value, 2.0);
    QCOMPARE(scanNumber(u"2e").length, 1);
    QCOMPARE(scanNumber(u"abc").value, 0.0);
    QCOMPARE(scanNumber(u"abc").length, 0);
    QVERIFY(scanNumber(u"1e400").overflow);
    QCOMPARE(runtime::parseNumber(QStringLiteral("98.6")), 98.6);
    QCOMPARE(runtime::parseNumber(QStringLiteral("25abc")), 25.0);
    QCOMPARE(runtime::parseNumber(QString()), 0.0);
    QVERIFY(std::signbit(runtime::parseNumber(QStringLiteral("-1e-400"))));
}

// The parser remembers the last text; a change to it, or another text with the same characters'
// address, must never give the remembered number.
void TestNumberParser::rememberedTextIsNeverStale() {
    QString text = QString::number(12);
    QCOMPARE(runtime::parseNumber(text), 12.0);
    QCOMPARE(runtime::parseNumber(text), 12.0);
    text[0] = u'3';
    QCOMPARE(runtime::parseNumber(text), 32.0);
    text.chop(1);
    QCOMPARE(runtime::parseNumber(text), 3.0);
    QString overflow = QStringLiteral("1e400").toUpper();
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, runtime::parseNumber(overflow));
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, runtime::parseNumber(overflow));
    overflow.append(u'-');
    QVERIFY_THROWS_EXCEPTION(runtime::RuntimeError, runtime::parseNumber(overflow));
    overflow[0] = u'x';
    QCOMPARE(runtime::parseNumber(overflow), 0.0);
}

void TestNumberParser::externalCorpus_data() {
    QTest::addColumn<QString>("file");
    for (const char* file : {"ordinary.txt", "rounding.txt", "extremes.txt", "overflow.txt"}) {
        QTest::newRow(file) << QStringLiteral(MIROVANE_PARSE_DATA "/") + file;
    }
}

// Each line: binary16, binary32 and binary64 bit patterns in hexadecimal, then the decimal text.
// Every text is also read with a "-" in front, which must give the same bits with the sign set.
void TestNumberParser::externalCorpus() {
    QFETCH(QString, file);
    QFile data(file);
    QVERIFY2(data.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file));

    constexpr std::uint64_t kInfinity = 0x7FF0000000000000;
    constexpr std::uint64_t kSignBit = 0x8000000000000000;
    int lines = 0;
    while (!data.atEnd()) {
        const QByteArray line = data.readLine().trimmed();
        if (line.isEmpty()) {
            continue;
        }
        const std::uint64_t expected = line.mid(14, 16).toULongLong(nullptr, 16);
        const QString text = QString::fromLatin1(line.mid(31));
        for (const bool negative : {false, true}) {
            const QString input = negative ? u'-' + text : text;
            const ParsedNumber number = scanNumber(input);
            QCOMPARE(number.length, input.size());
            if (expected == kInfinity) {
                QVERIFY2(number.overflow, qPrintable(input));
                continue;
            }
            QVERIFY2(!number.overflow, qPrintable(input));
            const std::uint64_t bits = std::bit_cast<std::uint64_t>(number.value);
            QCOMPARE(bits, negative ? expected | kSignBit : expected);
        }
        ++lines;
    }
    QVERIFY(lines > 100);
}

QTEST_GUILESS_MAIN(TestNumberParser)
#include "tst_numberparser.moc"
