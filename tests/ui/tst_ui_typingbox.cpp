// SPDX-License-Identifier: GPL-3.0-or-later
#include "InputMethodProbe.h"
#include "TypingBox.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace trenix;
using namespace Qt::StringLiterals;

namespace {

void sendIm(QWidget *box, const QString &preedit, const QString &commit = {})
{
    QInputMethodEvent event(preedit, {{QInputMethodEvent::Cursor, int(preedit.size()), 1}});
    event.setCommitString(commit);
    QApplication::sendEvent(box, &event);
}

// One delivered event. Keys the input method swallows are simply not sent.
using Step = std::function<void(QWidget *box)>;
using Script = QList<Step>;
const auto press = [](int key) -> Step { return [=](QWidget *b) { QTest::keyPress(b, Qt::Key(key)); }; };
const auto release = [](int key) -> Step { return [=](QWidget *b) { QTest::keyRelease(b, Qt::Key(key)); }; };
const auto preedit = [](const QString &t) -> Step { return [=](QWidget *b) { sendIm(b, t); }; };
const auto commit = [](const QString &t) -> Step { return [=](QWidget *b) { sendIm(b, {}, t); }; };
const Step focusAwayAndBack = [](QWidget *b) {
    b->nextInFocusChain()->setFocus();
    b->setFocus();
};

} // namespace

Q_DECLARE_METATYPE(Script)

