// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls: where each one stands and how it looks.
#include "GLVex.h"

#include "Fonts.h"
#include "FrmDetail.h"
#include "Frmhelp.h"
#include "History.h"
#include "InterfaceLanguage.h"
#include "KeyBindings.h"
#include "LanguageChoice.h"
#include "PlayField.h"
#include "PlayerSettings.h"
#include "ProgressWindow.h"
#include "SoundPlayer.h"
#include "Startup.h"
#include "Texts.h"
#include "Twips.h"
#include "TypingBox.h"
#include "frmAbout.h"
#include "setForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>

namespace trenix {

namespace {
const QColor kTeal(0x00, 0x40, 0x40);     // 0x00404000
const QColor kRed(0xFF, 0x00, 0x00);      // 0x000000FF
const QColor kHintBlue(0x00, 0x00, 0xC0); // 0x00C00000

QLabel *makeLabel(QWidget *parent, double l, double t, double w, double h, const QFont &font)
{
    auto *label = new QLabel(parent);
    Twips::place(label, l, t, w, h);
    label->setFont(font);
    return label;
}

QLabel *makeFigure(QWidget *parent, double l, double t, double w, double h)
{
    QLabel *label = makeLabel(parent, l, t, w, h, uiFont({QStringLiteral("Arial")}, 18, QFont::Bold));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kRed);
    label->setPalette(pal);
    label->setText(QStringLiteral("0"));
    return label;
}

void fill(QWidget *w, const QColor &color)
{
    w->setAutoFillBackground(true);
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
}

// The word that ended the game, drawn whole where it rests: on the pile, above
// the field's top edge, over the title band.
class EndWordMark : public QWidget {
public:
    EndWordMark(PlayField *field, QWidget *parent) : QWidget(parent), m_field(field)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        m_field->drawWord(p, rect(), accessibleName(), true);
    }

private:
    PlayField *m_field;
};

// The tool strip's background picture.
class ToolStrip : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor(0xF4, 0xF7, 0xF7));
        g.setColorAt(1, QColor(0xC9, 0xD8, 0xD8));
        p.fillRect(rect(), g);
        p.setPen(QColor(0x7A, 0x9A, 0x9A));
        p.drawLine(0, height() - 1, width(), height() - 1);
    }
};
} // namespace

// ---------------------------------------------------------------------------

CommandLabel::CommandLabel(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont({QStringLiteral("Arial Black")}, 10.5, QFont::Black));
    setAttribute(Qt::WA_Hover);
}

void CommandLabel::setCaption(const QString &text)
{
    m_text = text;
    setAccessibleName(text);
    // Grow to the caption so that no language gets clipped.
    const int needed = fontMetrics().horizontalAdvance(text) + 4;
    if (needed > width())
        resize(needed, height());
    update();
}

void CommandLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(m_hover ? QColor(0xB0, 0x30, 0x00) : QColor(0x10, 0x30, 0x30));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop, m_text); // one baseline for all commands
}

void CommandLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    event->accept();
}

// ---------------------------------------------------------------------------

