// The texts added beside the looked-up captions: present in every language of
// the generated language store, fixed texts where a store lacks them, and the
// shortcut keys as the help pages list them.
#include "EntryFeedback.h"
#include "SettingsRules.h"
#include "Shortcuts.h"
#include "TestSupport.h"
#include "Texts.h"

#include <QFile>
#include <QTest>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {
// The placeholders each format text must keep.
int argCount(const QString &id)
{
    if (id == textid::kBuried || id == textid::kNoWords)
        return 2;
    for (const QString &one : {textid::kNotOnField, textid::kStartFailed, textid::kLanguageNotSaved,
                               textid::kHelpCannotShow, textid::kHelpUnreadable})
        if (id == one)
            return 1;
    return 0;
}
} // namespace

class TestTexts : public QObject {
    Q_OBJECT
    std::unique_ptr<ProgramFolder> m_folder;

private slots:
    void init()
    {
        resetAll(nullptr, nullptr, nullptr);
        m_folder = std::make_unique<ProgramFolder>();
        m_folder->copyFromBuild({QLatin1String(kLanguageFile)});
        m_folder->install();
    }
    void cleanup() { m_folder.reset(); resetModuleVariables(); GlVexM.programFolder.clear(); }

    void generatedStore_textMissingOrPlaceholderLost_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << u"1"_s;
        QTest::newRow("simplified") << u"2"_s;
        QTest::newRow("traditional") << u"3"_s;
    }
    void generatedStore_textMissingOrPlaceholderLost()
    {
        QFETCH(QString, language);
        QStringList ids(textid::kAll.begin(), textid::kAll.end());
        for (const Shortcut &s : shortcutTable())
            ids << s.tipId;
        for (const QString &id : std::as_const(ids)) {
            const QString text = GetLanguageText(id, language);
            QVERIFY2(!text.isEmpty(), qPrintable(id + u" has no text in language "_s + language));
            for (int i = 1; i <= argCount(id); ++i)
                QVERIFY2(text.contains(u'%' + QString::number(i)), qPrintable(id + u" lost %"_s + QString::number(i)));
        }
    }

    void storeWithoutTexts_fixedTextNotShown()
    {
        m_folder->makeLanguageStore({{textid::kBuried, u"2"_s, u"《%1》被压住了"_s},   // lost its %2
                                     {textid::kNotOnField, u"2"_s, u"不在游戏区中"_s}}); // lost its %1
        GlVexM.languageCode = 2;
        EntryVerdict buried{EntryVerdict::Kind::Buried, u"低"_s, u"高"_s, 3};
        QCOMPARE(feedbackMessage(buried), u"《低》 is buried under 《高》"_s);
        QCOMPARE(feedbackMessage({EntryVerdict::Kind::NotOnField, u"%2x"_s, {}, 0}), u"《%2x》 is not on the field"_s);
        QCOMPARE(feedbackMessage({EntryVerdict::Kind::Hit, u"a"_s, {}, 0}), QString());
        QCOMPARE(textOr(textid::kSettingsTitle, settings::kMessageTitle), settings::kMessageTitle);
        QCOMPARE(textOr(textid::kNotNumeric, settings::kNotNumeric), settings::kNotNumeric);
    }

    // A key bound twice fires neither command; a key the help pages do not name
    // is one the player never learns.
    void shortcuts_keyBoundTwiceOrMissingFromHelp()
    {
        QStringList seen;
        for (const Shortcut &s : shortcutTable()) {
            QVERIFY(!s.keys.isEmpty());
            for (const QString &key : s.keys) {
                QVERIFY2(!seen.contains(key, Qt::CaseInsensitive), qPrintable(key + u" is bound twice"_s));
                seen << key;
            }
        }
        for (int language = 1; language <= 3; ++language) {
            QFile page(u"%1/data/help/%2/help02.txt"_s.arg(QStringLiteral(TRENIX_SOURCE_DIR)).arg(language));
            QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
            const QString text = QString::fromUtf8(page.readAll());
            for (const QString &key : std::as_const(seen))
                QVERIFY2(text.contains(key), qPrintable(page.fileName() + u" does not name "_s + key));
        }
    }
};

QTEST_GUILESS_MAIN(TestTexts)
#include "tst_texts.moc"
