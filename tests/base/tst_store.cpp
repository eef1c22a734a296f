// The store wrapper's messages: what the player reads when the engine fails.
#include "Store.h"

#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace trenix;

class TestStore : public QObject {
    Q_OBJECT

private slots:
    // The engine reports extended codes; the reason follows the primary one.
    void fail_wrongKindOrReason_data()
    {
        QTest::addColumn<int>("rc");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason"); // empty: the engine's words only
        const int write = int(ErrorKind::StoreWrite), query = int(ErrorKind::StoreQuery);
        QTest::newRow("read-only, moved") << SQLITE_READONLY_DBMOVED << write << "the file is read-only; nothing was changed";
        QTest::newRow("disk full") << SQLITE_FULL << write << "the disk is full; nothing was changed";
        QTest::newRow("busy snapshot") << SQLITE_BUSY_SNAPSHOT << write << "the file is in use by another program; nothing was changed";
        QTest::newRow("fsync failed") << SQLITE_IOERR_FSYNC << write << "the file cannot be read or written; nothing was changed";
        QTest::newRow("journal is a folder") << SQLITE_CANTOPEN_ISDIR << write << "the file or its journal cannot be opened; nothing was changed";
        QTest::newRow("damaged") << SQLITE_CORRUPT_VTAB << int(ErrorKind::StoreDamaged) << "the file is damaged";
        QTest::newRow("constraint") << SQLITE_CONSTRAINT_UNIQUE << query << "";
    }
    void fail_wrongKindOrReason()
    {
        QFETCH(int, rc);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.db"));
        Store store(path, QByteArray(), Store::Mode::Create);
        try {
            store.fail(ErrorKind::StoreQuery, QStringLiteral("saving"), rc);
        } catch (const Error &e) {
            QCOMPARE(int(e.kind()), kind);
            const QString head = path + QStringLiteral(": ") + (reason.isEmpty() ? QString() : reason + QStringLiteral(": "))
                                 + QStringLiteral("saving (");
            QVERIFY2(e.message().startsWith(head), qPrintable(e.message()));
            return;
        }
        QFAIL("no error thrown");
    }

    // A statement bound again while rows are pending runs anew; a transaction
    // left without commit takes its writes with it and leaves the store usable.
    void statementAndTransaction_staleRowsOrHalfWrites()
    {
        QTemporaryDir dir;
        Store store(dir.filePath(QStringLiteral("s.db")), QByteArray(), Store::Mode::Create);
        store.exec(QStringLiteral("create table t (v integer)"));
        Statement count = store.prepare(QStringLiteral("select count(*) from t"));
        Statement values = store.prepare(QStringLiteral("select ?1 union all select ?1 + 1"));
        QVERIFY(values.bind(1, 10).next());
        QCOMPARE(values.integer(0), qint64(10));
        QVERIFY(values.bind(1, 20).next());
        QCOMPARE(values.integer(0), qint64(20));
        {
            Transaction tx(store);
            store.prepare(QStringLiteral("insert into t values (1)")).run();
            QVERIFY(count.next());
            QCOMPARE(count.integer(0), qint64(1));
            count.reset();
        }
        QVERIFY(count.next());
        QCOMPARE(count.integer(0), qint64(0));
        count.reset();
        Transaction again(store); // no transaction is left open
        again.commit();
    }

    void open_missingOrEmptyFileUnclearOrCreated_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("wording");
        QTest::newRow("missing") << QByteArray() << int(ErrorKind::StoreMissing) << "the file is missing";
        QTest::newRow("empty") << QByteArray("") << int(ErrorKind::StoreOpen) << "cannot open (the file is empty)";
        QTest::newRow("not a database") << QByteArray(4096, 'x') << int(ErrorKind::StoreDamaged) << "cannot open (not a database)";
    }
    void open_missingOrEmptyFileUnclearOrCreated()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QString, wording);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trenix.dat"));
        if (!bytes.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        try {
            Store store(path, QByteArray(), Store::Mode::ReadWrite);
            QFAIL("opened");
        } catch (const Error &e) {
            QCOMPARE(int(e.kind()), kind);
            QCOMPARE(e.message(), path + QStringLiteral(": ") + wording);
        }
        QCOMPARE(QFileInfo(path).exists(), !bytes.isNull());
        QCOMPARE(QFileInfo(path).exists() ? QFileInfo(path).size() : -1, bytes.isNull() ? -1 : bytes.size());
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
