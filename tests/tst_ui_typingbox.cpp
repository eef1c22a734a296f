// The typing box under the key and input-method event orders that fcitx5 and
// ibus deliver: which Enter and Space releases reach the game, and that an open
// composition is shown, placed and never lost.
#include "TypingBox.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace trenix;

namespace {

// One delivered event. Keys the input method swallows are simply not sent.
struct Step {
    enum Kind { Press, Release, RepeatPress, Preedit, Commit, FocusAway, FocusBack } kind;
    int key = 0;
    QString text;
};
using Script = QList<Step>;

Step press(int key) { return {Step::Press, key, {}}; }
Step release(int key) { return {Step::Release, key, {}}; }
Step repeatPress(int key) { return {Step::RepeatPress, key, {}}; }
Step preedit(const QString &text) { return {Step::Preedit, 0, text}; }
Step commit(const QString &text) { return {Step::Commit, 0, text}; }
Step focusAway() { return {Step::FocusAway, 0, {}}; }
Step focusBack() { return {Step::FocusBack, 0, {}}; }

void sendPreedit(QWidget *box, const QString &text, int cursor)
{
    QList<QInputMethodEvent::Attribute> attributes;
    attributes << QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, cursor, 1);
    QInputMethodEvent event(text, attributes);
    QApplication::sendEvent(box, &event);
}

void sendCommit(QWidget *box, const QString &text)
{
    QInputMethodEvent event; // an empty preedit closes the composition
    event.setCommitString(text);
    QApplication::sendEvent(box, &event);
}

QImage shot(QWidget *w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

} // namespace

Q_DECLARE_METATYPE(Script)

class TestUiTypingBox : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void release_imSwallowedPressCountedOrCleanPressLost_data();
    void release_imSwallowedPressCountedOrCleanPressLost();
    void preedit_notShownOrLeaksIntoEntry();
    void candidateWindow_notAtCaret_data();
    void candidateWindow_notAtCaret();
    void settle_compositionLostOrDoubled_data();
    void settle_compositionLostOrDoubled();
    void focusChange_compositionLostOrDoubled_data();
    void focusChange_compositionLostOrDoubled();
    void setEntry_compositionDroppedOrEntryNotReplaced_data();
    void setEntry_compositionDroppedOrEntryNotReplaced();

private:
    void run(const Script &script);

    std::unique_ptr<QWidget> m_window;
    TypingBox *m_box = nullptr;
    QLineEdit *m_other = nullptr;
};

void TestUiTypingBox::init()
{
    m_window = std::make_unique<QWidget>();
    auto *layout = new QVBoxLayout(m_window.get());
    m_box = new TypingBox(m_window.get());
    m_other = new QLineEdit(m_window.get());
    layout->addWidget(m_box);
    layout->addWidget(m_other);
    m_window->resize(300, 100);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    m_box->setFocus(Qt::OtherFocusReason);
    QVERIFY2(m_box->hasFocus(), "the test window could not give the typing box the focus");
}

void TestUiTypingBox::cleanup()
{
    m_window.reset();
    m_box = nullptr;
    m_other = nullptr;
}

