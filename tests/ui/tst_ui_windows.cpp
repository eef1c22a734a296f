// SPDX-License-Identifier: GPL-3.0-or-later
// The small windows: settings dialog, word details, help (its pages missing or damaged), about and progress;
// the main window's close box keeping the game.
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "GLVex.h"
#include "PlayField.h"
#include "ProgressWindow.h"
#include "SettingsRules.h"
#include "TestSupport.h"
#include "Twips.h"
#include "TypingBox.h"
#include "WordListsDialog.h"
#include "frmAbout.h"
#include "setForm.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

using namespace trenix;
using namespace trenix::test;
using namespace Qt::StringLiterals;

namespace {

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
// give the whole text as a tool tip) are left out; a label's size hint measures rich text as shown.
QString cutText(const QWidget *w)
{
    const QFontMetrics metrics = w->fontMetrics();
    if (const auto *button = qobject_cast<const QPushButton *>(w))
        return metrics.horizontalAdvance(button->text().remove(u'&')) + 8 > button->width() ? button->text()
                                                                                            : QString();
    if (const auto *group = qobject_cast<const QGroupBox *>(w))
        return metrics.horizontalAdvance(group->title()) + 16 > group->width() ? group->title() : QString();
    const auto *label = qobject_cast<const QLabel *>(w);
    const auto *option = qobject_cast<const QAbstractButton *>(w); // radio buttons, check boxes
    const QString caption = label && !label->wordWrap() ? label->text() : option ? option->text() : QString();
    return !caption.isEmpty() && w->sizeHint().width() > w->width() ? caption : QString();
}

bool allOn(const GameCore &c) { return c.pictScroll.Enabled && c.CreatWord.Enabled && c.GaTime.Enabled; }
bool allOff(const GameCore &c) { return !c.pictScroll.Enabled && !c.CreatWord.Enabled && !c.GaTime.Enabled; }
// On the indicator: the button is wider than its caption.
void choose(QRadioButton *option) { QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2)); }
void leave(Leave how, QDialog &dlg) // every window's OK or Close is its default button
{
    const QList<QPushButton *> buttons = dlg.findChildren<QPushButton *>();
    if (how == Leave::CloseBox)
        dlg.close();
    else if (how == Leave::Escape)
        QTest::keyClick(&dlg, Qt::Key_Escape);
    else
        QTest::mouseClick(how == Leave::OkButton ? *std::ranges::find_if(buttons, &QPushButton::isDefault)
                                                 : dlg.findChild<QPushButton *>(u"setSpeedCancel"_s),
                          Qt::LeftButton);
}

// The interface language, the label clicked after another one, a help file spoiled with these
// bytes (null: removed), and the file then shown (empty: a notice naming the page and the file).
struct HelpRow {
    int language, label;
    QString spoiled;
    QByteArray content;
    QString shown;
};
enum class Button { None, ClearNo, ClearYes, Export };
// One game per entry, each half a minute into its day: a period begins at midnight.
struct ProgressRow {
    QList<int> daysAgo;
    int period;
    int points;
    Button button;
    bool byDay = false;
};
} // namespace

Q_DECLARE_METATYPE(RangeRow)
Q_DECLARE_METATYPE(HelpRow)
Q_DECLARE_METATYPE(ProgressRow)

class TestUiWindows : public QObject, GameFixture {
    Q_OBJECT

    DataPaths paths;

