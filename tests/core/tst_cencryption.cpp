// The text cipher and the generator it draws from.
#include "CEncryption.h"
#include "Random.h"

#include <QTest>

using trenix::CEncryption;
using trenix::Random;

// Leaves the generator somewhere unrelated, as earlier game draws would.
static void disturb(Random &generator) { generator.seed(987654); generator.next(); }

class TestCEncryption : public QObject {
    Q_OBJECT

private slots:
    void encrypt_wrongShiftArithmeticOrState_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("cipher");
        // Computed once outside this code from the rules and our generator.
        QTest::newRow("key Trenix") << QStringLiteral("Trenix") << QStringLiteral("Hello, World!") << QStringLiteral("^GE85L>]4tjj)");
        // Our choice: key characters above U+00FF are skipped, counters included.
        QTest::newRow("non-Latin-1 key character skipped") << QStringLiteral("T\u5BC6renix") << QStringLiteral("Hello, World!") << QStringLiteral("^GE85L>]4tjj)");
        QTest::newRow("empty key") << QString() << QStringLiteral("Hello, World!") << QStringLiteral("*n+%PZq<.iz3Y");
        QTest::newRow("empty text") << QStringLiteral("Trenix") << QString() << QString();
    }
    void encrypt_wrongShiftArithmeticOrState()
    {
        QFETCH(QString, key);
        QFETCH(QString, plain);
        QFETCH(QString, cipher);
        Random generator;
        CEncryption encryption(generator);
        QCOMPARE(encryption.Encrypt(key, plain), cipher);
        const double next = generator.next();
        disturb(generator); // the key alone sets where the generator is left
        QCOMPARE(encryption.Decrypt(key, cipher), plain);
        QCOMPARE(generator.next(), next);
    }

    void roundTrip_printableLostOrDroppedCharacterDrawnFor()
    {
        QString plain;
        for (char16_t c = 32; c <= 126; ++c)
            plain.append(QChar(c));
        Random generator;
        CEncryption cipher(generator);
        const QString key = QStringLiteral("Trenix");
        const QString encrypted = cipher.Encrypt(key, plain);
        const double next = generator.next();
        QCOMPARE(encrypted.size(), plain.size());
        for (const QChar ch : encrypted)
            QVERIFY2(ch.unicode() >= 32 && ch.unicode() <= 126, qPrintable(QStringLiteral("not printable: ") + encrypted));
        QCOMPARE(cipher.Decrypt(key, encrypted), plain);

        // Dropped without a draw, so the following characters' shifts stay.
        const QString dropped = QStringLiteral("\t\n\r") + QChar(u'\0') + QChar(char16_t(127)) + QStringLiteral("\u00E9中\U0001F600");
        QCOMPARE(cipher.Encrypt(key, dropped + plain.left(40) + dropped + plain.mid(40) + dropped), encrypted);
        QCOMPARE(generator.next(), next);
        QCOMPARE(cipher.Decrypt(key, dropped + encrypted.left(40) + dropped + encrypted.mid(40) + dropped), plain);
    }
};

QTEST_GUILESS_MAIN(TestCEncryption)
#include "tst_cencryption.moc"
