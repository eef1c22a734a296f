#include "frmAbout.h"

#include "GameCore.h"

namespace trenix {

frmAbout::frmAbout(GameCore &core, QWidget *parent) : QDialog(parent), m_core(core) {}

} // namespace trenix
