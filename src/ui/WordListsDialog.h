// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's own word lists: import from a text file, rename, delete.
// Reached from the settings dialog, over which it opens.
#include "DataPaths.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace trenix {

class GameCore;

class WordListsDialog : public QDialog {
    Q_OBJECT
public:
    WordListsDialog(GameCore &core, const DataPaths &paths, QWidget *parent);

    void Import_Click();
    void Rename_Click();
    void Delete_Click();
    // Shows the lists as the progress store holds them now.
    void refresh();

    // Controls, for tests.
    QListWidget *Lists = nullptr;
    QLabel *None = nullptr;
    QPushButton *Import = nullptr, *Rename = nullptr, *Delete = nullptr, *Close = nullptr;

signals:
    void listRenamed(const QString &from, const QString &to);

protected:
    void showEvent(QShowEvent *e) override;

private:
    QString chosenList() const;
    void tell(const QString &text);
    void failed(const QString &why);
    void followChosenSet(const QString &from, const QString &to);

    GameCore &m_core;
    const DataPaths &m_paths;
};

} // namespace trenix
