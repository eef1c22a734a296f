// SPDX-License-Identifier: GPL-3.0-or-later
#include "InputMethodProbe.h"
#include "TypingBox.h"

#include <QApplication>
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
using Step = std::function<void(TypingBox *box)>;
using Script = QList<Step>;
const auto press = [](int key) -> Step { return [=](TypingBox *b) { QTest::keyPress(b, Qt::Key(key)); }; };
const auto release = [](int key) -> Step { return [=](TypingBox *b) { QTest::keyRelease(b, Qt::Key(key)); }; };
const auto preedit = [](const QString &t) -> Step { return [=](TypingBox *b) { sendIm(b, t); }; };
const auto commit = [](const QString &t) -> Step { return [=](TypingBox *b) { sendIm(b, {}, t); }; };
const auto away = [](TypingBox *b) { b->nextInFocusChain()->setFocus(); };
const Step focusAwayAndBack = [](TypingBox *b) {
    away(b);
    b->setFocus();
};
const Step posted = [](TypingBox *) { QCoreApplication::sendPostedEvents(); }; // the box's queued look
const Step settle = [](TypingBox *b) { b->settleComposition(); };
const auto setEntry = [](const QString &t) -> Step { return [=](TypingBox *b) { b->setEntry(t); }; };

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
    }

    // A miss turns the box red for a moment, then gives it its colour back.
    void flash_neverShownOrNeverOver()
    {
        const QColor base = m_box->palette().color(QPalette::Base);
        m_box->flash(30);
        QCOMPARE_NE(m_box->palette().color(QPalette::Base), base);
        QTRY_COMPARE(m_box->palette().color(QPalette::Base), base);
    }

    void release_imSwallowedPressCountedOrCleanPressLost_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QList<int>>("counted"); // game codes of the Enter/Space releases passed on
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("composition"); // still open
        const QString ni = u"nihao"_s, word = u"你好"_s, none;
        const int enter = Qt::Key_Return;
        QTest::newRow("fcitx5: Enter press swallowed, commit raw letters, release")
            << Script{preedit(u"n"_s), preedit(ni), commit(ni), release(enter)} << QList<int>{} << ni << none;
        QTest::newRow("rollover: next word's composition opens before Enter comes up")
            << Script{commit(word), press(enter), preedit(u"w"_s), release(enter)} << QList<int>{13} << word << u"w"_s;
        QTest::newRow("Enter pressed and released during a composition")
            << Script{preedit(u"ni"_s), press(enter), preedit(ni), release(enter)} << QList<int>{} << none << ni;
        QTest::newRow("clean Space press forgotten when a composition ends before its release")
            << Script{press(Qt::Key_Space), preedit(u"w"_s), commit(u"我"_s), release(Qt::Key_Space)} << QList<int>{}
            << u" 我"_s << none;
        QTest::newRow("a commit without a composition keeps the clean press")
            << Script{press(enter), commit(word), release(enter)} << QList<int>{13} << word << none;
        QTest::newRow("press here, focus away and back, release from a swallowed press")
            << Script{press(enter), focusAwayAndBack, release(enter)} << QList<int>{} << none << none;
        QTest::newRow("leaving the box commits an open composition")
            << Script{preedit(u"ni"_s), away, posted} << QList<int>{} << u"ni"_s << none;
        QTest::newRow("back before the queued look: the composition stays open")
            << Script{preedit(u"ni"_s), focusAwayAndBack, posted} << QList<int>{} << none << u"ni"_s;
        QTest::newRow("settled once, then a plain Enter counts")
            << Script{setEntry(u"ab"_s), preedit(ni), settle, posted, press(enter), release(enter)} << QList<int>{13}
            << u"abnihao"_s << none;
        QTest::newRow("entry cleared while the next word's composition is open")
            << Script{setEntry(u"ab"_s), preedit(u"w"_s), setEntry(none)} << QList<int>{} << none << u"w"_s;
        QTest::newRow("the composition goes on where the cleared entry ends")
            << Script{setEntry(u"ab"_s), preedit(u"w"_s), setEntry(none), commit(u"我"_s)} << QList<int>{} << u"我"_s
            << none;
    }
    void release_imSwallowedPressCountedOrCleanPressLost()
    {
        QFETCH(Script, script);
        QList<int> got;
        connect(m_box, &TypingBox::keyReleased, this, [&got](int key) { got << key; });
        for (const Step &step : script)
            step(m_box);
        QTEST(got, "counted");
        QTEST(m_box->text(), "entry");
        QTEST(m_box->preedit(), "composition");
    }

    // Whether Chinese can be typed: the input context Qt takes on each platform, and whether its daemon runs.
    void inputMethod_missedOrWronglySeen_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("processes"); // "?": they cannot be listed
        QTest::addColumn<bool>("running");
        const QStringList both{u"ibus-daemon"_s, u"fcitx5"_s};
        QTest::newRow("Wayland: the compositor's") << u"wayland-egl"_s << QString() << QStringList() << true;
        QTest::newRow("X11, none named: compose") << u"xcb"_s << QString() << both << false;
        QTest::newRow("X11, ibus running") << u"xcb"_s << u"IBus"_s << QStringList{u"ibus-daemon"_s} << true;
        QTest::newRow("X11, ibus not running") << u"xcb"_s << u"ibus"_s << QStringList{u"fcitx5"_s} << false;
        QTest::newRow("X11, fcitx without its Qt plugin") << u"xcb"_s << u"fcitx"_s << both << false;
        QTest::newRow("X11, ibus, processes unknown") << u"xcb"_s << u"ibus"_s << QStringList{u"?"_s} << true;
        QTest::newRow("X11, another with its plugin") << u"xcb"_s << u"qtvirtualkeyboard"_s << QStringList() << true;
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
