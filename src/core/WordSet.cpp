// SPDX-License-Identifier: GPL-3.0-or-later
#include "WordSet.h"

#include "History.h"
#include "PracticeStore.h"
#include "Texts.h"

#include <QDateTime>
#include <tuple>

namespace trenix {

namespace {
const QString kRange = QStringLiteral("range");
const QString kReview = QStringLiteral("review");
const QString kLevel = QStringLiteral("level:");
const QString kHsk3 = QStringLiteral("hsk3:");
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
    for (const auto &[prefix, kind, highest] :
         {std::tuple(kLevel, Kind::Level, kHighestLevel), std::tuple(kHsk3, Kind::Hsk3, kHsk3Band)}) {
        if (!value.startsWith(prefix))
            continue;
        const QString digits = value.mid(prefix.size());
        set.level = digits.size() == 1 ? int(digits.front().unicode()) - '0' : -1;
        if (set.level < kLowestLevel || set.level > highest)
            return std::nullopt;
        set.kind = kind;
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
    case Kind::Hsk3: return kHsk3 + QString::number(level);
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
    if (set.kind == WordSet::Kind::Level || set.kind == WordSet::Kind::Hsk3) {
        words = set.kind == WordSet::Kind::Level ? practice.levelWords(languageCode, set.level)
                                                 : practice.hsk3Words(languageCode, set.level);
        if (words.empty())
            *notice = text(tid::GLVex_emptyLevel).arg(levelName(set.kind, set.level, languageCode));
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
            *notice = nothingDueNotice(history);
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

QString levelName(WordSet::Kind standard, int level, int inLanguage)
{
    if (standard == WordSet::Kind::Level)
        return text(tid::WordSet_hsk2, inLanguage).arg(level);
    return level == WordSet::kHsk3Band ? text(tid::WordSet_hsk3Band, inLanguage)
                                       : text(tid::WordSet_hsk3, inLanguage).arg(level);
}

QString nothingDueNotice(History &history)
{
    const std::optional<qint64> next = history.review.nextDue();
    if (!next)
        return text(tid::GLVex_emptyReview);
    const QDateTime at = QDateTime::fromMSecsSinceEpoch(*next, history.file.clock().timeZone());
    return text(tid::GLVex_noneDue).arg(at.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString launchNotice(History &history, qint64 nowUtcMs)
{
    if (const HistoryNotice notice = history.file.takeNotice(); !notice.isNone())
        return describeHistoryNotice(notice);
    const qint64 due = history.review.dueBy(nowUtcMs);
    return due > 0 ? text(tid::GLVex_reviewDue).arg(due) : QString();
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
