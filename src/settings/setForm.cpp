#include "setForm.h"

#include "GameCore.h"

namespace trenix {

setForm::setForm(GameCore &core, QWidget *parent) : QDialog(parent), m_core(core) {}

} // namespace trenix
