#pragma once
// About window. (placeholder, to be completed)
#include <QDialog>

namespace trenix {

class GameCore;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(GameCore &core, QWidget *parent = nullptr);
private:
    GameCore &m_core;
};

} // namespace trenix
