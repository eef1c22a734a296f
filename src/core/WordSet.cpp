// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordSet.h"

#include "History.h"
#include "PracticeStore.h"
#include "Texts.h"

namespace trenix {

namespace {
const QString kRange = QStringLiteral("range");
const QString kReview = QStringLiteral("review");
const QString kLevel = QStringLiteral("level:");
const QString kList = QStringLiteral("list:");
} // namespace

std::optional<WordSet> WordSet::parse(const QString &value)
{
    WordSet set;
    if (value == kRange)
        return set;
    if (value == kReview) {
        set.kind = Kind::Review;
        return set;
    }
    if (value.startsWith(kLevel)) {
        const QString digits = value.mid(kLevel.size());
        set.level = digits.size() == 1 ? int(digits.front().unicode()) - '0' : -1;
        if (set.level < kLowestLevel || set.level > kHighestLevel)
            return std::nullopt;
        set.kind = Kind::Level;
        return set;
    }
    if (value.startsWith(kList) && value.size() > kList.size()) {
        set.kind = Kind::List;
        set.list = value.mid(kList.size());
        return set;
    }
    return std::nullopt;
}

QString WordSet::value() const
{
    switch (kind) {
    case Kind::Level: return kLevel + QString::number(level);
    case Kind::Review: return kReview;
    case Kind::List: return kList + list;
    case Kind::Range: break;
    }
    return kRange;
}

std::vector<SetWord> wordsOfSet(const WordSet &set, PracticeStore &practice, History &history, int languageCode,
                                qint64 nowUtcMs, QString *notice)
{
    std::vector<SetWord> words;
    if (set.kind == WordSet::Kind::Range)
        return words;
    if (set.kind == WordSet::Kind::Level) {
        words = practice.levelWords(languageCode, set.level);
        if (words.empty())
            *notice = text(tid::GLVex_emptyLevel).arg(set.level);
        return words;
    }
    // Review and lists come from the history file: a newer or unusable one says why.
    if (!history.file.status().isNone()) {
        *notice = describeHistoryNotice(history.file.status());
        return words;
    }
    if (set.kind == WordSet::Kind::Review) {
        for (const ReviewWord &r : history.review.due(nowUtcMs, WordSet::kReviewLimit)) {
            const std::optional<DetailEntry> shown =
                r.isEntry ? practice.entryDetail(languageCode, r.word) : std::optional<DetailEntry>();
            words.push_back(shown ? SetWord{shown->cz, shown->py, shown->yw} : SetWord{r.word, QString(), QString()});
        }
        if (words.empty())
            *notice = text(tid::GLVex_emptyReview);
        return words;
    }
    const std::optional<std::vector<SetWord>> list = history.lists.words(set.list);
    if (!list)
        *notice = text(tid::GLVex_noList).arg(set.list);
    else if (list->empty())
        *notice = text(tid::GLVex_emptyList).arg(set.list);
    else
        words = *list;
    return words;
}

bool followListChange(WordSet &chosen, const QString &oldName, const QString &newName)
{
    if (chosen.kind != WordSet::Kind::List || chosen.list != oldName)
        return false;
    if (newName.isEmpty())
        chosen = WordSet();
    else
        chosen.list = newName;
    return true;
}

} // namespace trenix
