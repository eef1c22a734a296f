// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnswerSettings.h"

#include "GameCore.h"

namespace trenix {

namespace {
// One table per setting keeps the conf file's words and the history's in step.
template <typename T> struct Name {
    T value;
    const char *name;
};
constexpr Name<AnswerMode> kModes[] = {{AnswerMode::Characters, "characters"}, {AnswerMode::Pinyin, "pinyin"}};
constexpr Name<ToneRule> kTones[] = {{ToneRule::Optional, "optional"}, {ToneRule::Required, "required"}};
constexpr Name<HintMode> kHints[] = {{HintMode::Off, "off"}, {HintMode::Late, "late"}, {HintMode::Always, "always"}};

template <typename T, size_t N> QString nameOf(const Name<T> (&table)[N], T value)
{
    for (const Name<T> &n : table) {
        if (n.value == value)
            return QString::fromLatin1(n.name);
    }
    return QString();
}

template <typename T, size_t N> std::optional<T> parse(const Name<T> (&table)[N], const QString &name)
{
    const QString wanted = name.trimmed().toLower();
    for (const Name<T> &n : table) {
        if (wanted == QLatin1String(n.name))
            return n.value;
    }
    return std::nullopt;
}
} // namespace

QString AnswerSettings::modeName() const { return nameOf(kModes, mode); }
QString AnswerSettings::tonesName() const { return nameOf(kTones, tones); }
QString AnswerSettings::hintsName() const { return nameOf(kHints, hints); }
std::optional<AnswerMode> AnswerSettings::parseMode(const QString &name) { return parse(kModes, name); }
std::optional<ToneRule> AnswerSettings::parseTones(const QString &name) { return parse(kTones, name); }
std::optional<HintMode> AnswerSettings::parseHints(const QString &name) { return parse(kHints, name); }

bool showsHint(HintMode hints, const WordLabel &word, qint64 fieldHeight)
{
    if (!word.Visible || word.Pinyin.isEmpty())
        return false;
    return hints == HintMode::Always || (hints == HintMode::Late && word.Top * 2 > fieldHeight);
}

} // namespace trenix
