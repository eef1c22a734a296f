#include "HoldingDialog.h"

#include "GameCore.h"
#include "Twips.h"

#include <QEvent>

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

bool HoldingDialog::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(e);
}

void HoldingDialog::showEvent(QShowEvent *e)
{
    Twips::centreOverOwner(this);
    QDialog::showEvent(e);
}

} // namespace trenix
