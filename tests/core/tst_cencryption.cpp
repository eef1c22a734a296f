// SPDX-License-Identifier: GPL-3.0-or-later
#include "CEncryption.h"
#include "Random.h"

#include <QTest>

using namespace trenix;
using namespace Qt::StringLiterals;

class TestCEncryption : public QObject {
    Q_OBJECT

private slots:
    void encrypt_wrongShiftArithmeticOrState_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("cipher"); // of "Hello, World!", computed once outside this code from our generator
        QTest::newRow("key Trenix") << u"Trenix"_s << u"^GE85L>]4tjj)"_s;
        QTest::newRow("non-Latin-1 key character skipped") << u"T\u5BC6renix"_s << u"^GE85L>]4tjj)"_s;
        QTest::newRow("empty key") << QString() << u"*n+%PZq<.iz3Y"_s;
    }
    void encrypt_wrongShiftArithmeticOrState()
    {
        QFETCH(QString, key);
        QFETCH(QString, cipher);
        Random generator;
        CEncryption encryption(generator);
        QCOMPARE(encryption.Encrypt(key, u"Hello, World!"_s), cipher);
        const double next = generator.next();
        generator.seed(987654); // elsewhere, as earlier game draws would leave it: the key alone sets where it ends
        QCOMPARE(encryption.Decrypt(key, cipher), u"Hello, World!"_s);
        QCOMPARE(generator.next(), next);
    }

    // Every printable character comes back; any other is dropped without a draw, so later shifts stay.
    void roundTrip_printableLostOrDroppedCharacterDrawnFor()
    {
        const QString plain = QStringLiteral(
            " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~");
        const QString dropped = u"\t\n\r"_s + QChar(u'\0') + QChar(char16_t(127)) + u"\u00E9中\U0001F600"_s;
        Random generator;
        CEncryption cipher(generator);
        const QString key = QStringLiteral("Trenix"), encrypted = cipher.Encrypt(key, plain);
        QCOMPARE(cipher.Encrypt(key, dropped + plain.left(40) + dropped + plain.mid(40) + dropped), encrypted);
        QCOMPARE(cipher.Decrypt(key, dropped + encrypted.left(40) + dropped + encrypted.mid(40) + dropped), plain);
    }
};

QTEST_GUILESS_MAIN(TestCEncryption)
#include "tst_cencryption.moc"
