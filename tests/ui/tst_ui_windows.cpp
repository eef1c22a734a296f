// SPDX-License-Identifier: GPL-3.0-or-later
// The small windows: settings dialog, word details, help, about and progress.
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "History.h"
#include "ProgressWindow.h"
#include "SettingsRules.h"
#include "TestSupport.h"
#include "Texts.h"
#include "Twips.h"
#include "WordListsDialog.h"
#include "frmAbout.h"
#include "setForm.h"

#include <QTextDocument>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {

enum class GameState { Stopped, Running, Paused };
enum class Leave { OkButton, CancelButton, CloseBox, Escape };
// The range typed, how the dialog is left, the message's text identifier (empty: none), the range
// then stored, the words the next game can let fall (empty: not started), and the word set chosen.
struct RangeRow {
    QString from, to;
    Leave how;
    std::optional<TextId> message;
    int storedFrom, storedTo;
    QString canFall, set = u"range"_s;
};

// The caption a control cuts off, or nothing. Wrapped labels and combo boxes (which elide and
// give the whole text as a tool tip) are left out.
QString cutText(const QWidget *w)
{
    const QFontMetrics metrics = w->fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(w); label && !label->wordWrap()) {
        QString shown = label->text();
        if (label->textFormat() == Qt::RichText || Qt::mightBeRichText(shown)) { // coloured pinyin: its text, not its tags
            QTextDocument document;
            document.setHtml(shown);
            shown = document.toPlainText();
        }
        for (const QString &line : shown.split(u'\n'))
            if (metrics.horizontalAdvance(line) > label->contentsRect().width())
                return label->text();
    } else if (const auto *button = qobject_cast<const QPushButton *>(w)) {
        if (metrics.horizontalAdvance(button->text().remove(u'&')) + 8 > button->width())
            return button->text();
    } else if (const auto *option = qobject_cast<const QAbstractButton *>(w)) { // radio buttons, check boxes
        if (option->sizeHint().width() > option->width())
            return option->text();
    } else if (const auto *group = qobject_cast<const QGroupBox *>(w)) {
        if (metrics.horizontalAdvance(group->title()) + 16 > group->width())
            return group->title();
    }
    return QString();
}

bool allOn(const GameCore &c) { return c.pictScroll.Enabled && c.CreatWord.Enabled && c.GaTime.Enabled; }
bool allOff(const GameCore &c) { return !c.pictScroll.Enabled && !c.CreatWord.Enabled && !c.GaTime.Enabled; }
// On the indicator: the button is wider than its caption.
void choose(QRadioButton *option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2)); }
void leave(Leave how, QDialog &dlg, QPushButton *ok, QPushButton *cancel = nullptr)
{
    switch (how) {
    case Leave::OkButton: QTest::mouseClick(ok, Qt::LeftButton); break;
    case Leave::CancelButton: QTest::mouseClick(cancel, Qt::LeftButton); break;
    case Leave::CloseBox: dlg.close(); break;
    case Leave::Escape: QTest::keyClick(&dlg, Qt::Key_Escape); break;
    }
}

} // namespace

Q_DECLARE_METATYPE(GameState)
Q_DECLARE_METATYPE(Leave)
Q_DECLARE_METATYPE(RangeRow)

class TestUiWindows : public QObject, GameFixture {
    Q_OBJECT

    DataPaths paths;

