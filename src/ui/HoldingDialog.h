// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A dialog that holds a running game from the moment it opens and owes the
// game a restart until it lets go. It holds by its own opening, not by window
// activation: message boxes over it come and go without holding again.
// Shown centred over its owner, at a fixed size without a maximise button.
#include <QDialog>

namespace trenix {

class GameCore;

class HoldingDialog : public QDialog {
    Q_OBJECT
public:
    HoldingDialog(GameCore &core, QWidget *parent);

    void Form_Activate();

    // True while this dialog owes the game a restart.
    bool stoppedTimers = false;

protected:
    // Runs the game again if this dialog held it.
    void releaseGame();
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;

    GameCore &m_core;

private:
    bool m_open = false; // between an opening and the next hide
};

} // namespace trenix
