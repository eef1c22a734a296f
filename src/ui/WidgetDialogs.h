// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "Platform.h"

class QWidget;

namespace trenix {

// Message boxes on screen: no icon for the questions, Yes as the default button.
class WidgetDialogs final : public Dialogs {
public:
    bool askYesNo(const QString &text, const QString &title) override;
    void inform(const QString &text, const QString &title) override;
    void showError(const QString &text) override;
    QString chooseSaveFile(const QString &title, const QString &suggested, const QString &filter) override;
    QString chooseOpenFile(const QString &title, const QString &filter) override;
    QString askText(const QString &title, const QString &label, const QString &initial) override;
};

} // namespace trenix
