// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// About window: title, version, credits and licences. Holds a running game
// while it is the active window; OK (or closing it) lets the game run again.
#include "HoldingDialog.h"

class QLabel;
class QPushButton;

namespace trenix {

class GameCore;

// The licence texts shipped beside the program, in the order they are shown.
inline constexpr const char *kLicenceFiles[] = {"LICENSES.md", "LICENSE"};

class frmAbout : public HoldingDialog {
    Q_OBJECT
public:
    // programFolder holds the licence texts.
    explicit frmAbout(GameCore &core, QString programFolder = QString(), QWidget *parent = nullptr);

    void Command1_Click();
    // The full licence texts in a window of their own.
    void showLicences();

    // Controls, for tests.
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label4 = nullptr, *credits = nullptr;
    QPushButton *Command1 = nullptr, *licencesButton = nullptr;

public slots:
    void accept() override;
    // Escape and the close box act as OK, so a held game never stays frozen.
    void reject() override;

private:
    QString m_programFolder;
};

// The licence texts of the program folder joined, or an Error naming the file that cannot be read.
QString readLicenceTexts(const QString &programFolder);

} // namespace trenix
