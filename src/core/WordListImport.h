// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The player's own word lists from text files: one word per line, optionally
// followed by TAB pinyin TAB English. A file is taken whole or not at all.
#include "WordSet.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace trenix {

class PracticeStore;
class OwnLists;
struct DataPaths;

inline constexpr qint64 kMaxListFileBytes = qint64(4) * 1024 * 1024;
inline constexpr int kMaxListWords = 10000;
inline constexpr int kMaxWordCharacters = 16; // code points: one per Chinese character, also beyond the BMP

// The words of a file's bytes in their order, duplicates dropped (the first
// kept). A UTF-8 byte order mark, CRLF line ends, blank lines and lines whose
// first non-blank character is '#' are accepted. Throws Error naming the file
// and line for invalid UTF-8, a control character, a word of more than 16
// characters, more than three fields, more than 10,000 words, or no word at all.
std::vector<SetWord> parseWordList(const QByteArray &bytes, const QString &fileName);

struct ImportSummary {
    qint64 words = 0;         // kept in the list
    qint64 inDictionary = 0;  // of them, found in the dictionary
    qint64 withoutPinyin = 0; // neither the file nor the dictionary gives pinyin
};

// Reads the file (at most 4 MiB), fills empty pinyin and English from the
// dictionary of languageCode where it holds the word (practice may be null:
// no dictionary), and stores the list in one transaction. Throws Error; nothing
// is stored then.
ImportSummary importWordList(const QString &path, const QString &name, bool replace, PracticeStore *practice,
                             int languageCode, OwnLists &lists);

// trenix --import-words FILE --list NAME [--replace] and trenix --list-words:
// the exit status; the summary or the reason on stderr, the lists on stdout.
int importWordsCommand(const QString &progressPath, const QString &storePath, int languageCode, const QString &file,
                       const QString &name, bool replace);
int listWordsCommand(const QString &progressPath, const QString &storePath);
// The dictionary language for the command line, as start-up would choose it:
// the player's config.dat, then the one in the program's folder, else 2.
// Messages stay in English (GlVexM.languageCode is left at 0).
int commandLineLanguage(const DataPaths &paths);

} // namespace trenix
