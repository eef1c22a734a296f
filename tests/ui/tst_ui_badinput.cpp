// Bad input in the small windows: damaged help pictures and a negative word range.
#include "Frmhelp.h"
#include "TestSupport.h"
#include "Twips.h"
#include "setForm.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace trenix;
using namespace trenix::test;

class TestUiBadInput : public QObject, GameFixture {
    Q_OBJECT

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        QList<DictionaryEntry> entries;
        for (int xh = -10; xh <= 20; ++xh)
            entries.append({xh, QStringLiteral("词%1").arg(xh), {}, {}, {}, {}});
        start({{2, entries}}, 1, 20);
        for (int i = 1; i <= Frmhelp::kPages; ++i)
            folder->copyFromBuild({QStringLiteral("help0%1.bmp").arg(i)});
    }
    void cleanup() { stop(); }

    void help_badPictureShownOrWithoutNotice_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QByteArray>("content"); // null: the file is missing
        QTest::addColumn<bool>("shown");
        QFile f(QStringLiteral(TRENIX_BIN_DIR "/help03.bmp"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        QByteArray sizeOver = whole; // a complete picture whose file-size field says 2 bytes more
        const quint32 stated = quint32(whole.size() + 2);
        for (int i = 0; i < 4; ++i)
            sizeOver[2 + i] = char(stated >> (8 * i));
        QTest::newRow("missing first page") << 1 << QByteArray() << false;
        QTest::newRow("not a picture") << 3 << QByteArray("BM this is no bitmap") << false;
        QTest::newRow("header only") << 3 << whole.left(54) << false;
        QTest::newRow("one byte short") << 3 << whole.chopped(1) << false;
        QTest::newRow("size field over, pixels complete") << 3 << sizeOver << true;
    }
    void help_badPictureShownOrWithoutNotice()
    {
        QFETCH(int, page);
        QFETCH(QByteArray, content);
        QFETCH(bool, shown);
        const QString name = QStringLiteral("help0%1.bmp").arg(page);
        QVERIFY(QFile::remove(folder->file(name)));
        if (!content.isNull())
            folder->writeFile(name, content);
        Frmhelp help;
        help.Label1_Click(page - 1);
        QCOMPARE(help.currentPage(), page);
        if (shown) {
            QVERIFY2(help.pictureShown() && !help.Picture1->pixmap().isNull(), qPrintable(help.Picture1->text()));
            return;
        }
        QVERIFY2(!help.pictureShown() && help.Picture1->pixmap().isNull(), "a damaged picture or the previous page shows");
        const QString notice = help.Picture1->text();
        QVERIFY2(notice.contains(QString::number(page)) && notice.contains(name), qPrintable(notice));
        help.Label1_Click(page == 1 ? 1 : 0); // another page shows again, without the notice
        QVERIFY(help.pictureShown() && help.Picture1->text().isEmpty());
    }

    // The range is accepted as it stands, but the draw never reaches numbers
    // below 1: those rows are copied and their labels stay empty for good.
    void settingsRange_negativeRangeNotPlayed()
    {
        setForm dlg(*core);
        dlg.Txt_Word_From->setText(QStringLiteral("-5"));
        dlg.txt_Word_To->setText(QStringLiteral("9"));
        QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);
        QCOMPARE(dialogs.notices, QStringList());
        QCOMPARE(int(GlVexM.wordFrom), -5);
        core->Label3_Click();
        QVERIFY2(!core->screen.lbmessageVisible, qPrintable(core->screen.lbmessage));
        QStringList canFall;
        for (size_t i = 1; i < core->Label1.size(); ++i)
            if (!core->Label1[i].Caption.isEmpty())
                canFall << core->Label1[i].Caption;
        canFall.sort();
        QStringList expected;
        for (int xh = 1; xh <= 9; ++xh)
            expected << QStringLiteral("词%1").arg(xh);
        expected.sort();
        QCOMPARE(canFall, expected);
    }
};

QTEST_MAIN(TestUiBadInput)
#include "tst_ui_badinput.moc"
