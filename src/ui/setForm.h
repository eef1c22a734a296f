// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Settings dialog: speed level and word range. Holds a running game while it
// is the active window; OK or Cancel (or closing it) lets the game run again.
#include "AnswerSettings.h"
#include "DataPaths.h"
#include "HoldingDialog.h"

#include <QString>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace trenix {

class GameCore;

class setForm : public HoldingDialog {
    Q_OBJECT
public:
    setForm(GameCore &core, const DataPaths &paths, QWidget *parent = nullptr);
    // True once OK has unloaded the dialog; Cancel only hides it.
    bool isUnloaded() const { return m_unloaded; }
    // Sets the captions from the language store (also when the language changes).
    void lookUpCaptions();

    // Event handlers, named as the rest of the program knows them.
    void setSpeedOK_Click();
    void setSpeedCancel_Click();

    // The speed level each GaSpeed option stands for, slowest first.
    static constexpr std::array<const char *, 5> kSpeedTags{"10", "8", "6", "4", "2"};

    // Controls, for tests.
    QGroupBox *Frame2 = nullptr, *Frame1 = nullptr, *Frame3 = nullptr;
    std::array<QRadioButton *, 5> GaSpeed{};
    std::array<QRadioButton *, 3> GaTime{};
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QLineEdit *Txt_Word_From = nullptr, *txt_Word_To = nullptr;
    QPushButton *setSpeedOK = nullptr, *setSpeedCancel = nullptr;
    QLabel *LanguageLabel = nullptr;
    QComboBox *Language = nullptr; // entries for language codes 1, 2, 3
    QLabel *WordsLabel = nullptr;
    QComboBox *WordSetChoice = nullptr; // item data: the set's kept value ("range", "level:3", ...)
    QPushButton *ListsButton = nullptr;
    // How the next game is answered; item data: the kept names ("pinyin", "required", "late").
    QGroupBox *AnswerFrame = nullptr;
    QLabel *AnswerLabel = nullptr, *TonesLabel = nullptr, *HintsLabel = nullptr, *AnswerNote = nullptr;
    QComboBox *AnswerChoice = nullptr, *TonesChoice = nullptr, *HintsChoice = nullptr;
    QCheckBox *ToneColours = nullptr;
    QCheckBox *SoundCheck = nullptr; // set by the opener; OK passes a change on

    // Fills the word-set choice with the current counts, keeping the entry
    // chosen (the range when it is gone).
    void refreshWordSets();
    // The "Word lists" dialog.
    void ListsButton_Click();

signals:
    // OK accepted another interface language.
    void languageChosen(qint16 code);
    // OK accepted the sound switched on or off.
    void soundChosen(bool on);

public slots:
    // Enter (OK) and Escape or the close box (Cancel) take the handlers' roads.
    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void buildControls();
    void Form_Load();
    void chooseWordSet(const QString &value);
    void enableRangeBoxes();
    void buildAnswerFrame();
    void lookUpAnswerCaptions();
    AnswerSettings chosenAnswer() const;

    const DataPaths &m_paths;
    bool m_unloaded = false;
};

} // namespace trenix