    std::unique_ptr<QWidget> open(const QString &window)
    {
        if (window == u"setForm"_s)
            return std::make_unique<setForm>(*core, paths);
        if (window == u"FrmDetail"_s)
            return std::make_unique<FrmDetail>(core->practice(), history.lists);
        if (window == u"Frmhelp"_s)
            return std::make_unique<Frmhelp>(paths);
        if (window == u"frmAbout"_s)
            return std::make_unique<frmAbout>(*core);
        if (window == u"ProgressWindow"_s)
            return std::make_unique<ProgressWindow>(*core, wallClock);
        if (window == u"GLVex"_s)
            return std::make_unique<GLVex>(Services{clock, wallClock, random, dialogs, paths, history});
        return std::make_unique<WordListsDialog>(*core, paths, nullptr);
    }

private slots:
    void initTestCase() { Twips::setDpiForTesting(96); }
    void init()
    {
        // Numbers below 1 too: the built dictionaries have none, a player's own may.
        const QList<DictionaryEntry> below{{0, u"零"_s, {}, {}, {}, {}}, {-3, u"负三"_s, {}, {}, {}, {}}};
        QList<DictionaryEntry> words = numberedEntries(50);
        words[6].hsk3 = u"7"_s; // w7
        const DictionaryEntry long_{
            52, u"了"_s, u"le"_s, u"aspect particle indicating action in the past or a change of state"_s, {}, {}};
        words << DictionaryEntry{51, u"中国"_s, u"zhōng guó"_s, u"China"_s, u"1"_s, {}, u"2"_s} << long_ << below;
        start({{1, words}, {2, words}, {3, words}, {9, words}}, 1, 50); // 9: a language without texts
        for (int i = 1; i <= Frmhelp::kPages; ++i)
            folder->copyFromBuild({u"help0%1.bmp"_s.arg(i)});
        folder->copyFromBuild({u"help01-1.bmp"_s});
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
        QTest::newRow("own list: the range is not judged")
            << RangeRow{"x", "", Leave::OkButton, {}, 1, 50, u"中国 外"_s, u"list:课本"_s};
        QTest::newRow("Cancel button keeps the set")
            << RangeRow{"20", "abc", Leave::CancelButton, {}, 1, 50, {}, u"level:2"_s};
    }
    void settings_wrongStoredMessageOrEditsLost()
    {
        QFETCH(RangeRow, row);
        core->Label3_Click();
        setForm dlg(*core, paths);
        activate(dlg);
        // The range, six levels of HSK 2.0, seven of HSK 3.0, the review, the list; some with their words counted.
        QCOMPARE(dlg.WordSetChoice->count(), 16);
        QStringList counted;
        for (const int i : {13, 15})
            counted << dlg.WordSetChoice->itemData(i).toString() + u' ' + dlg.WordSetChoice->itemText(i);
        QCOMPARE(counted,
                 (QStringList{u"hsk3:7 HSK 3.0 7–9 级（1 个词组）"_s, u"list:课本 词组表：课本（2 个词组）"_s}));
        choose(dlg.GaSpeed[4]);
        dlg.Txt_Word_From->setText(row.from);
        dlg.txt_Word_To->setText(row.to);
        dlg.WordSetChoice->setCurrentIndex(dlg.WordSetChoice->findData(row.set));
        QCOMPARE(dlg.Txt_Word_From->isEnabled(), row.set == u"range"_s);
        leave(row.how, dlg);
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
        // Only a valid OK unloads; a refusal stays open.
        QCOMPARE((QList<bool>{dlg.isVisible(), dlg.isUnloaded()}), (QList<bool>{refused, ok && !refused}));
        if (ok && !refused) {
            const setForm again(*core, paths); // the speed and range in force
            QVERIFY(again.GaSpeed[4]->isChecked());
            QCOMPARE((QStringList{again.Txt_Word_From->text(), again.txt_Word_To->text()}),
                     (QStringList{QString::number(row.storedFrom), QString::number(row.storedTo)}));
            core->Label3_Click();
            QStringList canFall = captions();
            canFall.removeAll(QString());
            canFall.sort();
            QCOMPARE(canFall.join(u' '), row.canFall);
        }
        if (ok)
            return;
        activate(dlg);
        QVERIFY2(allOff(*core), "the second opening did not hold the game");
        QVERIFY(dlg.GaSpeed[4]->isChecked());
        QCOMPARE((QStringList{dlg.Txt_Word_From->text(), dlg.txt_Word_To->text()}), (QStringList{row.from, row.to}));
    }

