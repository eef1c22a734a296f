// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: the page of each label and language, and pages that are
// missing or damaged.
#include "Frmhelp.h"
#include "TestSupport.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <QtEndian>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
// The interface language, the label clicked after another one, a help file spoiled with these
// bytes (null: removed), and the file then shown (empty: a notice naming the page and the file).
struct HelpRow {
    int language, label;
    QString spoiled;
    QByteArray content;
    QString shown;
};
} // namespace

Q_DECLARE_METATYPE(HelpRow)

class TestUiBadInput : public QObject, GameFixture {
    Q_OBJECT

private slots:
    void init()
    {
        start({{2, numberedEntries(5)}}, 1, 5);
        for (int i = 1; i <= Frmhelp::kPages; ++i)
            folder->copyFromBuild({u"help0%1.bmp"_s.arg(i)});
        folder->copyFromBuild({u"help01-1.bmp"_s});
    }
    void cleanup() { stop(); }

    void help_wrongPageShownOrWithoutNotice_data()
    {
        QTest::addColumn<HelpRow>("row");
        QFile f(QStringLiteral(TRENIX_BIN_DIR "/help03.bmp"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        QByteArray sizeOver = whole; // a complete picture whose file-size field says 2 bytes more
        qToLittleEndian(quint32(whole.size() + 2), sizeOver.data() + 2);
        const QString three = u"help03.bmp"_s;
        QTest::newRow("first label") << HelpRow{2, 0, {}, {}, u"help01.bmp"_s};
        QTest::newRow("last label") << HelpRow{2, Frmhelp::kPages - 1, {}, {}, u"help07.bmp"_s};
        QTest::newRow("English page") << HelpRow{1, 0, {}, {}, u"help01-1.bmp"_s};
        QTest::newRow("damaged traditional page") << HelpRow{3, 0, u"help01-3.bmp"_s, "BM broken", u"help01.bmp"_s};
        QTest::newRow("missing first page") << HelpRow{2, 0, u"help01.bmp"_s, {}, {}};
        QTest::newRow("not a picture") << HelpRow{2, 2, three, "BM this is no bitmap", {}};
        QTest::newRow("header only") << HelpRow{2, 2, three, whole.left(54), {}};
        QTest::newRow("one byte short") << HelpRow{2, 2, three, whole.chopped(1), {}};
        QTest::newRow("size field over, pixels complete") << HelpRow{2, 2, three, sizeOver, three};
    }
    void help_wrongPageShownOrWithoutNotice()
    {
        QFETCH(HelpRow, row);
        GlVexM.languageCode = qint16(row.language);
        if (!row.spoiled.isEmpty())
            QFile::remove(folder->file(row.spoiled));
        if (!row.content.isNull())
            folder->writeFile(row.spoiled, row.content);
        const QImage shown = QImage(folder->file(row.shown)).convertToFormat(QImage::Format_RGB32);
        const DataPaths paths = folder->paths();
        Frmhelp help(paths); // opens at the first page
        QVERIFY(help.currentPage() == 1 && help.Label1[0]->isCurrent()
                && help.pictureShown() == (row.spoiled != u"help01.bmp"_s));
        help.show();
        const int other = (row.label + 1) % Frmhelp::kPages; // a click that loads nothing is caught
        help.Label1_Click(other);
        QTest::mouseClick(help.Label1[size_t(row.label)], Qt::LeftButton);
        QCOMPARE(help.currentPage(), row.label + 1);
        for (int i = 0; i < Frmhelp::kPages; ++i)
            QVERIFY2(help.Label1[size_t(i)]->isCurrent() == (i == row.label),
                     qPrintable(u"highlight of label %1"_s.arg(i)));
        QCOMPARE(help.Picture1->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 shown); // none of a damaged page or the one before
        const QString notice = help.Picture1->text(), name = u"help0%1.bmp"_s.arg(row.label + 1);
        QVERIFY2(row.shown.isEmpty() ? notice.contains(QString::number(row.label + 1)) && notice.contains(name)
                                     : notice.isEmpty(),
                 qPrintable(notice));
        help.Label1_Click(other); // another page shows again, without the notice
        QVERIFY(help.pictureShown() && help.Picture1->text().isEmpty());
    }
};

QTEST_MAIN(TestUiBadInput)
#include "tst_ui_badinput.moc"
