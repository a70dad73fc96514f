// Character groups, the shared generator and the filling of letter blocks.
#include "core/Letters.h"
#include "core/Random.h"

#include <QtTest>

using namespace zrv;

namespace
{

// The generator written out again from its definition, independent of zrv::Random.
struct Lcg {
    quint32 seed;
    quint32 next(quint32 n)
    {
        seed = quint32(quint64(seed) * 134775813u + 1u);
        return quint32((quint64(seed) * n) >> 32);
    }
};

// The groups exactly as listed: the Turkish alphabet with dotless ı before i and I before İ,
// then q, x, w.
const QString Lower = QStringLiteral(u"abcçdefgğhıijklmnoöprsştuüvyzqxw");
const QString Upper = QStringLiteral(u"ABCÇDEFGĞHIİJKLMNOÖPRSŞTUÜVYZQXW");
const QString Digits = QStringLiteral(u"0123456789");
const QString Signs = QStringLiteral(u".,:;?!()+-=*\"^%");

} // namespace

class TestLetters : public QObject
{
    Q_OBJECT

  private slots:
    void pool_data();
    void pool();
    void generatorSequence_data();
    void generatorSequence();
    void fillDrawsLineByLine_data();
    void fillDrawsLineByLine();
    void fillDigitShare();
    void fillLimits_data();
    void fillLimits();
};

void TestLetters::pool_data()
{
    QTest::addColumn<bool>("lower");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<bool>("digits");
    QTest::addColumn<bool>("signs");
    QTest::addColumn<QString>("pool");
    QTest::addColumn<int>("size");
    QTest::newRow("all four") << true << true << true << true << Lower + Upper + Digits + Signs << 89;
    QTest::newRow("lower") << true << false << false << false << Lower << 32;
    QTest::newRow("upper") << false << true << false << false << Upper << 32;
    QTest::newRow("digits") << false << false << true << false << Digits << 10;
    QTest::newRow("signs") << false << false << false << true << Signs << 15;
    QTest::newRow("lower and digits") << true << false << true << false << Lower + Digits << 42;
    QTest::newRow("upper and signs") << false << true << false << true << Upper + Signs << 47;
    QTest::newRow("none") << false << false << false << false << QString() << 0;
}

void TestLetters::pool()
{
    QFETCH(bool, lower);
    QFETCH(bool, upper);
    QFETCH(bool, digits);
    QFETCH(bool, signs);
    QFETCH(QString, pool);
    QFETCH(int, size);
    const QString got = characterPool(lower, upper, digits, signs);
    QCOMPARE(got, pool);
    QCOMPARE(got.size(), size);
}

void TestLetters::generatorSequence_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<quint32>("n");
    QTest::newRow("seed 0, n 89") << 0u << 89u;
    QTest::newRow("time of day seed, n 42") << quint32(((13 * 60 + 37) * 60 + 5) * 1000 + 250) << 42u;
    QTest::newRow("seed near wrap, n 10") << 0xFFFFFFF0u << 10u;
    QTest::newRow("n 1 is always 0") << 12345u << 1u;
    QTest::newRow("n large") << 777u << 0x80000000u;
}

void TestLetters::generatorSequence()
{
    QFETCH(quint32, seed);
    QFETCH(quint32, n);
    setRandSeed(seed);
    Lcg ref{seed};
    for (int k = 0; k < 50; ++k) {
        const quint32 expected = ref.next(n);
        QCOMPARE(random(n), expected);
        QVERIFY(expected < n);
        QCOMPARE(randSeed(), ref.seed);
    }
}

void TestLetters::fillDrawsLineByLine_data()
{
    QTest::addColumn<int>("letters");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("pool");
    QTest::newRow("one line of 4, all groups") << 4 << 1 << Lower + Upper + Digits + Signs;
    QTest::newRow("3 lines of 7, lower and digits") << 7 << 3 << Lower + Digits;
    QTest::newRow("6 lines of 36, upper") << 36 << 6 << Upper;
    QTest::newRow("2 lines of 5, one character") << 5 << 2 << QStringLiteral(u"ş");
}

