// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// About window: title and version. Holds a running game while it is the
// active window; OK (or closing it) lets the game run again.
#include "HoldingDialog.h"

class QLabel;
class QPushButton;

namespace trenix {

class GameCore;

class frmAbout : public HoldingDialog {
    Q_OBJECT
public:
    explicit frmAbout(GameCore &core, QWidget *parent = nullptr);

    void Command1_Click();

    // Controls, for tests.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label4 = nullptr;
    QPushButton *Command1 = nullptr;

public slots:
    void accept() override;
    // Escape and the close box act as OK, so a held game never stays frozen.
    void reject() override;
};

} // namespace trenix
