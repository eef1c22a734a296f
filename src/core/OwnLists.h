// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's own word lists, kept in the history file.
#include "WordSet.h"

#include <QString>
#include <optional>
#include <vector>

namespace trenix {

class HistoryFile;

struct ListInfo {
    QString name;
    qint64 words = 0;
};

class OwnLists {
public:
    static constexpr int kMaxName = 64; // characters

    explicit OwnLists(HistoryFile &file) : m_file(file) {}

    // The lists by name with their sizes: one grouped query.
    std::vector<ListInfo> lists();
    // A list's words in its order; nothing when there is no such list.
    std::optional<std::vector<SetWord>> words(const QString &name);
    // The pinyin and English an own list gives a word (the newest list first).
    std::optional<SetWord> ownWord(const QString &word);

    // One transaction each; throw Error (a bad or taken name, a missing list, a
    // file that cannot be written or comes from a newer program) and then change nothing.
    void save(const QString &name, const std::vector<SetWord> &words, bool replace);
    void rename(const QString &from, const QString &to);
    void remove(const QString &name);

private:
    void writable();

    HistoryFile &m_file;
};

} // namespace trenix