void GLVex::buildControls()
{
    setFont(uiFont({QStringLiteral("Arial")}, 14.25));
    setFixedSize(Twips::px(11745), Twips::px(7950));

    auto *frame4 = new QFrame(this);
    Twips::place(frame4, 60, 480, 11625, 675);
    fill(frame4, kTeal);
    auto *frame3 = new QFrame(this);
    Twips::place(frame3, 3360, 480, 5115, 675);
    fill(frame3, kTeal);
    lbtitle = makeLabel(frame3, 360, 0, 4395, 585, uiFont({QStringLiteral("Arial Black")}, 24, QFont::Black));
    lbtitle->setAlignment(Qt::AlignCenter);
    lbtitle->setStyleSheet(QStringLiteral("color: white; background: transparent;"));

    auto *picture1 = new ToolStrip(this);
    Twips::place(picture1, 0, 0, 11655, 435);
    auto command = [&](CommandLabel *&label, double l, double t, double w, double h, void (GLVex::*handler)()) {
        label = new CommandLabel(picture1);
        Twips::place(label, l, t, w, h);
        connect(label, &CommandLabel::clicked, this, [this, handler] { (this->*handler)(); });
    };
    command(Label3, 2370, 60, 1275, 345, &GLVex::Label3_Click);
    command(Label7, 4170, 60, 1185, 315, &GLVex::Label7_Click);
    command(Label8, 5880, 60, 1185, 285, &GLVex::Label8_Click);
    command(Label9, 7590, 60, 1095, 315, &GLVex::Label9_Click);
    command(Label10, 9270, 60, 1035, 315, &GLVex::Label10_Click);
    command(Label11, 10920, 60, 645, 345, &GLVex::Label11_Click);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label7->setObjectName(QStringLiteral("Label7"));
    Label8->setObjectName(QStringLiteral("Label8"));
    Label9->setObjectName(QStringLiteral("Label9"));
    Label10->setObjectName(QStringLiteral("Label10"));
    Label11->setObjectName(QStringLiteral("Label11"));
    command(Label12, 660, 60, 1275, 345, &GLVex::Label12_Click); // the strip's free left part
    Label12->setObjectName(QStringLiteral("Label12"));

    GamePict = new PlayField(this);
    GamePict->setObjectName(QStringLiteral("GamePict"));
    Twips::place(GamePict, 60, 1170, 11625, 5835);
    connect(GamePict, &PlayField::wordClicked, this, &GLVex::Label1_Click);
    endWordMark = new EndWordMark(GamePict, this);
    endWordMark->setObjectName(QStringLiteral("endWordMark"));

    auto *frame1 = new QFrame(this);
    Twips::place(frame1, 3600, 1200, 4305, 75);
    fill(frame1, palette().color(QPalette::Inactive, QPalette::Mid));
    frame1->stackUnder(GamePict); // never over the falling words

    lbmessage = makeLabel(this, 60, 7050, 11625, 315, uiFont({QStringLiteral("Arial")}, 10.5, QFont::Bold));
    lbmessage->setObjectName(QStringLiteral("lbmessage"));
    lbmessage->setAutoFillBackground(true);
    {
        QPalette pal = lbmessage->palette();
        pal.setColor(QPalette::Window, palette().color(QPalette::Button));
        pal.setColor(QPalette::WindowText, kRed);
        lbmessage->setPalette(pal);
    }
    lbmessage->hide();

    auto *frame2 = new QFrame(this);
    Twips::place(frame2, 0, 7290, 11715, 645);
    frame2->setFrameShape(QFrame::NoFrame);
    frame2->lower();

    TxT = new TypingBox(frame2);
    TxT->setObjectName(QStringLiteral("TxT"));
    Twips::place(TxT, 0, 180, 2115, 465);
    TxT->setFont(uiFont({QStringLiteral("Arial Black")}, 14.25, QFont::Black));
    connect(TxT, &TypingBox::keyReleased, this, &GLVex::TxT_KeyUp);
    connect(TxT, &TypingBox::focusLost, this, [this](Qt::FocusReason reason) {
        // Losing the focus to another program is not ours to undo.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, this, &GLVex::TxT_LostFocus);
    });
    connect(TxT, &QLineEdit::textChanged, this, [this](const QString &text) { m_core.screen.TxT = text; });

    Label2 = makeLabel(frame2, 2310, 390, 2025, 285, uiFont({QStringLiteral("Arial")}, 9));
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    {
        QPalette pal = Label2->palette();
        pal.setColor(QPalette::WindowText, kHintBlue);
        Label2->setPalette(pal);
    }
    const QFont captionFont = uiFont({QStringLiteral("Arial")}, 12);
    Label6 = makeLabel(frame2, 4650, 300, 615, 285, captionFont);
    lbsd = makeFigure(frame2, 5280, 240, 1065, 345);
    Label5 = makeLabel(frame2, 6420, 300, 735, 285, captionFont);
    lbzql = makeFigure(frame2, 7230, 240, 1365, 345);
    Label4 = makeLabel(frame2, 8730, 300, 495, 285, captionFont);
    lbfs = makeFigure(frame2, 9240, 240, 735, 345);
    lblTime = makeLabel(frame2, 10170, 300, 525, 285, captionFont);
    timeDisplay = makeFigure(frame2, 10710, 240, 615, 345);
    for (QLabel *caption : {Label6, Label5, Label4, lblTime})
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbsd->setObjectName(QStringLiteral("lbsd"));
    lbzql->setObjectName(QStringLiteral("lbzql"));
    lbfs->setObjectName(QStringLiteral("lbfs"));
    timeDisplay->setObjectName(QStringLiteral("timeDisplay"));

    lblSpeed = makeLabel(frame2, 30, 300, 525, 255, captionFont);
    lblSpeed->hide();
    // A red bar beside the typing box while paused; inside it, it would hide what is typed.
    lblPause = makeLabel(frame2, 2160, 180, 90, 465, uiFont({QStringLiteral("Arial")}, 7, QFont::Bold));
    lblPause->setObjectName(QStringLiteral("lblPause"));
    fill(lblPause, kRed);
    lblPause->setAttribute(Qt::WA_TransparentForMouseEvents);
    lblPause->hide();

    correctStatus = makeLabel(this, 2550, 2190, 1335, 255, uiFont({QStringLiteral("Arial")}, 9));
    speedStatus = makeLabel(this, 1320, 2340, 1035, 195, uiFont({QStringLiteral("Tahoma")}, 9));
    for (QLabel *status : {correctStatus, speedStatus}) {
        status->setAttribute(Qt::WA_TransparentForMouseEvents);
        status->setAttribute(Qt::WA_TranslucentBackground);
    }

    pictScroll.setObjectName(QStringLiteral("pictScroll"));
    CreatWord.setObjectName(QStringLiteral("CreatWord"));
    GaTime.setObjectName(QStringLiteral("GaTime"));
    connect(&pictScroll, &QTimer::timeout, this, &GLVex::pictScroll_Timer);
    connect(&CreatWord, &QTimer::timeout, this, &GLVex::CreatWord_Timer);
    connect(&GaTime, &QTimer::timeout, this, &GLVex::GaTime_Timer);
}

