#include "Frmhelp.h"

namespace trenix {

Frmhelp::Frmhelp(QWidget *parent) : QDialog(parent) {}

} // namespace trenix