    void bringTo(GameState state)
    {
        if (state != GameState::Stopped)
            core->Label3_Click();
        if (state == GameState::Paused)
            core->Label7_Click();
        QVERIFY2(state == GameState::Running ? allOn(*core) : allOff(*core),
                 "fixture: the game is not in the state asked for");
    }

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        // Numbers below 1 too: the built dictionaries have none, a player's own may.
        const QList<DictionaryEntry> below{{0, u"零"_s, {}, {}, {}, {}}, {-3, u"负三"_s, {}, {}, {}, {}}};
        QList<DictionaryEntry> words = numberedEntries(50);
        words[6].hsk3 = u"7"_s; // w7
        const DictionaryEntry long_{52, u"了"_s, u"le"_s,
                                    u"aspect particle indicating action in the past or a change of state"_s, {}, {}};
        start({{2, words << DictionaryEntry{51, u"中国"_s, u"zhōng guó"_s, u"China"_s, u"1"_s, {}, u"2"_s} << long_
                         << below}},
              1, 50);
        folder->copyFromBuild({u"help01.bmp"_s});
        paths = folder->paths();
        history.file.open(paths.historyFile());
        history.lists.save(u"课本"_s, {{u"中国"_s, u"not this"_s, {}}, {u"外"_s, u"wài"_s, u"outside"_s}}, false);
    }
    void cleanup() { stop(); }

    // An opening shows the speed and range in force. The speed and the game come back before the range
    // is judged; a refused range keeps the dialog open, Cancel keeps it for the next opening, which shows
    // the edits and holds the game again. A range below 1 is accepted, but the draw never reaches those numbers.
    void settings_wrongStoredMessageOrEditsLost_data()
    {
        QTest::addColumn<RangeRow>("row");
        QTest::newRow("empty first") << RangeRow{"", "9", Leave::OkButton, tid::setForm_notNumeric, 1, 50, {}};
        QTest::newRow("500 to 400") << RangeRow{"500", "400", Leave::OkButton, tid::setForm_reversed, 1, 50, {}};
        QTest::newRow("2.5 to 3.5") << RangeRow{"2.5", "3.5", Leave::OkButton, {}, 2, 4, u"w2 w3 w4"_s};
        QTest::newRow("-5 to 9") << RangeRow{"-5", "9", Leave::OkButton, {}, -5, 9, u"w1 w2 w3 w4 w5 w6 w7 w8 w9"_s};
        QTest::newRow("beyond 16 bits") << RangeRow{"1", "40000", Leave::OkButton, tid::setForm_outOfRange, 1, 50, {}};
        QTest::newRow("Cancel button") << RangeRow{"20", "abc", Leave::CancelButton, {}, 1, 50, {}};
        QTest::newRow("own list: the range is not judged")
            << RangeRow{"x", "", Leave::OkButton, {}, 1, 50, u"中国 外"_s, u"list:课本"_s};
        QTest::newRow("Cancel keeps the set") << RangeRow{"1", "2", Leave::CancelButton, {}, 1, 50, {}, u"level:2"_s};
    }
    void settings_wrongStoredMessageOrEditsLost()
    {
        QFETCH(RangeRow, row);
        bringTo(GameState::Running);
        // w3 landed two days ago: due for review since yesterday; w4 landed a moment ago: due tomorrow.
        QVERIFY(history.games.record(sampleGame(wallClock.now - 2 * 86400000, 0, {u"w3"_s})));
        QVERIFY(history.games.record(sampleGame(wallClock.now - 60000, 0, {u"w4"_s})));
        setForm dlg(*core, paths);
        activate(dlg);
        QVERIFY2(allOff(*core), "the game runs while the dialog is open");
        QVERIFY(dlg.GaSpeed[1]->isChecked() && dlg.Txt_Word_From->text() == u"1"_s
                && dlg.txt_Word_To->text() == u"50"_s); // speed 8
        // The range, both standards' levels, the review, the list; each with its number of words.
        QStringList sets, counted;
        for (int i = 0; i < dlg.WordSetChoice->count(); ++i) {
            sets << dlg.WordSetChoice->itemData(i).toString();
            if (QStringList{u"level:1"_s, u"hsk3:2"_s, u"hsk3:7"_s, u"review"_s, u"list:课本"_s}.contains(sets.back()))
                counted << dlg.WordSetChoice->itemText(i);
        }
        QCOMPARE(sets, (QStringList{u"range"_s, u"level:1"_s, u"level:2"_s, u"level:3"_s, u"level:4"_s, u"level:5"_s,
                                    u"level:6"_s, u"hsk3:1"_s, u"hsk3:2"_s, u"hsk3:3"_s, u"hsk3:4"_s, u"hsk3:5"_s,
                                    u"hsk3:6"_s, u"hsk3:7"_s, u"review"_s, u"list:课本"_s}));
        QCOMPARE(counted,
                 (QStringList{u"HSK 2.0 1 级（1 个词组）"_s, u"HSK 3.0 2 级（1 个词组）"_s,
                              u"HSK 3.0 7–9 级（1 个词组）"_s, u"复习（1 个到期）"_s, u"词组表：课本（2 个词组）"_s}));
        choose(dlg.GaSpeed[4]);
        dlg.Txt_Word_From->setText(row.from);
        dlg.txt_Word_To->setText(row.to);
        dlg.WordSetChoice->setCurrentIndex(dlg.WordSetChoice->findData(row.set));
        QCOMPARE(dlg.Txt_Word_From->isEnabled(), row.set == u"range"_s);
        leave(row.how, dlg, dlg.setSpeedOK, dlg.setSpeedCancel);
        QCOMPARE(core->wordSet.value(), row.how == Leave::OkButton ? row.set : u"range"_s);
        const bool ok = row.how == Leave::OkButton, refused = row.message.has_value();
        QCOMPARE((QList<int>{GlVexM.speedLevel, core->pictScroll.Interval, core->CreatWord.Interval, GlVexM.wordFrom,
                             GlVexM.wordTo}),
                 (QList<int>{ok ? 2 : 8, ok ? 2000 : 8000, ok ? 1000 : 8000, row.storedFrom, row.storedTo}));
        QVERIFY2(allOn(*core), "the game did not come back");
        const QString title = text(tid::setForm_messageTitle, 2), message = refused ? text(*row.message, 2) : QString();
        QCOMPARE(dialogs.notices, refused ? QStringList{title + u'|' + message} : QStringList());
        if (refused) { // a message box closing hands the focus back: no second hold
            QWidget box;
            activate(box);
            activate(dlg);
            QVERIFY2(allOn(*core), "the dialog held the game again after its message");
        }
        QVERIFY2(dlg.isVisible() == refused && dlg.isUnloaded() == (ok && !refused),
                 "only a valid OK unloads; a refusal stays open");
        if (ok && !refused) {
            const setForm again(*core, paths);
            QVERIFY(again.GaSpeed[4]->isChecked() && again.Txt_Word_From->text() == QString::number(row.storedFrom));
            core->Label3_Click();
            QStringList canFall;
            for (size_t i = 1; i < core->Label1.size(); ++i)
                if (!core->Label1[i].Caption.isEmpty())
                    canFall << core->Label1[i].Caption;
            canFall.sort();
            QCOMPARE(canFall.join(u' '), row.canFall);
        }
        if (ok)
            return;
        activate(dlg);
        QVERIFY2(allOff(*core), "the second opening did not hold the game");
        QVERIFY(dlg.Txt_Word_From->text() == row.from && dlg.txt_Word_To->text() == row.to
                && dlg.GaSpeed[4]->isChecked());
    }

    // In every language, every visible control lies inside its parent and clear of its visible
    // siblings (the stored layout's rules and frames may touch by 2 px), and shows its caption whole.
    void layout_controlsOverlapStickOutOrCutText_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        for (const int language : {1, 2, 3})
            for (const char *w : {"setForm", "FrmDetail", "Frmhelp", "frmAbout", "WordListsDialog", "ProgressWindow"})
                QTest::newRow(qPrintable(u"%1, language %2"_s.arg(QLatin1String(w)).arg(language)))
                    << QString::fromLatin1(w) << language;
    }
    void layout_controlsOverlapStickOutOrCutText()
    {
        QFETCH(QString, window);
        QFETCH(int, language);
        GlVexM.languageCode = qint16(language);
        GlVexM.detailWord = u"中国"_s;
        setForm settings(*core, paths);
        FrmDetail detail(core->practice(), history.lists, nullptr, 2); // the one dictionary here
        Frmhelp help(paths);
        frmAbout about(*core);
        WordListsDialog lists(*core, paths, nullptr);
        ProgressWindow progress(*core, wallClock);
        QDialog *const dlg = window == u"setForm"_s          ? static_cast<QDialog *>(&settings)
                             : window == u"FrmDetail"_s      ? &detail
                             : window == u"Frmhelp"_s        ? static_cast<QDialog *>(&help)
                             : window == u"frmAbout"_s       ? static_cast<QDialog *>(&about)
                             : window == u"ProgressWindow"_s ? static_cast<QDialog *>(&progress)
                                                             : &lists;
        dlg->show();
        QStringList faults;
        const auto inner = [](const QWidget *w) { return w->geometry().adjusted(2, 2, -2, -2); };
        for (const QWidget *w : dlg->findChildren<QWidget *>()) {
            if (!w->isVisible() || w->isWindow())
                continue;
            if (!w->parentWidget()->rect().contains(inner(w)))
                faults << w->metaObject()->className() + u" sticks out of "_s
                              + w->parentWidget()->metaObject()->className();
            for (const QWidget *sibling : w->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (sibling != w && sibling->isVisible() && !sibling->isWindow() && inner(w).intersects(inner(sibling)))
                    faults << u"%1 \"%2\" overlaps %3"_s.arg(w->metaObject()->className(), w->objectName(),
                                                             sibling->metaObject()->className());
            if (const QString cut = cutText(w); !cut.isEmpty())
                faults << u"\"%1\" is cut off"_s.arg(cut);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // A window opened over a running game holds it and gives it back however it is left; holding is not pausing.
    void holding_gameNotHeldOrNotResumed_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<GameState>("state");
        QTest::addColumn<Leave>("how");
        QTest::newRow("settings, paused, close box") << u"setForm"_s << GameState::Paused << Leave::CloseBox;
        QTest::newRow("settings, stopped, OK") << u"setForm"_s << GameState::Stopped << Leave::OkButton;
        QTest::newRow("about, running, close box") << u"frmAbout"_s << GameState::Running << Leave::CloseBox;
        QTest::newRow("progress, running, Close") << u"ProgressWindow"_s << GameState::Running << Leave::OkButton;
        QTest::newRow("progress, running, Escape") << u"ProgressWindow"_s << GameState::Running << Leave::Escape;
    }
    void holding_gameNotHeldOrNotResumed()
    {
        QFETCH(QString, window);
        QFETCH(GameState, state);
        QFETCH(Leave, how);
        bringTo(state);
        const bool paused = GlVexM.isPaused;
        setForm settings(*core, paths);
        frmAbout about(*core);
        ProgressWindow progress(*core, wallClock);
        HoldingDialog &dlg = window == u"setForm"_s    ? settings
                             : window == u"frmAbout"_s ? static_cast<HoldingDialog &>(about)
                                                       : progress;
        activate(dlg);
        QVERIFY2(allOff(*core), "the game runs while the window is open");
        leave(how, dlg,
              window == u"setForm"_s    ? settings.setSpeedOK
              : window == u"frmAbout"_s ? about.Command1
                                        : progress.closeButton);
        QVERIFY(!dlg.isVisible());
        QVERIFY2(state == GameState::Running ? allOn(*core) : allOff(*core), "the game is not back as it was");
        QVERIFY2(!dlg.stoppedTimers, "the dialog still owes the game a restart");
        QCOMPARE(GlVexM.isPaused, paused);
    }

    void detail_wrongEntryShownOrMarkerLeft_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("entry"); // the word, its pinyin and English
        QTest::addColumn<QString>("levels");
        QTest::addColumn<Leave>("how");
        QTest::newRow("known word, button")
            << u"中国"_s << u"中国 zhōng guó China"_s << u"HSK 2.0 1 级，HSK 3.0 2 级"_s << Leave::OkButton;
        QTest::newRow("in the band 7-9 only") << u"w7"_s << u"w7 py7 en7"_s << u"HSK 3.0 7–9 级"_s << Leave::CloseBox;
        QTest::newRow("a gloss longer than a line, close box")
            << u"了"_s << u"了 le aspect particle indicating action in the past or a change of state"_s
            << u"不在 HSK 词表中"_s << Leave::CloseBox;
        QTest::newRow("in no HSK list") << u"w8"_s << u"w8 py8 en8"_s << u"不在 HSK 词表中"_s << Leave::OkButton;
        QTest::newRow("own word: its list's pinyin") << u"外"_s << u"外 wài outside"_s << QString() << Leave::OkButton;
        QTest::newRow("injection finds nothing, Escape")
            << u"' or 1=1 --"_s << u"' or 1=1 --  "_s << QString() << Leave::Escape;
    }
    void detail_wrongEntryShownOrMarkerLeft()
    {
        QFETCH(QString, word);
        QFETCH(Leave, how);
        GlVexM.detailWord = word;
        FrmDetail detail(core->practice(), history.lists);
        QTEST(detail.Txt_cz->text() + u' ' + detail.Txt_py->text() + u' ' + detail.Txt_yw->text(), "entry");
        QTEST(detail.Levels->text(), "levels");
        QVERIFY2(detail.Txt_yw->heightForWidth(detail.Txt_yw->width()) <= detail.Txt_yw->height(),
                 "the English is cut off");
        detail.show();
        leave(how, detail, detail.Command1);
        QVERIFY(!detail.isVisible());
        QVERIFY2(GlVexM.detailWord.isEmpty(), qPrintable(u"detailWord left as "_s + GlVexM.detailWord));
    }
};

QTEST_MAIN(TestUiWindows)
#include "tst_ui_windows.moc"
