// SPDX-License-Identifier: GPL-3.0-or-later
#include "InputMethodProbe.h"
#include "TypingBox.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace trenix;

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
Step press(int key)
{
    return [=](QWidget *b) { QTest::keyPress(b, Qt::Key(key)); };
}
Step release(int key)
{
    return [=](QWidget *b) { QTest::keyRelease(b, Qt::Key(key)); };
}
Step preedit(const QString &t)
{
    return [=](QWidget *b) { sendIm(b, t); };
}
Step commit(const QString &t)
{
    return [=](QWidget *b) { sendIm(b, {}, t); };
}
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
        QVERIFY(m_box->flashing() && m_box->palette().color(QPalette::Base) != base);
        QTRY_COMPARE(m_box->palette().color(QPalette::Base), base);
    }

    void release_imSwallowedPressCountedOrCleanPressLost_data()
    {
        QTest::addColumn<Script>("script");
        QTest::addColumn<QList<int>>("counted"); // game codes of the Enter/Space releases passed on
        QTest::addColumn<QString>("entry");
        const QString ni = QStringLiteral("nihao"), word = QStringLiteral("你好");
        const int enter = Qt::Key_Return;
        QTest::newRow("fcitx5: Enter press swallowed, commit raw letters, release")
            << Script{preedit(QStringLiteral("n")), preedit(ni), commit(ni), release(enter)} << QList<int>{} << ni;
        QTest::newRow("ibus: Space press swallowed picks the candidate, release")
            << Script{preedit(ni), commit(word), release(Qt::Key_Space)} << QList<int>{} << word;
        QTest::newRow("rollover: next word's composition opens before Enter comes up")
            << Script{commit(word), press(enter), preedit(QStringLiteral("w")), release(enter)} << QList<int>{13}
            << word;
        QTest::newRow("Enter pressed and released during a composition")
            << Script{preedit(QStringLiteral("ni")), press(enter), preedit(ni), release(enter)} << QList<int>{}
            << QString();
        QTest::newRow("clean Space press forgotten when a composition ends before its release")
            << Script{press(Qt::Key_Space), preedit(QStringLiteral("w")), commit(QStringLiteral("我")),
                      release(Qt::Key_Space)}
            << QList<int>{} << QStringLiteral(" 我");
        QTest::newRow("a commit without a composition keeps the clean press")
            << Script{press(enter), commit(word), release(enter)} << QList<int>{13} << word;
        QTest::newRow("plain Enter and Space, no input method")
            << Script{press(enter), release(enter), press(Qt::Key_Space), release(Qt::Key_Space)} << QList<int>{13, 32}
            << QStringLiteral(" ");
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
        sendIm(m_box, QStringLiteral("ni"));
        focusAwayAndBack(m_box);
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m_box->preedit(), QStringLiteral("ni"));
        QCOMPARE(m_box->text(), QString());
        m_box->nextInFocusChain()->setFocus();
        QCoreApplication::sendPostedEvents();
        QVERIFY(!m_box->composing());
        QCOMPARE(m_box->text(), QStringLiteral("ni"));
    }

    void settleAndSetEntry_compositionLostOrDoubled()
    {
        m_box->setText(QStringLiteral("ab"));
        sendIm(m_box, QStringLiteral("nihao"));
        m_box->settleComposition();
        QVERIFY(!m_box->composing());
        QCOMPARE(m_box->text(), QStringLiteral("abnihao"));
        QCoreApplication::sendPostedEvents();
        QCOMPARE(m_box->text(), QStringLiteral("abnihao"));
        QSignalSpy spy(m_box, &TypingBox::keyReleased); // a plain Enter counts, as with no composition at all
        QTest::keyClick(m_box, Qt::Key_Return);
        QCOMPARE(spy.count(), 1);

        sendIm(m_box, QStringLiteral("w")); // the next word begins before the game clears the entry
        m_box->setEntry(QString());
        QCOMPARE(m_box->text(), QString());
        QCOMPARE(m_box->preedit(), QStringLiteral("w"));
        sendIm(m_box, {}, QStringLiteral("我")); // the composition goes on where the entry now ends
        QCOMPARE(m_box->text(), QStringLiteral("我"));
    }

    // Whether Chinese can be typed: the input context Qt takes on each platform, and whether its daemon runs.
    void inputMethod_missedOrWronglySeen_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("module");
        QTest::addColumn<QStringList>("processes"); // "?": they cannot be listed
        QTest::addColumn<bool>("running");
        const QStringList both{QStringLiteral("ibus-daemon"), QStringLiteral("fcitx5")};
        QTest::newRow("offscreen") << "offscreen" << "ibus" << both << false;
        QTest::newRow("Wayland: the compositor's") << "wayland-egl" << "" << QStringList() << true;
        QTest::newRow("X11, none named: compose") << "xcb" << "" << both << false;
        QTest::newRow("X11, compose") << "xcb" << "compose" << both << false;
        QTest::newRow("X11, ibus running") << "xcb" << "IBus" << QStringList{QStringLiteral("ibus-daemon")} << true;
        QTest::newRow("X11, ibus not running") << "xcb" << "ibus" << QStringList{QStringLiteral("fcitx5")} << false;
        QTest::newRow("X11, fcitx without its Qt plugin") << "xcb" << "fcitx" << both << false;
        QTest::newRow("X11, ibus, processes unknown") << "xcb" << "ibus" << QStringList{QStringLiteral("?")} << true;
        QTest::newRow("X11, another with its plugin") << "xcb" << "qtvirtualkeyboard" << QStringList() << true;
    }
    void inputMethod_missedOrWronglySeen()
    {
        QFETCH(QString, platform);
        QFETCH(QString, module);
        QFETCH(QStringList, processes);
        const std::optional<QStringList> listed =
            processes == QStringList{QStringLiteral("?")} ? std::nullopt : std::optional(processes);
        const QStringList plugins{QStringLiteral("compose"), QStringLiteral("ibus"), QStringLiteral("qtvirtualkeyboard")};
        QTEST(chineseInputRunning(platform, module, plugins, listed), "running");
    }
};

QTEST_MAIN(TestUiTypingBox)
#include "tst_ui_typingbox.moc"
