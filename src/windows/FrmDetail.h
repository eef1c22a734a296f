#pragma once
// Word detail window. (placeholder, to be completed)
#include <QDialog>

namespace trenix {

class PracticeStore;

class FrmDetail : public QDialog {
    Q_OBJECT
public:
    // Shows the dictionary entry of the word in GlVexM.detailWord.
    explicit FrmDetail(PracticeStore &practice, QWidget *parent = nullptr);
    ~FrmDetail() override;
};

} // namespace trenix