void TestLetters::fillDrawsLineByLine()
{
    QFETCH(int, letters);
    QFETCH(int, lines);
    QFETCH(QString, pool);
    const quint32 seed = 0x5EED1234u;

    // The expected text, picked line by line, left to right, from the generator's definition.
    Lcg ref{seed};
    QStringList expected;
    for (int i = 1; i <= lines; ++i) {
        QString line;
        for (int k = 0; k < letters; ++k)
            line += pool.at(qsizetype(ref.next(quint32(pool.size()))));
        expected << line;
    }

    LetterBlock first, second;
    for (LetterBlock* b : {&first, &second}) {
        b->letters = letters;
        b->lines = lines;
        setRandSeed(seed);
        fillBlock(*b, pool);
        QCOMPARE(randSeed(), ref.seed); // exactly lines x letters draws
    }
    for (int i = 1; i <= lines; ++i) {
        QCOMPARE(first.text[i], expected[i - 1]);
        QCOMPARE(second.text[i], first.text[i]); // same seed, same text
    }
}

void TestLetters::fillDigitShare()
{
    // With lower-case letters and digits a pick is a digit with probability 10/42.
    const QString pool = characterPool(true, false, true, false);
    setRandSeed(20240601u);
    int digits = 0, total = 0;
    for (int round = 0; round < 300; ++round) {
        LetterBlock b;
        b.letters = 36;
        b.lines = 6;
        fillBlock(b, pool);
        for (int i = 1; i <= 6; ++i) {
            for (QChar c : b.text[i]) {
                QVERIFY(pool.contains(c));
                digits += c.isDigit() ? 1 : 0;
                ++total;
            }
        }
    }
    QCOMPARE(total, 300 * 36 * 6);
    const double share = double(digits) / total;
    QVERIFY2(qAbs(share - 10.0 / 42.0) < 0.01, qPrintable(QString::number(share)));

    // Only the digits box ticked: nothing but digits.
    LetterBlock d;
    d.letters = 36;
    d.lines = 6;
    fillBlock(d, characterPool(false, false, true, false));
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(d.text[i].size(), 36);
        for (QChar c : d.text[i])
            QVERIFY(Digits.contains(c));
    }
}

void TestLetters::fillLimits_data()
{
    QTest::addColumn<int>("letters");
    QTest::addColumn<int>("lines");
    QTest::addColumn<bool>("emptyPool");
    QTest::addColumn<int>("linesAfter");  // Lines after filling
    QTest::addColumn<int>("filledLines"); // Text[1..filledLines] rewritten, the rest kept
    QTest::addColumn<int>("length");      // length of each filled line
    QTest::newRow("lines 0") << 5 << 0 << false << 0 << 0 << 0;
    QTest::newRow("lines negative") << 5 << -2 << false << -2 << 0 << 0;
    QTest::newRow("letters 0") << 0 << 3 << false << 3 << 3 << 0;
    QTest::newRow("letters negative") << -4 << 2 << false << 2 << 2 << 0;
    QTest::newRow("lines 7 held to 6") << 4 << 7 << false << 6 << 6 << 4;
    QTest::newRow("lines 1 keeps the other lines") << 3 << 1 << false << 1 << 1 << 3;
    QTest::newRow("empty pool") << 5 << 2 << true << 2 << 2 << 0;
}

void TestLetters::fillLimits()
{
    QFETCH(int, letters);
    QFETCH(int, lines);
    QFETCH(bool, emptyPool);
    QFETCH(int, linesAfter);
    QFETCH(int, filledLines);
    QFETCH(int, length);
    const QString old = QStringLiteral("old");
    LetterBlock b;
    b.letters = letters;
    b.lines = lines;
    for (QString& t : b.text)
        t = old;
    setRandSeed(99u);
    fillBlock(b, emptyPool ? QString() : characterPool(true, true, true, true));

    QCOMPARE(b.lines, linesAfter);
    QCOMPARE(b.letters, letters);
    QCOMPARE(b.text[0], old);
    for (int i = 1; i <= 6; ++i) {
        if (i <= filledLines)
            QCOMPARE(b.text[i].size(), length);
        else
            QCOMPARE(b.text[i], old);
    }
    // Every character drawn takes exactly one step of the generator, and nothing else does.
    Lcg ref{99u};
    for (int k = 0; k < filledLines * length; ++k)
        ref.next(1);
    QCOMPARE(randSeed(), ref.seed);
}

QTEST_MAIN(TestLetters)
#include "test_letters.moc"
