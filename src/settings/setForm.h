#pragma once
// Settings dialog: speed level and word range. (placeholder, to be completed)
#include <QDialog>

namespace trenix {

class GameCore;

class setForm : public QDialog {
    Q_OBJECT
public:
    explicit setForm(GameCore &core, QWidget *parent = nullptr);
    // True once OK has unloaded the dialog; Cancel only hides it.
    bool isUnloaded() const { return m_unloaded; }
private:
    GameCore &m_core;
    bool m_unloaded = false;
};

} // namespace trenix
