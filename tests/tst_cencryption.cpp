// The text cipher and the generator it draws from.
#include "cipher/CEncryption.h"
#include "Random.h"

#include <QRandomGenerator>
#include <QTest>

using trenix::CEncryption;
using trenix::Random;

namespace {

QString allPrintable()
{
    QString text;
    for (char16_t c = 32; c <= 126; ++c)
        text.append(QChar(c));
    return text;
}

QString printableOnly(const QString &text)
{
    QString kept;
    for (const QChar ch : text) {
        if (ch.unicode() >= 32 && ch.unicode() <= 126)
            kept.append(ch);
    }
    return kept;
}

bool allPrintableChars(const QString &text)
{
    return printableOnly(text) == text;
}

// The draw after restart(), seed(seed) and `skip` draws.
double drawAfter(qint32 seed, int skip)
{
    Random reference;
    reference.restart();
    reference.seed(seed);
    for (int i = 0; i < skip; ++i)
        reference.next();
    return reference.next();
}

// Leaves the generator somewhere unrelated, as earlier game draws would.
void disturb(Random &generator)
{
    generator.seed(987654);
    generator.next();
    generator.next();
}

} // namespace

class TestCEncryption : public QObject {
    Q_OBJECT

    static qint32 seedOf(const QString &key) { return CEncryption::SeedFromKey(key); }

private slots:
    void seedFromKey_wrongFold_data();
    void seedFromKey_wrongFold();
    void seedFromKey_cancellingPositionNotIgnored_data();
    void seedFromKey_cancellingPositionNotIgnored();
    void generator_restartOrSeedNotFixed_data();
    void generator_restartOrSeedNotFixed();
    void generator_seedsGiveSameSequence();
    void encrypt_wrongShiftArithmetic_data();
    void encrypt_wrongShiftArithmetic();
    void roundTrip_allPrintableNotRecovered_data();
    void roundTrip_allPrintableNotRecovered();
    void roundTrip_randomTextNotRecovered_data();
    void roundTrip_randomTextNotRecovered();
    void droppedCharacter_keptOrDrawnFor_data();
    void droppedCharacter_keptOrDrawnFor();
    void generatorState_notDeterminedByKey_data();
    void generatorState_notDeterminedByKey();
    void generatorState_differentKeysSameState();
};

void TestCEncryption::seedFromKey_wrongFold_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<qint32>("seed");
    // Worked by hand: the first character cancels (a = b = 0);
    // "AB": 66<<7 ^ 66<<13 = 0x2100 ^ 0x84000;
    // "abc": 0x3100 ^ 0xC4000 ^ (99<<14) ^ (99<<3) = 0x14B218.
    QTest::newRow("empty key") << QString() << 0;
    QTest::newRow("one character") << QStringLiteral("A") << 0;
    QTest::newRow("AB") << QStringLiteral("AB") << 549120;
    QTest::newRow("abc") << QStringLiteral("abc") << 1356312;
    // Our choice: characters above U+00FF are skipped, counters included.
    QTest::newRow("non-Latin-1 skipped") << QStringLiteral("a\u5BC6bc") << 1356312;
}

void TestCEncryption::seedFromKey_wrongFold()
{
    QFETCH(QString, key);
    QFETCH(qint32, seed);
    QCOMPARE(seedOf(key), seed);
}

void TestCEncryption::seedFromKey_cancellingPositionNotIgnored_data()
{
    QTest::addColumn<QString>("keyA");
    QTest::addColumn<QString>("keyB");
    QTest::newRow("first character") << QStringLiteral("Akey") << QStringLiteral("zkey");
    QTest::newRow("blank versus tilde first") << QStringLiteral(" pass") << QStringLiteral("~pass");
    // The counters meet again at the 21st character.
    QTest::newRow("21st character") << QStringLiteral("abcdefghijklmnopqrstX") << QStringLiteral("abcdefghijklmnopqrstY");
}

void TestCEncryption::seedFromKey_cancellingPositionNotIgnored()
{
    QFETCH(QString, keyA);
    QFETCH(QString, keyB);
    QCOMPARE(seedOf(keyA), seedOf(keyB));
    Random generator;
    CEncryption cipher(generator);
    const QString text = QStringLiteral("The same cipher text");
    QCOMPARE(cipher.Encrypt(keyA, text), cipher.Encrypt(keyB, text));
    // A neighbouring position does count.
    QVERIFY2(seedOf(keyA + u'x') != seedOf(keyA + u'y'), "the character after the cancelling one was ignored");
}