    // In every language, every visible control lies inside its parent and clear of its visible
    // siblings (the stored layout's rules and frames may touch by 2 px), and shows its caption whole.
    // The main window: its status row with figures at their widest (seconds, hits, entries) and its words.
    // A window that holds the game gives it back as it was however it is left; holding is not pausing.
    void opened_controlsOverlapCutTextOrGameNotGivenBack_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("language");
        for (const int language : {1, 2, 3, 9})
            for (const char *w :
                 {"setForm", "FrmDetail", "Frmhelp", "frmAbout", "WordListsDialog", "ProgressWindow", "GLVex"})
                QTest::newRow(qPrintable(u"%1, language %2"_s.arg(QLatin1String(w)).arg(language)))
                    << QString::fromLatin1(w) << language;
    }
    void opened_controlsOverlapCutTextOrGameNotGivenBack()
    {
        QFETCH(QString, window);
        QFETCH(int, language);
        const bool paused = language == 9;
        const Leave how = language == 1 ? Leave::OkButton : language == 2 ? Leave::Escape : Leave::CloseBox;
        core->Label3_Click();
        if (paused)
            core->Label7_Click();
        GlVexM.languageCode = qint16(language);
        GlVexM.detailWord = u"中国"_s;
        const std::unique_ptr<QWidget> dlg = open(window);
        QWidget *checked = dlg.get(), *yields = nullptr; // the main window's input hint gives up its room
        QStringList faults;
        if (auto *w = qobject_cast<GLVex *>(checked)) {
            QCOMPARE(w->Label3->caption(), text(tid::GLVex_label3, language == 9 ? 1 : language));
            w->Label3_Click();
            const QFontMetrics wordFont(w->GamePict->wordFont());
            for (size_t i = 1; i < w->core().Label1.size(); ++i)
                if (const QRect word = w->GamePict->wordRect(int(i));
                    !w->GamePict->rect().contains(word)
                    || word.width() < wordFont.horizontalAdvance(w->core().Label1[i].Caption))
                    faults << w->core().Label1[i].Caption + u" is cut off or sticks out of the field"_s;
            const qint64 play[][3] = {{61, 9999, 5000}, {99999, 9999, 9999}, {1013, 400, 450}}; // by language % 3
            const qint64 *figures = play[language % 3];
            w->core().rightCount = figures[1];
            w->core().inputCount = figures[2];
            clock.advance(figures[0] * 1000);
            w->GaTime_Timer();
            QCOMPARE(w->timeDisplay->text(), QString::number(figures[0]));
            checked = w->TxT->parentWidget();
            yields = w->Label2;
        }
        dlg->show();
        const auto inner = [](const QWidget *w) { return w->geometry().adjusted(2, 2, -2, -2); };
        for (const QWidget *w : checked->findChildren<QWidget *>()) {
            if (!w->isVisible() || w->isWindow())
                continue;
            if (!w->parentWidget()->rect().contains(inner(w)))
                faults << w->metaObject()->className() + u" sticks out of "_s
                              + w->parentWidget()->metaObject()->className();
            for (const QWidget *sibling : w->parentWidget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (sibling != w && sibling->isVisible() && !sibling->isWindow() && inner(w).intersects(inner(sibling)))
                    faults << u"%1 \"%2\" overlaps %3"_s.arg(w->metaObject()->className(), w->objectName(),
                                                             sibling->metaObject()->className());
            if (const QString cut = cutText(w); !cut.isEmpty() && w != yields)
                faults << u"\"%1\" is cut off"_s.arg(cut);
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
        auto *held = qobject_cast<HoldingDialog *>(dlg.get());
        if (!held)
            return;
        QVERIFY2(allOff(*core), "the game runs while the window is open");
        activate(*held);
        leave(how, *held);
        QVERIFY2(paused ? allOff(*core) : allOn(*core), "the game is not back as it was");
        QCOMPARE(GlVexM.detailWord.isEmpty(), window == u"FrmDetail"_s); // the detail window's marker goes with it
        QVERIFY2(!held->stoppedTimers, "the dialog still owes the game a restart");
        QCOMPARE(GlVexM.isPaused, paused);
    }

    void detail_wrongEntryShown_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("entry"); // the word, its pinyin and English
        QTest::addColumn<QString>("levels");
        QTest::newRow("known word") << u"中国"_s << u"中国 zhōng guó China"_s << u"HSK 2.0 1 级，HSK 3.0 2 级"_s;
        QTest::newRow("in the band 7-9 only") << u"w7"_s << u"w7 py7 en7"_s << u"HSK 3.0 7–9 级"_s;
        QTest::newRow("a gloss longer than a line, in no HSK list")
            << u"了"_s << u"了 le aspect particle indicating action in the past or a change of state"_s
            << u"不在 HSK 词表中"_s;
        QTest::newRow("own word: its list's pinyin") << u"外"_s << u"外 wài outside"_s << QString();
        QTest::newRow("injection finds nothing") << u"' or 1=1 --"_s << u"' or 1=1 --  "_s << QString();
    }
    void detail_wrongEntryShown()
    {
        QFETCH(QString, word);
        GlVexM.detailWord = word;
        const FrmDetail detail(core->practice(), history.lists);
        QTEST(detail.Txt_cz->text() + u' ' + detail.Txt_py->text() + u' ' + detail.Txt_yw->text(), "entry");
        QTEST(detail.Levels->text(), "levels");
        QVERIFY2(detail.Txt_yw->heightForWidth(detail.Txt_yw->width()) <= detail.Txt_yw->height(),
                 "the English is cut off");
    }

    void help_wrongPageShownOrWithoutNotice_data()
    {
        QTest::addColumn<HelpRow>("row");
        QFile f(QStringLiteral(TRENIX_BIN_DIR "/help03.bmp"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray whole = f.readAll();
        const QString three = u"help03.bmp"_s;
        QTest::newRow("English page") << HelpRow{1, 0, {}, {}, u"help01-1.bmp"_s};
        QTest::newRow("damaged traditional page") << HelpRow{3, 0, u"help01-3.bmp"_s, "BM broken", u"help01.bmp"_s};
        QTest::newRow("missing first page") << HelpRow{2, 0, u"help01.bmp"_s, {}, {}};
        QTest::newRow("not a picture") << HelpRow{2, 2, three, "BM this is no bitmap", {}};
        QTest::newRow("header only") << HelpRow{2, 2, three, whole.left(54), {}};
        QTest::newRow("one byte short") << HelpRow{2, 2, three, whole.chopped(1), {}};
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
        Frmhelp help(paths); // opens at the first page
        QCOMPARE((QList<bool>{help.currentPage() == 1, help.Label1[0]->isCurrent(), help.pictureShown()}),
                 (QList<bool>{true, true, row.spoiled != u"help01.bmp"_s}));
        help.show();
        const int other = (row.label + 1) % Frmhelp::kPages; // a click that loads nothing is caught
        help.Label1_Click(other);
        QTest::mouseClick(help.Label1[size_t(row.label)], Qt::LeftButton);
        QCOMPARE((QList<qsizetype>{help.currentPage(), std::ranges::count_if(help.Label1, &HelpPageLabel::isCurrent),
                                   help.Label1[size_t(row.label)]->isCurrent()}),
                 (QList<qsizetype>{row.label + 1, 1, 1})); // the page and its label alone highlighted
        QCOMPARE(help.Picture1->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 shown); // none of a damaged page or the one before
        const QString notice = help.Picture1->text(), name = u"help0%1.bmp"_s.arg(row.label + 1);
        QCOMPARE((QList<bool>{notice.contains(name), notice.isEmpty()}),
                 (QList<bool>{row.shown.isEmpty(), !row.shown.isEmpty()}));
        help.Label1_Click(other); // another page shows again, without the notice
        QCOMPARE((QList<bool>{help.pictureShown(), help.Picture1->text().isEmpty()}), (QList<bool>{true, true}));
    }

    void window_chartTablesOrButtonsWrong_data()
    {
        QTest::addColumn<ProgressRow>("row");
        QTest::newRow("no game") << ProgressRow{{}, 2, 0, Button::None};
        QTest::newRow("twelve games, all days, cleared")
            << ProgressRow{{0, 0, 1, 2, 3, 5, 8, 13, 21, 34, 55, 400}, 2, 12, Button::ClearYes};
        QTest::newRow("last 7 days, clearing answered No") << ProgressRow{{0, 0, 1, 6, 7, 30}, 0, 4, Button::ClearNo};
        QTest::newRow("last 30 days, exported") << ProgressRow{{0, 0, 1, 6, 7, 29, 30}, 1, 6, Button::Export};
        QTest::newRow("last 7 days by day: two games today are one point")
            << ProgressRow{{0, 0, 1, 6, 7, 30}, 0, 3, Button::None, true};
    }
    void window_chartTablesOrButtonsWrong()
    {
        QFETCH(ProgressRow, row);
        wallClock.now = QDateTime::fromString(u"2026-06-15T10:00:00Z"_s, Qt::ISODate).toMSecsSinceEpoch();
        for (int d : row.daysAgo) { // the oldest game, over HSK 3.0's band, also lost w2: missed once, after w1
            GameRecord g = sampleGame(wallClock.now - qint64(d) * 86400000 - 36000000 + 30000, 3600,
                                      d == row.daysAgo.last() ? QStringList{u"w2"_s, u"w1"_s} : QStringList{u"w1"_s});
            g.selection = d == row.daysAgo.last() ? u"hsk3:7"_s : g.selection;
            QVERIFY(history.games.record(g));
        }
        ProgressWindow window(*core, wallClock);
        window.period->setCurrentIndex(row.period);
        window.grouping->setCurrentIndex(row.byDay ? 1 : 0);
        const int games = int(row.daysAgo.size());
        QCOMPARE((QList<int>{
                     int(window.speedSeries->count()), int(window.accuracySeries->count() + window.bestSeries->count()),
                     window.games->text().toInt(), window.recentTable->rowCount(), window.missedTable->rowCount()}),
                 (QList<int>{row.points, row.points * (row.byDay ? 2 : 1), games, games, games ? 2 : 0}));
        if (games) {
            QCOMPARE(window.missedTable->item(0, 2)->text() + window.missedTable->item(1, 2)->text(),
                     u"en1en2"_s); // most missed first, English from the dictionary
            QStringList newest;
            for (int c = 0; c < window.recentTable->columnCount(); ++c)
                newest << window.recentTable->item(0, c)->text();
            QCOMPARE(newest, (QStringList{"2026-06-15 01:00", "60", "3.0", "75.0%", "3", "4", "1",
                                          "词组范围 1–5"})); // local time then
            QCOMPARE(window.recentTable->item(games - 1, 7)->text(), u"HSK 3.0 7–9 级"_s);
        }
        dialogs.answers = {row.button == Button::ClearYes};
        dialogs.savePath = folder->file(u"games.csv"_s);
        if (row.button != Button::None)
            QTest::mouseClick(row.button == Button::Export ? window.exportButton : window.clearButton, Qt::LeftButton);
        const bool cleared = row.button == Button::ClearYes, exported = row.button == Button::Export;
        QCOMPARE((QList<qint64>{history.games.summary(0).games, window.speedSeries->count(), dialogs.questions.size(),
                                QFile::exists(dialogs.savePath)}),
                 (QList<qint64>{cleared ? 0 : games, cleared ? 0 : row.points, row.button == Button::ClearNo || cleared,
                                exported}));
        QVERIFY(!exported || window.notice->text().contains(dialogs.savePath));
    }
};

QTEST_MAIN(TestUiWindows)
#include "tst_ui_windows.moc"
