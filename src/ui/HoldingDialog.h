#pragma once
// A dialog that holds a running game while it is the active window and owes
// the game a restart until it lets go. Shown centred over its owner.
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
    bool event(QEvent *e) override;
    void showEvent(QShowEvent *e) override;

    GameCore &m_core;
};

} // namespace trenix
