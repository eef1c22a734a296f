// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadableNames.h"

#include "Texts.h"
#include "WordSet.h"

#include <QRegularExpression>

namespace trenix {

QString languageName(int code)
{
    switch (code) {
    case 1: return QStringLiteral("English");
    case 2: return QStringLiteral("简体中文");
    case 3: return QStringLiteral("繁體中文");
    }
    return QString::number(code);
}

QString dictionaryName(const QString &table, int inLanguage)
{
    static const QRegularExpression dictionary(QStringLiteral("^zidian(\\d+)$"));
    const QRegularExpressionMatch m = dictionary.match(table);
    return m.hasMatch() ? text(tid::History_dictionary, inLanguage).arg(languageName(m.captured(1).toInt())) : table;
}

QString setName(const QString &selection, int inLanguage)
{
    static const QRegularExpression range(QStringLiteral("^range:(-?\\d+)-(-?\\d+)$"));
    if (const QRegularExpressionMatch m = range.match(selection); m.hasMatch())
        return text(tid::History_setRange, inLanguage).arg(m.captured(1), m.captured(2));
    const std::optional<WordSet> set = WordSet::parse(selection);
    if (!set)
        return selection;
    switch (set->kind) {
    case WordSet::Kind::Range: return text(tid::setForm_setRange, inLanguage);
    case WordSet::Kind::Level:
    case WordSet::Kind::Hsk3: return levelName(set->kind, set->level, inLanguage);
    case WordSet::Kind::Review: return text(tid::History_setReview, inLanguage);
    case WordSet::Kind::List: return text(tid::History_setList, inLanguage).arg(set->list);
    }
    return selection;
}

QString speedName(int level, int inLanguage)
{
    switch (level) {
    case 10: return text(tid::MS, inLanguage);
    case 8: return text(tid::PTMS, inLanguage);
    case 6: return text(tid::PTSD, inLanguage);
    case 4: return text(tid::PTKS, inLanguage);
    case 2: return text(tid::KS, inLanguage);
    }
    return QString::number(level);
}

} // namespace trenix
