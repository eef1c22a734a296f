// Bad input in the small windows: cut-short help pictures and word ranges at
// the edges of what the settings dialog accepts.
#include "Frmhelp.h"
#include "GameCore.h"
#include "SettingsRules.h"
#include "TestSupport.h"
#include "Twips.h"
#include "setForm.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace trenix;
using namespace trenix::test;

class TestUiBadInput : public QObject {
    Q_OBJECT

    FakeClock m_clock;
    ScriptedDialogs m_dialogs;
    Random m_random;
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<GameCore> m_core;

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }

    void init()
    {
        m_dialogs = ScriptedDialogs();
        m_folder = std::make_unique<ProgramFolder>();
        m_folder->copyAllFromBuild();
        QList<DictionaryEntry> entries;
        for (int xh = -10; xh <= 20; ++xh)
            entries.append({xh, QStringLiteral("词%1").arg(xh), QString(), QString(), QString(), QString()});
        m_folder->makePracticeStore({{2, entries}});
        m_folder->install();
        resetAll(&m_clock, &m_dialogs, &m_random);
        GlVexM.languageCode = 2;
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 50;
        openPracticeStore(*m_folder);
        m_core = std::make_unique<GameCore>(GlVexM.storeConn, [](const QString &s) { return qint64(s.size() * 300); });
        m_core->load();
    }

    void cleanup()
    {
        m_core.reset();
        resetModuleVariables();
        GlVexM.programFolder.clear();
        m_folder.reset();
    }

    void help_cutShortPictureShownWithoutNotice_data()
    {
        QTest::addColumn<int>("keep"); // bytes kept of the page's file; negative: from the end
        QTest::newRow("header only") << 54;
        QTest::newRow("a thousand bytes") << 1000;
        QTest::newRow("half the file") << -2;
        QTest::newRow("one byte short") << -1;
    }

    void help_cutShortPictureShownWithoutNotice()
    {
        QFETCH(int, keep);
        const QString name = QStringLiteral("help03.bmp");
        QFile f(m_folder->file(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        f.close();
        const qsizetype size = keep == -2 ? whole.size() / 2 : keep == -1 ? whole.size() - 1 : keep;
        m_folder->writeFile(name, whole.left(size));

        Frmhelp help;
        help.show();
        help.Label1_Click(2);
        QCOMPARE(help.currentPage(), 3);
        QVERIFY2(!help.pictureShown(), "a cut-short picture was shown as if whole");
        const QString notice = help.Picture1->text();
        QVERIFY2(notice.contains(name), qPrintable(notice));
    }

    void settingsRange_edgeTextMisjudged_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<int>("words");       // words of the next game
        QTest::newRow("-5 to 9") << QStringLiteral("-5") << QStringLiteral("9") << QString() << 15;
        QTest::newRow("-5 to -5") << QStringLiteral("-5") << QStringLiteral("-5") << QString() << 1;
        QTest::newRow("1 to 99999") << QStringLiteral("1") << QStringLiteral("99999") << settings::kOutOfRange << 20;
        QTest::newRow("99999 to 1") << QStringLiteral("99999") << QStringLiteral("1") << settings::kReversed << 20;
        QTest::newRow("-99999 to 1") << QStringLiteral("-99999") << QStringLiteral("1") << settings::kOutOfRange << 20;
        QTest::newRow("1e3 as the last") << QStringLiteral("1") << QStringLiteral("1e3") << QString() << 20;
        QTest::newRow("full-width digits") << QStringLiteral("\uFF12") << QStringLiteral("\uFF15") << QString() << 4;
        QTest::newRow("emoji") << QStringLiteral("😀") << QStringLiteral("5") << settings::kNotNumeric << 20;
    }

    void settingsRange_edgeTextMisjudged()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, message);
        QFETCH(int, words);
        GlVexM.wordFrom = 1;
        GlVexM.wordTo = 20;
        {
            setForm dlg(*m_core);
            dlg.show();
            dlg.Txt_Word_From->setText(from);
            dlg.txt_Word_To->setText(to);
            QTest::mouseClick(dlg.setSpeedOK, Qt::LeftButton);
            if (message.isEmpty())
                QCOMPARE(m_dialogs.notices, QStringList());
            else
                QCOMPARE(m_dialogs.notices, QStringList{settings::kMessageTitle + u'|' + message});
        }
        // The next game uses the range the dialog kept.
        m_core->Label3_Click();
        QVERIFY2(!m_core->screen.lbmessageVisible, qPrintable(m_core->screen.lbmessage));
        QCOMPARE(int(m_core->Label1.size()) - 1, words);
    }
};

QTEST_MAIN(TestUiBadInput)
#include "tst_ui_badinput.moc"