void TestCEncryption::generator_restartOrSeedNotFixed_data()
{
    QTest::addColumn<qint32>("seed");
    QTest::addColumn<QList<quint64>>("draws"); // each draw times 2^53
    // Computed once from SplitMix64 with our restart state, outside this code.
    QTest::newRow("seed 0") << 0 << QList<quint64>{0x15ca9aff33306bULL, 0x34eeafbee559aULL, 0xa2e1b4524b6a6ULL};
    QTest::newRow("seed 12345") << 12345 << QList<quint64>{0x84da57c5aaca7ULL, 0x167e5f53425137ULL, 0xe6bc1e298c0daULL};
}

void TestCEncryption::generator_restartOrSeedNotFixed()
{
    QFETCH(qint32, seed);
    QFETCH(QList<quint64>, draws);
    Random generator;
    disturb(generator);
    generator.restart();
    generator.seed(seed);
    for (qsizetype i = 0; i < draws.size(); ++i) {
        const double r = generator.next();
        QVERIFY2(r >= 0.0 && r < 1.0, qPrintable(QStringLiteral("draw %1 is %2, outside [0, 1)").arg(i).arg(r)));
        // Draws are multiples of 2^-53, so the comparison is exact.
        QCOMPARE(quint64(r * 9007199254740992.0), draws.at(i));
    }
}

void TestCEncryption::generator_seedsGiveSameSequence()
{
    QVERIFY2(drawAfter(0, 0) != drawAfter(12345, 0), "seeds 0 and 12345 give the same first draw");
    QVERIFY2(drawAfter(1, 0) != drawAfter(-1, 0), "seeds 1 and -1 give the same first draw");
}

void TestCEncryption::encrypt_wrongShiftArithmetic_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("cipher");
    // Computed once outside this code from the rules and our generator.
    QTest::newRow("key Trenix") << QStringLiteral("Trenix") << QStringLiteral("Hello, World!") << QStringLiteral("^GE85L>]4tjj)");
    QTest::newRow("empty key") << QString() << QStringLiteral("Hello, World!") << QStringLiteral("*n+%PZq<.iz3Y");
    QTest::newRow("empty text") << QStringLiteral("Trenix") << QString() << QString();
}

void TestCEncryption::encrypt_wrongShiftArithmetic()
{
    QFETCH(QString, key);
    QFETCH(QString, plain);
    QFETCH(QString, cipher);
    Random generator;
    CEncryption encryption(generator);
    disturb(generator);
    QCOMPARE(encryption.Encrypt(key, plain), cipher);
    disturb(generator);
    QCOMPARE(encryption.Encrypt(key, plain), cipher);
    disturb(generator);
    QCOMPARE(encryption.Decrypt(key, cipher), plain);
}

void TestCEncryption::roundTrip_allPrintableNotRecovered_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("empty key") << QString();
    QTest::newRow("one character") << QStringLiteral("k");
    QTest::newRow("word") << QStringLiteral("Trenix");
    QTest::newRow("every printable") << allPrintable();
    QTest::newRow("Latin-1 above 126") << QStringLiteral("\u00FF\u00E9\u00A0key");
}

void TestCEncryption::roundTrip_allPrintableNotRecovered()
{
    QFETCH(QString, key);
    Random generator;
    CEncryption cipher(generator);
    const QString plain = allPrintable() + allPrintable();
    const QString encrypted = cipher.Encrypt(key, plain);
    QCOMPARE(encrypted.size(), plain.size());
    QVERIFY2(allPrintableChars(encrypted), qPrintable(QStringLiteral("not printable: ") + encrypted));
    QCOMPARE(cipher.Decrypt(key, encrypted), plain);
}

void TestCEncryption::roundTrip_randomTextNotRecovered_data()
{
    QTest::addColumn<quint32>("textSeed");
    QTest::newRow("texts 1") << 1u;
    QTest::newRow("texts 2") << 2u;
    QTest::newRow("texts 3") << 3u;
}