void GLVex::layoutStatusRow()
{
    // Captions and figures keep their places while their texts fit; a longer
    // text widens its box to the left and moves what stands left of it, so no
    // figure is ever cut off. The input hint gives up the room.
    struct Item {
        QLabel *label;
        double left, top, width, height;
        const char *least = ""; // the text a game shows at its start: the row must not move then
    };
    const Item row[] = {
        {Label6, 4650, 300, 615, 285},   {lbsd, 5280, 240, 1065, 345},
        {Label5, 6420, 300, 735, 285},   {lbzql, 7230, 240, 1365, 345},
        {Label4, 8730, 300, 495, 285},   {lbfs, 9240, 240, 735, 345},
        {lblTime, 10170, 300, 525, 285}, {timeDisplay, 10710, 240, 615, 345, "000"},
    };
    constexpr int kPad = 6;
    int limit = Twips::rect(row[7].left, 0, row[7].width, 0).right() + 1; // right edge of the row
    for (int i = 7; i >= 0; --i) {
        const Item &item = row[i];
        const QRect laid = Twips::rect(item.left, item.top, item.width, item.height);
        const QFontMetrics metrics = item.label->fontMetrics();
        const int needed = std::max(metrics.horizontalAdvance(item.label->text()),
                                    metrics.horizontalAdvance(QLatin1String(item.least)))
                           + kPad;
        const int width = std::max(laid.width(), needed);
        const int right = std::min(laid.right() + 1, limit);
        item.label->setGeometry(right - width, laid.y(), width, laid.height());
        const double gap = i > 0 ? item.left - (row[i - 1].left + row[i - 1].width) : 315; // 315: hint to Label6
        limit = right - width - Twips::px(gap);
    }
    const QRect hint = Twips::rect(2310, 390, 2025, 285);
    Label2->setGeometry(hint.x(), hint.y(), std::max(0, std::min(hint.width(), limit - hint.x())), hint.height());
}

} // namespace trenix
