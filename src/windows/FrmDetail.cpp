#include "FrmDetail.h"

#include "GlVexM.h"
#include "PracticeStore.h"

namespace trenix {

FrmDetail::FrmDetail(PracticeStore &, QWidget *parent) : QDialog(parent) {}
FrmDetail::~FrmDetail() { GlVexM.detailWord.clear(); }

} // namespace trenix
