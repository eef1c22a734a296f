// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordListsDialog.h"

#include "Fonts.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "History.h"
#include "PlayerSettings.h"
#include "Texts.h"
#include "Twips.h"
#include "WordListImport.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace trenix {

WordListsDialog::WordListsDialog(GameCore &core, const DataPaths &paths, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_core(core), m_paths(paths)
{
    setObjectName(QStringLiteral("WordListsDialog"));
    setFont(uiFont({QStringLiteral("Arial")}, 9));
    setFixedSize(Twips::px(5400), Twips::px(3600));
    setWindowTitle(text(tid::WordLists_caption));

    Lists = new QListWidget(this);
    Lists->setObjectName(QStringLiteral("Lists"));
    Twips::place(Lists, 180, 180, 3660, 3240);
    None = new QLabel(text(tid::WordLists_none), this);
    None->setWordWrap(true);
    None->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    Twips::place(None, 300, 300, 3420, 3000);

    Import = new QPushButton(text(tid::WordLists_import), this);
    Rename = new QPushButton(text(tid::WordLists_rename), this);
    Delete = new QPushButton(text(tid::WordLists_delete), this);
    Close = new QPushButton(text(tid::WordLists_close), this);
    int top = 180;
    for (QPushButton *button : {Import, Rename, Delete}) {
        Twips::place(button, 3960, top, 1260, 375);
        top += 480;
    }
    Twips::place(Close, 3960, 3045, 1260, 375);
    Close->setDefault(true);

    connect(Import, &QPushButton::clicked, this, &WordListsDialog::Import_Click);
    connect(Rename, &QPushButton::clicked, this, &WordListsDialog::Rename_Click);
    connect(Delete, &QPushButton::clicked, this, &WordListsDialog::Delete_Click);
    connect(Close, &QPushButton::clicked, this, &QDialog::accept);
    connect(Lists, &QListWidget::currentRowChanged, this, [this](int row) {
        Rename->setEnabled(row >= 0);
        Delete->setEnabled(row >= 0);
    });
    refresh();
}

void WordListsDialog::refresh()
{
    const QString keep = chosenList();
    const std::vector<ListInfo> lists = m_core.history().lists.lists();
    const QString item = text(tid::WordLists_item);
    Lists->clear();
    for (const ListInfo &l : lists) {
        auto *row = new QListWidgetItem(item.arg(l.name, QString::number(l.words)), Lists);
        row->setData(Qt::UserRole, l.name);
        if (l.name == keep)
            Lists->setCurrentItem(row);
    }
    if (!Lists->currentItem() && Lists->count())
        Lists->setCurrentRow(0);
    None->setVisible(lists.empty());
    Lists->setVisible(!lists.empty());
    Rename->setEnabled(Lists->currentRow() >= 0);
    Delete->setEnabled(Lists->currentRow() >= 0);
}

QString WordListsDialog::chosenList() const
{
    const QListWidgetItem *row = Lists->currentItem();
    return row ? row->data(Qt::UserRole).toString() : QString();
}

void WordListsDialog::tell(const QString &message) { m_core.dialogs().inform(message, windowTitle()); }

void WordListsDialog::failed(const QString &why) { tell(text(tid::WordLists_notChanged).arg(why)); }

void WordListsDialog::Import_Click()
{
    const QString path = m_core.dialogs().chooseOpenFile(windowTitle(), text(tid::WordLists_filter));
    if (path.isEmpty())
        return;
    const QString name = m_core.dialogs()
                             .askText(windowTitle(), text(tid::WordLists_name), QFileInfo(path).completeBaseName())
                             .trimmed();
    if (name.isEmpty())
        return;
    bool replace = false;
    for (const ListInfo &l : m_core.history().lists.lists())
        replace = replace || l.name == name;
    if (replace && !m_core.dialogs().askYesNo(text(tid::WordLists_replace).arg(name), windowTitle()))
        return;
    try {
        const ImportSummary s =
            importWordList(path, name, replace, &m_core.practice(), GlVexM.languageCode, m_core.history().lists);
        refresh();
        tell(text(tid::WordLists_imported)
                 .arg(QString::number(s.words), name, QString::number(s.inDictionary),
                      QString::number(s.withoutPinyin)));
    } catch (const Error &e) {
        failed(e.message());
    }
}

void WordListsDialog::Rename_Click()
{
    const QString from = chosenList();
    if (from.isEmpty())
        return;
    const QString to = m_core.dialogs().askText(windowTitle(), text(tid::WordLists_name), from).trimmed();
    if (to.isEmpty() || to == from)
        return;
    try {
        m_core.history().lists.rename(from, to);
        emit listRenamed(from, to);
        followChosenSet(from, to);
    } catch (const Error &e) {
        failed(e.message());
    }
    refresh();
    for (int i = 0; i < Lists->count(); ++i) {
        if (Lists->item(i)->data(Qt::UserRole).toString() == to)
            Lists->setCurrentRow(i);
    }
}

void WordListsDialog::Delete_Click()
{
    const QListWidgetItem *row = Lists->currentItem();
    if (!row)
        return;
    const QString name = chosenList();
    qint64 words = 0;
    for (const ListInfo &l : m_core.history().lists.lists())
        words = l.name == name ? l.words : words;
    if (!m_core.dialogs().askYesNo(text(tid::WordLists_deleteQuestion).arg(name, QString::number(words)),
                                   windowTitle()))
        return;
    try {
        m_core.history().lists.remove(name);
        followChosenSet(name, QString());
    } catch (const Error &e) {
        failed(e.message());
    }
    refresh();
}

void WordListsDialog::followChosenSet(const QString &from, const QString &to)
{
    if (!followListChange(m_core.wordSet, from, to))
        return;
    const QString notKept =
        keepCurrentSettings(PlayerSettings(m_paths.keptSettingsFile()), m_core.wordSet, m_core.answer);
    if (!notKept.isEmpty())
        m_core.notify(notKept);
}

void WordListsDialog::showEvent(QShowEvent *e)
{
    Twips::centreOverOwner(this);
    QDialog::showEvent(e);
}

} // namespace trenix