void TestUiTypingBox::run(const Script &script)
{
    for (const Step &s : script) {
        switch (s.kind) {
        case Step::Press:
            QTest::keyPress(m_box, Qt::Key(s.key));
            break;
        case Step::RepeatPress: {
            QKeyEvent event(QEvent::KeyPress, s.key, Qt::NoModifier,
                            s.key == Qt::Key_Space ? QStringLiteral(" ") : QString(), true);
            QApplication::sendEvent(m_box, &event);
            break;
        }
        case Step::Release:
            QTest::keyRelease(m_box, Qt::Key(s.key));
            break;
        case Step::Preedit:
            sendPreedit(m_box, s.text, int(s.text.size()));
            break;
        case Step::Commit:
            sendCommit(m_box, s.text);
            break;
        case Step::FocusAway:
            m_other->setFocus(Qt::TabFocusReason);
            break;
        case Step::FocusBack:
            m_box->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void TestUiTypingBox::release_imSwallowedPressCountedOrCleanPressLost_data()
{
    QTest::addColumn<Script>("script");
    QTest::addColumn<QList<int>>("counted"); // game codes of the Enter/Space releases passed on
    QTest::addColumn<QString>("entry");

    const QString ni = QStringLiteral("nihao");
    const QString word = QStringLiteral("你好");
    QTest::newRow("no composition: Enter press and release")
        << Script{press(Qt::Key_Return), release(Qt::Key_Return)} << QList<int>{13} << QString();
    QTest::newRow("no composition: keypad Enter")
        << Script{press(Qt::Key_Enter), release(Qt::Key_Enter)} << QList<int>{13} << QString();
    QTest::newRow("no composition: Space press and release")
        << Script{press(Qt::Key_Space), release(Qt::Key_Space)} << QList<int>{32} << QStringLiteral(" ");
    QTest::newRow("fcitx5: Enter press swallowed, commit raw letters, release")
        << Script{preedit(QStringLiteral("n")), preedit(ni), commit(ni), release(Qt::Key_Return)}
        << QList<int>{} << ni;
    QTest::newRow("fcitx5: release delivered before the commit")
        << Script{preedit(ni), release(Qt::Key_Return), commit(ni)} << QList<int>{} << ni;
    QTest::newRow("ibus: Space press swallowed picks the candidate, release")
        << Script{preedit(ni), commit(word), release(Qt::Key_Space)} << QList<int>{} << word;
    QTest::newRow("ibus: held Space after picking, repeats reach the box")
        << Script{preedit(ni), commit(word), repeatPress(Qt::Key_Space), repeatPress(Qt::Key_Space),
                  release(Qt::Key_Space)}
        << QList<int>{} << word + QStringLiteral("  ");
    QTest::newRow("candidate picked, then a plain Enter submits")
        << Script{preedit(ni), commit(word), release(Qt::Key_Space), press(Qt::Key_Return),
                  release(Qt::Key_Return)}
        << QList<int>{13} << word;
    QTest::newRow("Enter press passed on while composing")
        << Script{preedit(ni), press(Qt::Key_Return), release(Qt::Key_Return)} << QList<int>{} << QString();
    QTest::newRow("rollover: next word's composition opens before Enter comes up")
        << Script{commit(word), press(Qt::Key_Return), preedit(QStringLiteral("w")), release(Qt::Key_Return)}
        << QList<int>{13} << word;
    QTest::newRow("clean press whose release the input method took, then a swallowed press")
        << Script{press(Qt::Key_Return), preedit(ni), commit(word), release(Qt::Key_Return)}
        << QList<int>{} << word;
    QTest::newRow("press here, focus away and back, release from a swallowed press")
        << Script{press(Qt::Key_Return), focusAway(), focusBack(), release(Qt::Key_Return)}
        << QList<int>{} << QString();
    QTest::newRow("message box took the press, release lands in the box")
        << Script{focusAway(), focusBack(), release(Qt::Key_Return)} << QList<int>{} << QString();
}

void TestUiTypingBox::release_imSwallowedPressCountedOrCleanPressLost()
{
    QFETCH(Script, script);
    QFETCH(QList<int>, counted);
    QFETCH(QString, entry);

    QSignalSpy spy(m_box, &TypingBox::keyReleased);
    run(script);
    QList<int> got;
    for (const QList<QVariant> &args : spy) {
        const int code = args.at(0).toInt();
        if (code == 13 || code == 32)
            got << code;
    }
    QCOMPARE(got, counted);
    QCOMPARE(m_box->text(), entry);
}

void TestUiTypingBox::preedit_notShownOrLeaksIntoEntry()
{
    m_box->setText(QStringLiteral("ab"));
    // Same caret place, different preedit: only the drawn preedit differs.
    sendPreedit(m_box, QStringLiteral("n"), 0);
    const QImage shortPreedit = shot(m_box);
    sendPreedit(m_box, QStringLiteral("nihao"), 0);
    QVERIFY(m_box->composing());
    QCOMPARE(m_box->text(), QStringLiteral("ab"));
    QVERIFY2(shot(m_box) != shortPreedit, "the open composition is not drawn in the typing box");
    QCOMPARE(m_box->inputMethodQuery(Qt::ImEnabled).toBool(), true);
}

void TestUiTypingBox::candidateWindow_notAtCaret_data()
{
    QTest::addColumn<int>("cursor");
    QTest::newRow("caret after two letters") << 2;
    QTest::newRow("caret at the end") << 5;
}

void TestUiTypingBox::candidateWindow_notAtCaret()
{
    QFETCH(int, cursor);
    m_box->setText(QStringLiteral("ab"));
    sendPreedit(m_box, QStringLiteral("nihao"), 0);
    const QRect atStart = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    sendPreedit(m_box, QStringLiteral("nihao"), cursor);
    const QRect at = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    QVERIFY2(at.left() > atStart.left(),
             qPrintable(QStringLiteral("caret rectangle %1 does not follow the preedit caret (start %2)")
                            .arg(at.left()).arg(atStart.left())));
    QVERIFY2(m_box->rect().contains(at.center()), "the candidate window would open away from the box");
}

void TestUiTypingBox::settle_compositionLostOrDoubled_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("open");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<QString>("expected");

    QTest::newRow("open composition while focused") << "ab" << "nihao" << true << "abnihao";
    QTest::newRow("open composition, focus elsewhere") << "ab" << "nihao" << false << "abnihao";
    QTest::newRow("nothing open") << "ab" << "" << true << "ab";
}

void TestUiTypingBox::settle_compositionLostOrDoubled()
{
    QFETCH(QString, entry);
    QFETCH(QString, open);
    QFETCH(bool, focused);
    QFETCH(QString, expected);

    m_box->setText(entry);
    if (!open.isEmpty())
        sendPreedit(m_box, open, int(open.size()));
    if (!focused) {
        m_other->setFocus(Qt::OtherFocusReason);
        // The composition is still open until queued work runs.
    }
    m_box->settleComposition();
    QVERIFY(!m_box->composing());
    QCOMPARE(m_box->text(), expected);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(m_box->text(), expected);

    // A later plain Enter still counts.
    m_box->setFocus(Qt::OtherFocusReason);
    QSignalSpy spy(m_box, &TypingBox::keyReleased);
    QTest::keyClick(m_box, Qt::Key_Return);
    QCOMPARE(spy.count(), 1);
}

void TestUiTypingBox::focusChange_compositionLostOrDoubled_data()
{
    QTest::addColumn<bool>("imCommitsOnFocusChange");
    QTest::newRow("input method commits itself (fcitx5)") << true;
    QTest::newRow("no input method answers") << false;
}

void TestUiTypingBox::focusChange_compositionLostOrDoubled()
{
    QFETCH(bool, imCommitsOnFocusChange);
    m_box->setText(QStringLiteral("ab"));
    sendPreedit(m_box, QStringLiteral("nihao"), 5);
    QMetaObject::Connection imStandIn;
    if (imCommitsOnFocusChange) {
        // Like fcitx5, commit to the object that had the focus, after the focus-out.
        imStandIn = connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *) {
            if (old == m_box && m_box->composing())
                sendCommit(m_box, m_box->preedit());
        });
    }
    m_other->setFocus(Qt::MouseFocusReason);
    QCoreApplication::sendPostedEvents();
    disconnect(imStandIn);
    QVERIFY(!m_box->composing());
    QCOMPARE(m_box->text(), QStringLiteral("abnihao"));
}

void TestUiTypingBox::setEntry_compositionDroppedOrEntryNotReplaced_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("newEntry");

    QTest::newRow("cleared while the next word is composed") << "你好" << "w" << "";
    QTest::newRow("replaced while composing") << "你好" << "wo" << "x";
    QTest::newRow("cleared with nothing open") << "你好" << "" << "";
    QTest::newRow("unchanged with composition") << "你好" << "w" << "你好";
}

void TestUiTypingBox::setEntry_compositionDroppedOrEntryNotReplaced()
{
    QFETCH(QString, entry);
    QFETCH(QString, open);
    QFETCH(QString, newEntry);

    m_box->setText(entry);
    if (!open.isEmpty())
        sendPreedit(m_box, open, int(open.size()));
    m_box->setEntry(newEntry);
    QCOMPARE(m_box->text(), newEntry);
    QCOMPARE(m_box->preedit(), open);
    // The composition goes on where the entry now ends.
    if (!open.isEmpty()) {
        sendCommit(m_box, QStringLiteral("我"));
        QCOMPARE(m_box->text(), newEntry + QStringLiteral("我"));
    }
}

QTEST_MAIN(TestUiTypingBox)
#include "tst_ui_typingbox.moc"
