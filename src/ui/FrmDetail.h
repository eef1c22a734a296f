// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Word detail window: the word, its pinyin, its English meaning and the HSK
// levels that teach it.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace trenix {

class OwnLists;
class PracticeStore;

class FrmDetail : public QDialog {
    Q_OBJECT
public:
    // Shows the dictionary entry of the word in GlVexM.detailWord, from the
    // dictionary of dictionaryLanguage (the game's words keep theirs when the
    // interface language changes mid-game; 0: the current language), its pinyin's
    // syllables coloured by tone if asked. A store failure (no dictionary for the
    // language) propagates as trenix::Error.
    FrmDetail(PracticeStore &practice, OwnLists &lists, QWidget *parent = nullptr, int dictionaryLanguage = 0,
              bool toneColours = true);
    ~FrmDetail() override;

    // Every way of closing ends here, so detailWord never outlives the window.
    void done(int result) override;

    // Controls, for tests.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr;
    QLineEdit *Txt_cz = nullptr, *Txt_py = nullptr;
    QLabel *Txt_yw = nullptr; // wrapped over three lines: a gloss is longer than a box is wide
    QLabel *colouredPinyin = nullptr; // in Txt_py's place while the syllables are coloured
    QLabel *Levels = nullptr; // both standards' levels of a dictionary word; empty for any other
    QPushButton *Command1 = nullptr;

protected:
    void showEvent(QShowEvent *e) override;

private:
    void buildControls();
    void Form_Load(PracticeStore &practice, OwnLists &lists, int dictionaryLanguage);
    void colourPinyin();
    static void Form_Unload();
};

} // namespace trenix
