// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrmDetail.h"

#include "Fonts.h"
#include "GlVexM.h"
#include "OwnLists.h"
#include "Pinyin.h"
#include "PracticeStore.h"
#include "Texts.h"
#include "ToneColours.h"
#include "Twips.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace trenix {

namespace {

constexpr double kGlossGrowth = 495; // twips: the English box holds three lines instead of one

QLineEdit *makeBox(QWidget *parent, double l, double t, double w, double h)
{
    auto *box = new QLineEdit(parent);
    Twips::place(box, l, t, w, h);
    // The boxes only display the entry; nothing reads them back.
    box->setReadOnly(true);
    box->setFont(uiFont({QStringLiteral("Arial")}, 10.5));
    return box;
}

// "HSK 2.0 level 2, HSK 3.0 level 1": what a learner meets the word in.
QString levelsText(const WordLevels &levels)
{
    QStringList names;
    if (levels.hsk2 > 0)
        names << levelName(WordSet::Kind::Level, levels.hsk2, GlVexM.languageCode);
    if (levels.hsk3 > 0)
        names << levelName(WordSet::Kind::Hsk3, levels.hsk3, GlVexM.languageCode);
    if (names.size() == 2)
        return text(tid::FrmDetail_levels).arg(names[0], names[1]);
    return names.isEmpty() ? text(tid::FrmDetail_noLevel) : names[0];
}

} // namespace

FrmDetail::FrmDetail(PracticeStore &practice, OwnLists &lists, QWidget *parent, int dictionaryLanguage,
                     bool toneColours)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    buildControls();
    try {
        Form_Load(practice, lists, dictionaryLanguage ? dictionaryLanguage : GlVexM.languageCode);
        if (toneColours)
            colourPinyin();
    } catch (...) {
        // The window never opens, so it cannot clear the marker itself;
        // the error itself goes on to the caller.
        Form_Unload();
        throw;
    }
}

FrmDetail::~FrmDetail() { Form_Unload(); }

void FrmDetail::buildControls()
{
    setObjectName(QStringLiteral("FrmDetail"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setFixedSize(Twips::px(3495), Twips::px(2910 + kGlossGrowth));
    setWindowTitle(QStringLiteral("詞組詳細信息"));

    Label1 = new QLabel(QStringLiteral("詞組:"), this);
    Twips::place(Label1, 150, 60, 2655, 270);
    Txt_cz = makeBox(this, 150, 330, 3195, 345);
    Txt_cz->setObjectName(QStringLiteral("Txt_cz"));
    Label2 = new QLabel(QStringLiteral("拼音:"), this);
    Twips::place(Label2, 150, 690, 2655, 240);
    Txt_py = makeBox(this, 150, 930, 3195, 345);
    Txt_py->setObjectName(QStringLiteral("Txt_py"));
    Label3 = new QLabel(QStringLiteral("英文:"), this);
    Twips::place(Label3, 150, 1290, 2655, 240);
    Txt_yw = new QLabel(this);
    Txt_yw->setObjectName(QStringLiteral("Txt_yw"));
    Levels = new QLabel(this);
    Levels->setObjectName(QStringLiteral("Levels"));
    Twips::place(Levels, 150, 1905 + kGlossGrowth, 3195, 240);
    Twips::place(Txt_yw, 150, 1530, 3195, 345 + kGlossGrowth);
    Txt_yw->setFont(uiFont({QStringLiteral("Arial")}, 10.5));
    Txt_yw->setWordWrap(true);
    Txt_yw->setTextFormat(Qt::PlainText);
    Txt_yw->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Txt_yw->setFrameShape(QFrame::StyledPanel);
    Txt_yw->setMargin(2);
    Txt_yw->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Txt_yw->setAutoFillBackground(true);
    Txt_yw->setBackgroundRole(QPalette::Base);

    auto *Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::HLine);
    Frame1->setFrameShadow(QFrame::Sunken);
    Twips::place(Frame1, 0, 2190 + kGlossGrowth, 3525, 30);

    Command1 = new QPushButton(QStringLiteral("返回"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Twips::place(Command1, 2070, 2340 + kGlossGrowth, 1185, 435);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    Command1->setFocus(Qt::OtherFocusReason);
}

void FrmDetail::Form_Load(PracticeStore &practice, OwnLists &lists, int dictionaryLanguage)
{
    const QString word = GlVexM.detailWord;
    if (const std::optional<DetailEntry> entry = practice.detail(dictionaryLanguage, word)) {
        Txt_cz->setText(entry->cz);
        Txt_py->setText(entry->py);
        Txt_yw->setText(entry->yw);
        Levels->setText(levelsText(practice.levels(dictionaryLanguage, word).value_or(WordLevels())));
    } else if (const std::optional<SetWord> own = lists.ownWord(word)) {
        // Not in the dictionary: what the player's own list says of it.
        Txt_cz->setText(own->word);
        Txt_py->setText(own->pinyin);
        Txt_yw->setText(own->english);
    } else {
        Txt_cz->setText(word);
    }
    // A word or pinyin longer than its box shows whole in the tool tip.
    for (QLineEdit *box : {Txt_cz, Txt_py}) {
        box->setCursorPosition(0);
        box->setToolTip(box->text());
    }
    Txt_yw->setToolTip(Txt_yw->text());

    setWindowTitle(text(tid::FrmDetail_caption));
    Label1->setText(text(tid::FrmDetail_Label1));
    Label2->setText(text(tid::FrmDetail_Label2));
    Label3->setText(text(tid::FrmDetail_Label3));
    Command1->setText(text(tid::FrmDetail_command1));
}

void FrmDetail::colourPinyin()
{
    const QList<PinyinSyllable> syllables = PinyinKey(Txt_py->text()).displaySyllables();
    if (syllables.isEmpty())
        return;
    QStringList spans;
    for (const PinyinSyllable &s : syllables)
        spans << QStringLiteral("<span style=\"color:%1\">%2</span>")
                     .arg(toneColour(s.tone).name(), s.text.toHtmlEscaped());
    // A line edit has one colour; a label in its place shows each syllable in its own.
    colouredPinyin = new QLabel(this);
    colouredPinyin->setObjectName(QStringLiteral("colouredPinyin"));
    colouredPinyin->setGeometry(Txt_py->geometry());
    colouredPinyin->setFont(Txt_py->font());
    colouredPinyin->setFrameShape(QFrame::StyledPanel);
    colouredPinyin->setFrameShadow(QFrame::Sunken);
    colouredPinyin->setAutoFillBackground(true);
    colouredPinyin->setBackgroundRole(QPalette::Base);
    colouredPinyin->setIndent(3);
    colouredPinyin->setTextFormat(Qt::RichText);
    colouredPinyin->setTextInteractionFlags(Qt::TextSelectableByMouse);
    colouredPinyin->setText(spans.join(u' '));
    Txt_py->hide();
}

void FrmDetail::Form_Unload() { GlVexM.detailWord.clear(); }

void FrmDetail::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void FrmDetail::showEvent(QShowEvent *e)
{
    Twips::centreOverOwner(this);
    QDialog::showEvent(e);
}

} // namespace trenix
