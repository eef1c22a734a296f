// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmAbout.h"

#include "Fonts.h"
#include "Texts.h"
#include "Twips.h"

#include <QLabel>
#include <QPushButton>

namespace trenix {

namespace {

const QString kTitle = QStringLiteral("Trenix");

} // namespace

frmAbout::frmAbout(GameCore &core, QWidget *parent) : HoldingDialog(core, parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setFixedSize(Twips::px(4365), Twips::px(2310));
    setWindowTitle(text(tid::frmAbout_caption));

    Label1 = new QLabel(text(tid::frmAbout_Label1), this);
    Twips::place(Label1, 690, 540, 2820, 375);
    Label1->setFont(uiFont({QStringLiteral("SimSun"), QStringLiteral("宋体")}, 15.75, QFont::Bold));
    QPalette olive = Label1->palette();
    olive.setColor(QPalette::WindowText, QColor(0x40, 0x40, 0x00)); // 0x00004040
    Label1->setPalette(olive);

    Label2 = new QLabel(text(tid::frmAbout_Label2), this);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Twips::place(Label2, 690, 1080, 1290, 255); // widened leftwards for longer words than 版本
    Label4 = new QLabel(QStringLiteral("1.0(beta)"), this);
    Twips::place(Label4, 2040, 1080, 915, 255);

    Command1 = new QPushButton(text(tid::frmAbout_Command1), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Twips::place(Command1, 3210, 1860, 1035, 345);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmAbout::Command1_Click);
}

void frmAbout::Command1_Click()
{
    releaseGame();
    QDialog::accept();
}

void frmAbout::accept() { Command1_Click(); }

void frmAbout::reject() { Command1_Click(); }

} // namespace trenix
