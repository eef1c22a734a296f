// SPDX-License-Identifier: GPL-3.0-or-later
#include "setForm.h"

#include "Fonts.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "History.h"
#include "KeyBindings.h"
#include "PlayerSettings.h"
#include "SettingsRules.h"
#include "Texts.h"
#include "Twips.h"
#include "WordListsDialog.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStylePainter>

#include <functional>

Q_LOGGING_CATEGORY(lcSettings, "trenix.settings")

namespace trenix {

namespace {
// Each language by its own name, so that a player lost in a foreign one finds theirs.
const char *const kLanguageNames[] = {"English", "简体中文", "繁體中文"};
constexpr double kSoundRow = 390; // twips the sound switch's row adds above the buttons

// A choice too long for the box shows its beginning and end, the middle left
// out ("List: Less…(6 words)"); the list opens as wide as its longest entry.
class ElidingComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter p(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        p.drawComplexControl(QStyle::CC_ComboBox, option);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        option.currentText = fontMetrics().elidedText(option.currentText, Qt::ElideMiddle, field.width());
        p.drawControl(QStyle::CE_ComboBoxLabel, option);
    }
    void showPopup() override
    {
        int widest = width();
        for (int i = 0; i < count(); ++i)
            widest = std::max(widest, view()->fontMetrics().horizontalAdvance(itemText(i)) + 40);
        if (const QScreen *s = screen())
            widest = std::min(widest, s->availableGeometry().width());
        view()->setMinimumWidth(widest);
        QComboBox::showPopup();
    }
};
} // namespace

setForm::setForm(GameCore &core, const DataPaths &paths, QWidget *parent) : HoldingDialog(core, parent), m_paths(paths)
{
    buildControls();
    Form_Load();
}