void TestCEncryption::roundTrip_randomTextNotRecovered()
{
    QFETCH(quint32, textSeed);
    QRandomGenerator texts(textSeed);
    Random generator;
    CEncryption cipher(generator);
    for (int round = 0; round < 50; ++round) {
        QString key;
        QString plain;
        const int keyLength = texts.bounded(0, 12);
        const int textLength = texts.bounded(0, 200);
        for (int i = 0; i < keyLength; ++i)
            key.append(QChar(char16_t(texts.bounded(32, 127))));
        for (int i = 0; i < textLength; ++i) {
            // Mostly printable, with control, Latin-1 and CJK characters.
            const int kind = texts.bounded(10);
            const int code = kind < 7 ? texts.bounded(32, 127)
                           : kind < 9 ? texts.bounded(0, 256)
                                      : texts.bounded(0x4E00, 0x9FA6);
            plain.append(QChar(char16_t(code)));
        }
        const QString encrypted = cipher.Encrypt(key, plain);
        QVERIFY2(allPrintableChars(encrypted), qPrintable(QStringLiteral("round %1: not printable").arg(round)));
        QCOMPARE(encrypted.size(), printableOnly(plain).size());
        QCOMPARE(cipher.Decrypt(key, encrypted), printableOnly(plain));
    }
}

void TestCEncryption::droppedCharacter_keptOrDrawnFor_data()
{
    QTest::addColumn<QString>("dropped");
    QTest::newRow("tab") << QStringLiteral("\t");
    QTest::newRow("line feed") << QStringLiteral("\n");
    QTest::newRow("carriage return") << QStringLiteral("\r");
    QTest::newRow("NUL") << QString(QChar(u'\0'));
    QTest::newRow("DEL 127") << QString(QChar(char16_t(127)));
    QTest::newRow("Latin-1 e acute") << QStringLiteral("\u00E9");
    QTest::newRow("Chinese") << QStringLiteral("中文");
    QTest::newRow("surrogate pair") << QStringLiteral("\U0001F600");
}

void TestCEncryption::droppedCharacter_keptOrDrawnFor()
{
    QFETCH(QString, dropped);
    Random generator;
    CEncryption cipher(generator);
    const QString key = QStringLiteral("key");
    // Dropping without a draw leaves the following characters' shifts alone.
    const QString expected = cipher.Encrypt(key, QStringLiteral("abcd"));
    QCOMPARE(cipher.Encrypt(key, dropped + QStringLiteral("ab") + dropped + QStringLiteral("cd") + dropped), expected);
    QCOMPARE(cipher.Decrypt(key, dropped + expected.left(2) + dropped + expected.mid(2) + dropped), QStringLiteral("abcd"));
}

void TestCEncryption::generatorState_notDeterminedByKey_data()
{
    QTest::addColumn<bool>("decrypt");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("draws");
    QTest::newRow("encrypt") << false << QStringLiteral("Trenix") << QStringLiteral("abc") << 3;
    QTest::newRow("decrypt") << true << QStringLiteral("Trenix") << QStringLiteral("abc") << 3;
    QTest::newRow("empty text draws nothing") << false << QStringLiteral("abc") << QString() << 0;
    QTest::newRow("empty key") << false << QString() << QStringLiteral("xy") << 2;
    QTest::newRow("dropped characters draw nothing") << true << QStringLiteral("k") << QStringLiteral("\ta\n中b") << 2;
}

void TestCEncryption::generatorState_notDeterminedByKey()
{
    QFETCH(bool, decrypt);
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(int, draws);
    Random generator;
    CEncryption cipher(generator);
    const double expected = drawAfter(seedOf(key), draws);
    for (int call = 0; call < 2; ++call) {
        disturb(generator);
        decrypt ? cipher.Decrypt(key, text) : cipher.Encrypt(key, text);
        QCOMPARE(generator.next(), expected);
    }
}

void TestCEncryption::generatorState_differentKeysSameState()
{
    Random generator;
    CEncryption cipher(generator);
    cipher.Encrypt(QStringLiteral("Trenix"), QStringLiteral("abc"));
    const double afterFirst = generator.next();
    cipher.Encrypt(QStringLiteral("abc"), QStringLiteral("abc"));
    QVERIFY2(generator.next() != afterFirst, "two different keys left the generator in the same state");
}

QTEST_GUILESS_MAIN(TestCEncryption)
#include "tst_cencryption.moc"
