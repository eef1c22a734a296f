// SPDX-License-Identifier: GPL-3.0-or-later
#include "HoldingDialog.h"

#include "GameCore.h"
#include "Twips.h"

#include <QShowEvent>

namespace trenix {

HoldingDialog::HoldingDialog(GameCore &core, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_core(core)
{
}

void HoldingDialog::Form_Activate()
{
    if (m_core.holdIfRunning())
        stoppedTimers = true;
}

void HoldingDialog::releaseGame()
{
    if (stoppedTimers)
        m_core.restartTimers();
    stoppedTimers = false;
}

void HoldingDialog::showEvent(QShowEvent *e)
{
    Twips::centreOverOwner(this);
    QDialog::showEvent(e);
    // Once per opening; a window manager's own show (un-minimise) is no new opening.
    if (!m_open && !e->spontaneous()) {
        m_open = true;
        Form_Activate();
    }
}

void HoldingDialog::hideEvent(QHideEvent *e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous())
        m_open = false;
}

} // namespace trenix
