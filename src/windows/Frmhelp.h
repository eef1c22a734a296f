#pragma once
// Help window. (placeholder, to be completed)
#include <QDialog>

namespace trenix {

class Frmhelp : public QDialog {
    Q_OBJECT
public:
    explicit Frmhelp(QWidget *parent = nullptr);
};

} // namespace trenix
