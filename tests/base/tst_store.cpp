// SPDX-License-Identifier: GPL-3.0-or-later
// The store wrapper's messages: what the player reads when the engine fails or the file cannot be opened.
#include "Store.h"
#include "TestSupport.h"

#include <QDir>
#include <sqlite3.h>

using namespace trenix;
using namespace Qt::StringLiterals;

class TestStore : public QObject {
    Q_OBJECT

private slots:
    // The engine reports extended codes; the reason follows the primary one. Code 0: the file is opened instead.
    void fail_wrongKindOrReason_data()
    {
        QTest::addColumn<int>("rc");
        QTest::addColumn<QByteArray>("bytes"); // of the file; null: no file
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("message"); // after the path; a failed statement's ends in its own words
        const auto row = [](const char *name, int rc, ErrorKind kind, const QString &message,
                            const QByteArray &bytes = {}) {
            QTest::newRow(name) << rc << bytes << int(kind) << message;
        };
        const QString unchanged = u"; nothing was changed: saving ("_s;
        using enum ErrorKind;
        row("read-only, moved", SQLITE_READONLY_DBMOVED, StoreWrite, "the file is read-only" + unchanged);
        row("disk full", SQLITE_FULL, StoreWrite, "the disk is full" + unchanged);
        row("damaged", SQLITE_CORRUPT_VTAB, StoreDamaged, u"the file is damaged: saving ("_s);
        row("constraint", SQLITE_CONSTRAINT_UNIQUE, StoreQuery, u"saving ("_s);
        row("missing", 0, StoreMissing, u"the file is missing"_s);
        row("empty", 0, StoreOpen, u"cannot open (the file is empty)"_s, ""_ba);
        row("not a database", 0, StoreDamaged, u"cannot open (not a database)"_s, QByteArray(4096, 'x'));
    }
    void fail_wrongKindOrReason()
    {
        QFETCH(int, rc);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"trenix.dat"_s);
        if (!bytes.isNull())
            test::ProgramFolder::writeFileAt(path, bytes);
        try {
            Store store(path, QByteArray(), rc ? Store::Mode::Create : Store::Mode::ReadWrite);
            store.fail(ErrorKind::StoreQuery, u"saving"_s, rc);
            QFAIL("no error thrown");
        } catch (const Error &e) {
            QTEST(int(e.kind()), "kind");
            QVERIFY2(rc ? e.message().startsWith(path + u": "_s + message) : e.message() == path + u": "_s + message,
                     qPrintable(e.message()));
        }
        if (!rc) // a file that cannot be opened is neither created nor changed
            QCOMPARE(QFileInfo::exists(path) ? QFileInfo(path).size() : -1, bytes.isNull() ? -1 : bytes.size());
    }

    // A statement bound again while rows are pending runs anew; a transaction left without commit takes its writes
    // with it and leaves the store usable; a statement or a store replaced by another lets go of what it held.
    void statementAndTransaction_staleRowsHalfWritesOrFileLeftOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"a.db"_s);
        const auto openCount = [&path] { // of the file's descriptors
            const QFileInfoList fds =
                QDir(u"/proc/self/fd"_s).entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
            return int(
                std::count_if(fds.begin(), fds.end(), [&](const QFileInfo &fd) { return fd.symLinkTarget() == path; }));
        };
        Store store(path, QByteArray(), Store::Mode::Create);
        {
            store.exec(u"create table t (v integer)"_s);
            Statement count = store.prepare(u"select count(*) from t"_s);
            Statement values = store.prepare(u"select ?1 union all select ?1 + 1"_s);
            const auto first = [](Statement &st) { return st.next() ? st.integer(0) : -1; };
            QCOMPARE(first(values.bind(1, 10)), 10);
            QCOMPARE(first(values.bind(1, 20)), 20);
            {
                Transaction tx(store);
                store.prepare(u"insert into t values (1)"_s).run();
                QCOMPARE(first(count), 1);
                count.reset();
            }
            QCOMPARE(first(count), 0);
            Transaction again(store); // no transaction is left open
            again.commit();
            values = store.prepare(u"select 2"_s); // unfinalized, the one replaced would keep the file open
        }
        QVERIFY(openCount() > 0); // else the count could not fail
        store = Store(dir.filePath(u"b.db"_s), QByteArray(), Store::Mode::Create);
        QCOMPARE(openCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