class TestUiTypingBox : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    TypingBox *m_box = nullptr;

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_box = new TypingBox(m_window.get());
        new QLineEdit(m_window.get()); // where the focus goes away to
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        m_box->setFocus(Qt::OtherFocusReason);
        QVERIFY2(m_box->hasFocus(), "the test window could not give the typing box the focus");
    }

    // A miss turns the box red for a moment, then gives it its colour back.
    void flash_neverShownOrNeverOver()
    {
        const QColor base = m_box->palette().color(QPalette::Base);
        m_box->flash(30);
        QCOMPARE((QList<bool>{m_box->flashing(), m_box->palette().color(QPalette::Base) == base}),
                 (QList<bool>{true, false}));
        QTRY_COMPARE(m_box->palette().color(QPalette::Base), base);
    }

    void release_imSwallowedPressCountedOrCleanPressLost_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QList<int>>("counted"); // game codes of the Enter/Space releases passed on
        QTest::addColumn<QString>("entry");
        const QString ni = u"nihao"_s, word = u"你好"_s;
        const int enter = Qt::Key_Return;
        QTest::newRow("fcitx5: Enter press swallowed, commit raw letters, release")
            << Script{preedit(u"n"_s), preedit(ni), commit(ni), release(enter)} << QList<int>{} << ni;
        QTest::newRow("ibus: Space press swallowed picks the candidate, release")
            << Script{preedit(ni), commit(word), release(Qt::Key_Space)} << QList<int>{} << word;
        QTest::newRow("rollover: next word's composition opens before Enter comes up")
            << Script{commit(word), press(enter), preedit(u"w"_s), release(enter)} << QList<int>{13} << word;
        QTest::newRow("Enter pressed and released during a composition")
            << Script{preedit(u"ni"_s), press(enter), preedit(ni), release(enter)} << QList<int>{} << QString();
        QTest::newRow("clean Space press forgotten when a composition ends before its release")
            << Script{press(Qt::Key_Space), preedit(u"w"_s), commit(u"我"_s), release(Qt::Key_Space)} << QList<int>{}
            << u" 我"_s;
        QTest::newRow("a commit without a composition keeps the clean press")
            << Script{press(enter), commit(word), release(enter)} << QList<int>{13} << word;
        QTest::newRow("plain Enter and Space, no input method")
            << Script{press(enter), release(enter), press(Qt::Key_Space), release(Qt::Key_Space)} << QList<int>{13, 32}
            << u" "_s;
        QTest::newRow("press here, focus away and back, release from a swallowed press")
            << Script{press(enter), focusAwayAndBack, release(enter)} << QList<int>{} << QString();
    }
    void release_imSwallowedPressCountedOrCleanPressLost()
    {
        QFETCH(Script, script);
        QFETCH(QList<int>, counted);
        QFETCH(QString, entry);
        QSignalSpy spy(m_box, &TypingBox::keyReleased);
        for (const Step &step : script)
            step(m_box);
        QList<int> got;
        for (const QList<QVariant> &args : spy)
            got << args.at(0).toInt();
        QCOMPARE(got, counted);
        QCOMPARE(m_box->text(), entry);
    }

    // Leaving the box commits an open composition into the entry, unless the
    // box has the focus back before the queued look.
    void focusOut_compositionLostOrCommittedWhileBack()
    {
        sendIm(m_box, u"ni"_s);
        focusAwayAndBack(m_box);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m_box->preedit(), u"ni"_s);
        QCOMPARE(m_box->text(), QString());
        m_box->nextInFocusChain()->setFocus();
        QCoreApplication::sendPostedEvents();
        QVERIFY(!m_box->composing());
        QCOMPARE(m_box->text(), u"ni"_s);
    }

    void settleAndSetEntry_compositionLostOrDoubled()
    {
        m_box->setText(u"ab"_s);
        sendIm(m_box, u"nihao"_s);
        m_box->settleComposition();
        QVERIFY(!m_box->composing());
        QCOMPARE(m_box->text(), u"abnihao"_s);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m_box->text(), u"abnihao"_s);
        QSignalSpy spy(m_box, &TypingBox::keyReleased); // a plain Enter counts, as with no composition at all
        QTest::keyClick(m_box, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);

        sendIm(m_box, u"w"_s); // the next word begins before the game clears the entry
        m_box->setEntry(QString());
        QCOMPARE(m_box->text(), QString());
        QCOMPARE(m_box->preedit(), u"w"_s);
        sendIm(m_box, {}, u"我"_s); // the composition goes on where the entry now ends
        QCOMPARE(m_box->text(), u"我"_s);
    }

    // Whether Chinese can be typed: the input context Qt takes on each platform, and whether its daemon runs.
    void inputMethod_missedOrWronglySeen_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("processes"); // "?": they cannot be listed
        QTest::addColumn<bool>("running");
        const QStringList both{u"ibus-daemon"_s, u"fcitx5"_s};
        const auto row = [](const char *name, const char *platform, const char *module, const QStringList &seen,
                            bool running) {
            QTest::newRow(name) << QString::fromLatin1(platform) << QString::fromLatin1(module) << seen << running;
        };
        row("offscreen", "offscreen", "ibus", both, false);
        row("Wayland: the compositor's", "wayland-egl", "", {}, true);
        row("X11, none named: compose", "xcb", "", both, false);
        row("X11, compose", "xcb", "compose", both, false);
        row("X11, ibus running", "xcb", "IBus", {u"ibus-daemon"_s}, true);
        row("X11, ibus not running", "xcb", "ibus", {u"fcitx5"_s}, false);
        row("X11, fcitx without its Qt plugin", "xcb", "fcitx", both, false);
        row("X11, ibus, processes unknown", "xcb", "ibus", {u"?"_s}, true);
        row("X11, another with its plugin", "xcb", "qtvirtualkeyboard", {}, true);
    }
    void inputMethod_missedOrWronglySeen()
    {
        QFETCH(QString, platform);
        QFETCH(QString, module);
        QFETCH(QStringList, processes);
        const std::optional<QStringList> listed =
            processes == QStringList{u"?"_s} ? std::nullopt : std::optional(processes);
        const QStringList plugins{u"compose"_s, u"ibus"_s, u"qtvirtualkeyboard"_s};
        QTEST(chineseInputRunning(platform, module, plugins, listed), "running");
    }
};

QTEST_MAIN(TestUiTypingBox)
#include "tst_ui_typingbox.moc"