void setForm::buildControls()
{
    setObjectName(QStringLiteral("setForm"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    // Taller than the stored layout by the word-set and language rows, the answer group and the sound switch.
    setFixedSize(Twips::px(4710), Twips::px(7170 + kSoundRow));
    setWindowTitle(QStringLiteral("選項"));

    Frame2 = new QGroupBox(QStringLiteral("速度設置"), this);
    Twips::place(Frame2, 180, 180, 4185, 1995);
    static constexpr double kSpeedAt[5][2] = {{420, 390}, {2040, 390}, {420, 960}, {2070, 960}, {450, 1530}};
    static const char *const kSpeedCaption[5] = {"慢        速", "普通慢速", "普通速度", "普通快速", "快       速"};
    auto *speedGroup = new QButtonGroup(this);
    for (size_t i = 0; i < GaSpeed.size(); ++i) {
        GaSpeed[i] = new QRadioButton(QString::fromUtf8(kSpeedCaption[i]), Frame2);
        GaSpeed[i]->setObjectName(QStringLiteral("GaSpeed%1").arg(i));
        GaSpeed[i]->setProperty("Tag", QString::fromLatin1(kSpeedTags[i]));
        // Taller than the stored 195 twips so that the caption is not cut.
        Twips::place(GaSpeed[i], kSpeedAt[i][0], kSpeedAt[i][1] - 60, 1575, 315);
        speedGroup->addButton(GaSpeed[i], int(i));
    }
    GaSpeed[1]->setChecked(true);

    // The game-time group: nothing reads it and the game has no time limit,
    // so it stays hidden rather than offer a choice that does nothing.
    Frame1 = new QGroupBox(QStringLiteral("游戏时间"), this);
    Twips::place(Frame1, 173, 240, 1995, 1665);
    static constexpr double kTimeAt[3][2] = {{420, 600}, {420, 1080}, {420, 1440}};
    static const char *const kTimeTag[3] = {"3", "6", "9"};
    auto *timeGroup = new QButtonGroup(this);
    for (size_t i = 0; i < GaTime.size(); ++i) {
        GaTime[i] = new QRadioButton(QString::fromUtf8(kTimeTag[i]) + QStringLiteral(" 分钟"), Frame1);
        GaTime[i]->setProperty("Tag", QString::fromLatin1(kTimeTag[i]));
        Twips::place(GaTime[i], kTimeAt[i][0], kTimeAt[i][1], 1155, 255);
        timeGroup->addButton(GaTime[i], int(i));
    }
    GaTime[0]->setChecked(true);
    Frame1->hide();

    // What the words come from; the range boxes below serve the range only.
    WordsLabel = new QLabel(QStringLiteral("Words"), this);
    Twips::place(WordsLabel, 300, 2295, 825, 285);
    WordSetChoice = new ElidingComboBox(this);
    WordSetChoice->setObjectName(QStringLiteral("WordSetChoice"));
    Twips::place(WordSetChoice, 1140, 2250, 2280, 345);
    WordsLabel->setBuddy(WordSetChoice);
    ListsButton = new QPushButton(QStringLiteral("Lists…"), this);
    ListsButton->setObjectName(QStringLiteral("ListsButton"));
    Twips::place(ListsButton, 3480, 2250, 885, 345);

    Frame3 = new QGroupBox(QStringLiteral("詞組範圍"), this);
    // Lower and taller than stored: the title sits above the border here.
    Twips::place(Frame3, 180, 2730, 4185, 1065);
    Label1 = new QLabel(QStringLiteral("從:"), Frame3);
    Twips::place(Label1, 300, 345, 525, 285);
    Txt_Word_From = new QLineEdit(Frame3);
    Txt_Word_From->setObjectName(QStringLiteral("Txt_Word_From"));
    Twips::place(Txt_Word_From, 840, 330, 855, 315);
    Label2 = new QLabel(QStringLiteral("到:"), Frame3);
    Twips::place(Label2, 1800, 345, 525, 285);
    txt_Word_To = new QLineEdit(Frame3);
    txt_Word_To->setObjectName(QStringLiteral("txt_Word_To"));
    Twips::place(txt_Word_To, 2340, 330, 855, 315);
    Label3 = new QLabel(QStringLiteral("備注:詞組範從1-999"), Frame3);
    Twips::place(Label3, 300, 705, 3765, 285);
    QPalette red = Label3->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    Label3->setPalette(red);

    LanguageLabel = new QLabel(QStringLiteral("Language / 语言 / 語言"), this);
    Twips::place(LanguageLabel, 300, 3900, 1500, 285);
    Language = new QComboBox(this);
    Language->setObjectName(QStringLiteral("Language"));
    for (const char *name : kLanguageNames)
        Language->addItem(QString::fromUtf8(name));
    Twips::place(Language, 1860, 3855, 2505, 345);
    LanguageLabel->setBuddy(Language);

    buildAnswerFrame();

    SoundCheck = new QCheckBox(QStringLiteral("Sound"), this);
    SoundCheck->setObjectName(QStringLiteral("SoundCheck"));
    Twips::place(SoundCheck, 300, 6600, 4065, 285);

    setSpeedOK = new QPushButton(QStringLiteral("確定"), this);
    setSpeedOK->setObjectName(QStringLiteral("setSpeedOK"));
    Twips::place(setSpeedOK, 2280, 6690 + kSoundRow, 1035, 345);
    setSpeedOK->setDefault(true);
    setSpeedCancel = new QPushButton(QStringLiteral("返回"), this);
    setSpeedCancel->setObjectName(QStringLiteral("setSpeedCancel"));
    Twips::place(setSpeedCancel, 3330, 6690 + kSoundRow, 1035, 345);

    // OK first, then Cancel; the speed group is one stop, the arrow keys move within it.
    setTabOrder(setSpeedOK, setSpeedCancel);
    QWidget *previous = setSpeedCancel;
    for (QRadioButton *option : GaSpeed) {
        setTabOrder(previous, option);
        previous = option;
    }
    setTabOrder(previous, WordSetChoice);
    setTabOrder(WordSetChoice, ListsButton);
    setTabOrder(ListsButton, Txt_Word_From);
    setTabOrder(Txt_Word_From, txt_Word_To);
    setTabOrder(txt_Word_To, Language);
    setTabOrder(Language, AnswerChoice);
    setTabOrder(AnswerChoice, TonesChoice);
    setTabOrder(TonesChoice, HintsChoice);
    setTabOrder(HintsChoice, ToneColours);
    setTabOrder(ToneColours, SoundCheck);

    connect(setSpeedOK, &QPushButton::clicked, this, &setForm::setSpeedOK_Click);
    connect(setSpeedCancel, &QPushButton::clicked, this, &setForm::setSpeedCancel_Click);
    connect(ListsButton, &QPushButton::clicked, this, &setForm::ListsButton_Click);
    connect(WordSetChoice, &QComboBox::currentIndexChanged, this, &setForm::enableRangeBoxes);
}

void setForm::buildAnswerFrame()
{
    AnswerFrame = new QGroupBox(QStringLiteral("Answer"), this);
    AnswerFrame->setObjectName(QStringLiteral("AnswerFrame"));
    Twips::place(AnswerFrame, 180, 4320, 4185, 2220);
    // Each item's data is the name trenix.conf keeps; its text is looked up.
    const auto row = [this](QLabel *&label, QComboBox *&choice, const char *name, double top,
                            const QStringList &values) {
        label = new QLabel(AnswerFrame);
        Twips::place(label, 150, top + 45, 1380, 285);
        choice = new QComboBox(AnswerFrame);
        choice->setObjectName(QLatin1String(name));
        Twips::place(choice, 1560, top, 2475, 345);
        for (const QString &value : values)
            choice->addItem(QString(), value);
        label->setBuddy(choice);
    };
    row(AnswerLabel, AnswerChoice, "AnswerChoice", 330,
        {AnswerSettings{.mode = AnswerMode::Characters}.modeName(),
         AnswerSettings{.mode = AnswerMode::Pinyin}.modeName()});
    row(TonesLabel, TonesChoice, "TonesChoice", 750,
        {AnswerSettings{.tones = ToneRule::Optional}.tonesName(),
         AnswerSettings{.tones = ToneRule::Required}.tonesName()});
    row(HintsLabel, HintsChoice, "HintsChoice", 1170,
        {AnswerSettings{.hints = HintMode::Off}.hintsName(), AnswerSettings{.hints = HintMode::Late}.hintsName(),
         AnswerSettings{.hints = HintMode::Always}.hintsName()});
    ToneColours = new QCheckBox(AnswerFrame);
    ToneColours->setObjectName(QStringLiteral("ToneColours"));
    Twips::place(ToneColours, 150, 1590, 3885, 285);
    AnswerNote = new QLabel(AnswerFrame);
    Twips::place(AnswerNote, 150, 1890, 3885, 255);
    QPalette red = AnswerNote->palette();
    red.setColor(QPalette::WindowText, QColor(0xFF, 0x00, 0x00));
    AnswerNote->setPalette(red);
    // The tones matter only to answers in pinyin.
    connect(AnswerChoice, &QComboBox::currentIndexChanged, this, [this] {
        TonesChoice->setEnabled(AnswerChoice->currentData() == AnswerSettings{.mode = AnswerMode::Pinyin}.modeName());
    });
}

void setForm::lookUpAnswerCaptions()
{
    AnswerFrame->setTitle(text(tid::setForm_answer));
    AnswerLabel->setText(text(tid::setForm_answerWith));
    TonesLabel->setText(text(tid::setForm_tones));
    HintsLabel->setText(text(tid::setForm_hints));
    const auto items = [](QComboBox *box, std::initializer_list<TextId> ids) {
        int i = 0;
        for (const TextId &id : ids)
            box->setItemText(i++, text(id));
    };
    items(AnswerChoice, {tid::setForm_answerCharacters, tid::setForm_answerPinyin});
    items(TonesChoice, {tid::setForm_tonesOptional, tid::setForm_tonesRequired});
    items(HintsChoice, {tid::setForm_hintsOff, tid::setForm_hintsLate, tid::setForm_hintsAlways});
    ToneColours->setText(text(tid::setForm_toneColours));
    AnswerNote->setText(text(tid::setForm_answerNote));
}

AnswerSettings setForm::chosenAnswer() const
{
    AnswerSettings chosen = m_core.answer;
    chosen.mode = AnswerSettings::parseMode(AnswerChoice->currentData().toString()).value_or(chosen.mode);
    chosen.tones = AnswerSettings::parseTones(TonesChoice->currentData().toString()).value_or(chosen.tones);
    chosen.hints = AnswerSettings::parseHints(HintsChoice->currentData().toString()).value_or(chosen.hints);
    chosen.toneColours = ToneColours->isChecked();
    return chosen;
}

void setForm::enableRangeBoxes()
{
    const bool range = WordSetChoice->currentData().toString() == WordSet().value();
    Txt_Word_From->setEnabled(range);
    txt_Word_To->setEnabled(range);
    WordSetChoice->setToolTip(WordSetChoice->currentText()); // a long list name is cut in the box
}

void setForm::Form_Load()
{
    lookUpCaptions();
    for (size_t i = 0; i < GaSpeed.size(); ++i) {
        if (settings::speedFromTag(QString::fromLatin1(kSpeedTags[i])) == GlVexM.speedLevel)
            GaSpeed[i]->setChecked(true);
    }
    Txt_Word_From->setText(QString::number(GlVexM.wordFrom));
    txt_Word_To->setText(QString::number(GlVexM.wordTo));
    chooseWordSet(m_core.wordSet.value());
    // Tab stops at the chosen speed, as Qt does once one of them has had the focus.
    for (QRadioButton *option : GaSpeed)
        option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    AnswerChoice->setCurrentIndex(AnswerChoice->findData(m_core.answer.modeName()));
    TonesChoice->setCurrentIndex(TonesChoice->findData(m_core.answer.tonesName()));
    HintsChoice->setCurrentIndex(HintsChoice->findData(m_core.answer.hintsName()));
    TonesChoice->setEnabled(m_core.answer.mode == AnswerMode::Pinyin);
    ToneColours->setChecked(m_core.answer.toneColours);
    setSpeedOK->setFocus(Qt::OtherFocusReason);
    // No entry chosen for a code without one: OK then leaves the language alone.
    Language->setCurrentIndex(GlVexM.languageCode >= 1 && GlVexM.languageCode <= 3 ? GlVexM.languageCode - 1 : -1);
}

void setForm::lookUpCaptions()
{
    struct Caption {
        TextId id;
        std::function<void(const QString &)> set;
    };
    const Caption captions[] = {
        {tid::setForm_caption, [this](const QString &t) { setWindowTitle(t); }},
        {tid::SDSZ, [this](const QString &t) { Frame2->setTitle(t); }},
        {tid::MS, [this](const QString &t) { GaSpeed[0]->setText(t); }},
        {tid::PTMS, [this](const QString &t) { GaSpeed[1]->setText(t); }},
        {tid::PTSD, [this](const QString &t) { GaSpeed[2]->setText(t); }},
        {tid::PTKS, [this](const QString &t) { GaSpeed[3]->setText(t); }},
        {tid::KS, [this](const QString &t) { GaSpeed[4]->setText(t); }},
        {tid::CZFW, [this](const QString &t) { Frame3->setTitle(t); }},
        {tid::C, [this](const QString &t) { Label1->setText(t); }},
        {tid::D, [this](const QString &t) { Label2->setText(t); }},
        {tid::BZCZFW, [this](const QString &t) { Label3->setText(t); }},
        {tid::QD, [this](const QString &t) { setSpeedOK->setText(t); }},
        {tid::FH, [this](const QString &t) { setSpeedCancel->setText(t); }},
    };
    for (const Caption &c : captions)
        c.set(text(c.id));
    LanguageLabel->setText(text(tid::setForm_language));
    WordsLabel->setText(text(tid::setForm_words));
    ListsButton->setText(text(tid::setForm_lists));
    lookUpAnswerCaptions();
    SoundCheck->setText(text(tid::setForm_sound));
    for (const Shortcut &shortcut : shortcutTable())
        if (shortcut.command == Command::Sound)
            SoundCheck->setToolTip(trenix::toolTip(shortcut));
    refreshWordSets();
}

void setForm::refreshWordSets()
{
    chooseWordSet(WordSetChoice->count() ? WordSetChoice->currentData().toString() : m_core.wordSet.value());
}

void setForm::chooseWordSet(const QString &value)
{
    // One grouped query per standard, one for the lists, one count for the review.
    std::map<int, qint64> levels, hsk3;
    try {
        levels = m_core.practice().levelCounts(GlVexM.languageCode);
        hsk3 = m_core.practice().hsk3Counts(GlVexM.languageCode);
    } catch (const Error &e) {
        qCWarning(lcSettings).noquote() << "the HSK levels cannot be counted:" << e.message();
    }
    History &history = m_core.history();
    const std::vector<ListInfo> lists = history.lists.lists();

    const QSignalBlocker quiet(WordSetChoice);
    WordSetChoice->clear();
    WordSetChoice->addItem(text(tid::setForm_setRange), WordSet().value());
    const QString level = text(tid::setForm_setLevel);
    const auto addLevels = [&](WordSet::Kind standard, int highest, const std::map<int, qint64> &counts) {
        for (int n = WordSet::kLowestLevel; n <= highest; ++n) {
            const auto found = counts.find(n);
            const qint64 words = found == counts.end() ? 0 : found->second;
            WordSetChoice->addItem(level.arg(levelName(standard, n, GlVexM.languageCode), QString::number(words)),
                                   WordSet{standard, n, QString()}.value());
        }
    };
    addLevels(WordSet::Kind::Level, WordSet::kHighestLevel, levels);
    addLevels(WordSet::Kind::Hsk3, WordSet::kHsk3Band, hsk3);
    WordSetChoice->addItem(text(tid::setForm_setReview).arg(history.review.dueBy(history.file.clock().utcMs())),
                           WordSet{WordSet::Kind::Review, 0, QString()}.value());
    const QString list = text(tid::setForm_setList);
    for (const ListInfo &l : lists)
        WordSetChoice->addItem(list.arg(l.name, QString::number(l.words)),
                               WordSet{WordSet::Kind::List, 0, l.name}.value());
    WordSetChoice->setCurrentIndex(std::max(0, WordSetChoice->findData(value)));
    enableRangeBoxes();
}

void setForm::ListsButton_Click()
{
    QString chosen = WordSetChoice->currentData().toString();
    {
        WordListsDialog lists(m_core, m_paths, this);
        connect(&lists, &WordListsDialog::listRenamed, this, [&chosen](const QString &from, const QString &to) {
            if (chosen == WordSet{WordSet::Kind::List, 0, from}.value())
                chosen = WordSet{WordSet::Kind::List, 0, to}.value();
        });
        lists.exec();
    }
    chooseWordSet(chosen);
}

void setForm::showEvent(QShowEvent *e)
{
    // Lists may have come or gone since the dialog was last open.
    refreshWordSets();
    HoldingDialog::showEvent(e);
}

void setForm::setSpeedOK_Click()
{
    qint16 level = GlVexM.speedLevel;
    for (size_t i = 0; i < GaSpeed.size(); ++i) {
        if (!GaSpeed[i]->isChecked())
            continue;
        if (const std::optional<qint16> tagged = settings::speedFromTag(QString::fromLatin1(kSpeedTags[i])))
            level = *tagged;
        else
            qCWarning(lcSettings) << "speed option" << i << "has no usable level; the speed stays" << level;
    }
    m_core.applySpeed(level);
    releaseGame();

    const WordSet words = WordSet::parse(WordSetChoice->currentData().toString()).value_or(WordSet());
    const bool useRange = words.kind == WordSet::Kind::Range;
    // The range is checked only when the words come from it: its boxes are closed otherwise.
    settings::RangeCheck range = settings::checkRange(Txt_Word_From->text(), txt_Word_To->text());
    if (!useRange)
        range = {settings::RangeOutcome::Accepted, GlVexM.wordFrom, GlVexM.wordTo};
    QString message;
    switch (range.outcome) {
    case settings::RangeOutcome::Accepted: break;
    case settings::RangeOutcome::NotNumeric: message = text(tid::setForm_notNumeric); break;
    case settings::RangeOutcome::Reversed: message = text(tid::setForm_reversed); break;
    case settings::RangeOutcome::OutOfRange: message = text(tid::setForm_outOfRange); break;
    }
    if (!message.isEmpty()) {
        m_core.dialogs().inform(message, text(tid::setForm_messageTitle));
        return;
    }

    GlVexM.wordFrom = range.from;
    GlVexM.wordTo = range.to;
    m_core.wordSet = words;
    m_core.answer = chosenAnswer();
    const QString notKept = keepCurrentSettings(PlayerSettings(m_paths.keptSettingsFile()), words, m_core.answer);
    if (!notKept.isEmpty())
        m_core.notify(notKept);
    m_unloaded = true;
    QDialog::accept();
    emit soundChosen(SoundCheck->isChecked());
    const qint16 chosen = qint16(Language->currentIndex() + 1);
    if (Language->currentIndex() >= 0 && chosen != GlVexM.languageCode)
        emit languageChosen(chosen);
}

void setForm::setSpeedCancel_Click()
{
    QDialog::reject();
    releaseGame();
}

void setForm::accept() { setSpeedOK_Click(); }

void setForm::reject() { setSpeedCancel_Click(); }

} // namespace trenix
