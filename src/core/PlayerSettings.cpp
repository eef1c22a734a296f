// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerSettings.h"

#include "CINIFile.h"
#include "Error.h"
#include "GameCore.h"
#include "GlVexM.h"
#include "OwnLists.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSettings>
#include <algorithm>
#include <optional>
#include <pwd.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcKept, "trenix.settings")

namespace trenix {

namespace {
constexpr qint16 kSpeedLevels[] = {10, 8, 6, 4, 2}; // the settings dialog's options
constexpr qint64 kMaxKeptSettingsBytes = 1024 * 1024;

std::optional<qint16> readInt16(const QSettings &s, const char *key, bool *present)
{
    const QVariant value = s.value(QLatin1String(key));
    *present = value.isValid();
    bool ok = false;
    const int n = value.toString().trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767)
        return std::nullopt;
    return qint16(n);
}

// One warning per bad value; each keeps its default.
template <typename Warn>
void readAnswer(const QSettings &s, const AnswerSettings &defaults, AnswerSettings &answer, const Warn &warn)
{
    const auto read = [&](const char *key, auto parse, auto &into, const QString &allowed, const QString &kept) {
        const QVariant value = s.value(QLatin1String(key));
        if (!value.isValid())
            return;
        if (const auto parsed = parse(value.toString()))
            into = *parsed;
        else
            warn(QStringLiteral("%1 \"%2\" is not %3; it stays %4")
                     .arg(QLatin1String(key), value.toString(), allowed, kept));
    };
    read("answer", &AnswerSettings::parseMode, answer.mode, QStringLiteral("characters or pinyin"),
         defaults.modeName());
    read("tones", &AnswerSettings::parseTones, answer.tones, QStringLiteral("optional or required"),
         defaults.tonesName());
    read("hints", &AnswerSettings::parseHints, answer.hints, QStringLiteral("off, late or always"),
         defaults.hintsName());
    const auto flag = [](const QString &v) -> std::optional<bool> {
        const QString t = v.trimmed().toLower();
        if (t == QLatin1String("true"))
            return true;
        if (t == QLatin1String("false"))
            return false;
        return std::nullopt;
    };
    read("toneColours", flag, answer.toneColours, QStringLiteral("true or false"),
         defaults.toneColours ? QStringLiteral("true") : QStringLiteral("false"));
}

// One key of the file, read as read() reads the file: nothing from a missing or oversized one.
QVariant keptValue(const QString &path, const QString &key)
{
    if (path.isEmpty() || !QFileInfo::exists(path) || QFileInfo(path).size() > kMaxKeptSettingsBytes)
        return {};
    return QSettings(path, QSettings::IniFormat).value(key);
}

// A string as QSettings writes one, so that a comma or a semicolon reads back whole.
QString quotedIni(QString value)
{
    value.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    return u'"' + value + u'"';
}

// Keys of one group rewritten by our own checked rewrite, all or none; throws
// Error naming the file and what could not be kept.
void keepValues(const QString &path, const QString &group, const QList<std::pair<QString, QString>> &values,
                const char *what)
{
    const QString folder = QFileInfo(path).absolutePath();
    QString why;
    if (!QDir().mkpath(folder))
        why = QStringLiteral("the folder %1 cannot be made").arg(QDir::toNativeSeparators(folder));
    else if (writeIniValues(path, group, values, &why))
        return;
    throw Error(ErrorKind::File, QStringLiteral("%1: %2 cannot be kept (%3); the file is as it was")
                                     .arg(QDir::toNativeSeparators(path), QLatin1String(what), why));
}
} // namespace

PracticeChoices PlayerSettings::read(const PracticeChoices &defaults, QStringList *warnings) const
{
    PracticeChoices choices = defaults;
    const auto warn = [&](const QString &line) {
        if (warnings)
            *warnings << QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(m_path), line);
    };
    if (m_path.isEmpty() || !QFileInfo::exists(m_path))
        return choices;
    // As config.dat is read: a huge file must not take the memory it would fill.
    if (QFileInfo(m_path).size() > kMaxKeptSettingsBytes) {
        warn(QStringLiteral("is larger than 1 MiB; it is not read, and the defaults are used"));
        return choices;
    }
    QSettings s(m_path, QSettings::IniFormat);
    if (s.status() != QSettings::NoError) {
        warn(QStringLiteral("cannot be read; the defaults are used"));
        return choices;
    }
    s.beginGroup(QStringLiteral("practice"));
    bool present = false;
    const std::optional<qint16> speed = readInt16(s, "speedLevel", &present);
    if (speed && std::find(std::begin(kSpeedLevels), std::end(kSpeedLevels), *speed) != std::end(kSpeedLevels))
        choices.speedLevel = *speed;
    else if (present)
        warn(QStringLiteral("speedLevel is not one of 10, 8, 6, 4, 2; the speed level stays %1")
                 .arg(defaults.speedLevel));

    bool fromPresent = false, toPresent = false;
    const std::optional<qint16> from = readInt16(s, "rangeFrom", &fromPresent);
    const std::optional<qint16> to = readInt16(s, "rangeTo", &toPresent);
    if (from && to && *from <= *to) {
        choices.wordFrom = *from;
        choices.wordTo = *to;
    } else if (fromPresent || toPresent) {
        // The two make one range: one bad end voids both.
        warn(QStringLiteral("rangeFrom and rangeTo are not a range of whole numbers from -32768 to 32767;"
                            " the range stays %1 to %2")
                 .arg(defaults.wordFrom)
                 .arg(defaults.wordTo));
    }

    readAnswer(s, defaults.answer, choices.answer, warn);

    const QVariant set = s.value(QStringLiteral("wordSet"));
    if (const std::optional<WordSet> parsed = WordSet::parse(set.toString()))
        choices.wordSet = *parsed;
    else if (set.isValid())
        warn(QStringLiteral("wordSet \"%1\" is not range, level:1 to level:6, hsk3:1 to hsk3:7, review or"
                            " list:NAME; the words come from the range")
                 .arg(set.toString()));
    return choices;
}

void PlayerSettings::write(const PracticeChoices &choices) const
{
    // Not QSettings: its save can report success after a flush that failed,
    // leaving an empty or cut file.
    keepValues(m_path, QStringLiteral("practice"),
               {{QStringLiteral("speedLevel"), QString::number(choices.speedLevel)},
                {QStringLiteral("rangeFrom"), QString::number(choices.wordFrom)},
                {QStringLiteral("rangeTo"), QString::number(choices.wordTo)},
                {QStringLiteral("wordSet"), quotedIni(choices.wordSet.value())},
                {QStringLiteral("answer"), choices.answer.modeName()},
                {QStringLiteral("tones"), choices.answer.tonesName()},
                {QStringLiteral("hints"), choices.answer.hintsName()},
                {QStringLiteral("toneColours"),
                 choices.answer.toneColours ? QStringLiteral("true") : QStringLiteral("false")}},
               "the settings");
}

QString accountFullName()
{
    const passwd *account = getpwuid(getuid());
    if (!account)
        return qEnvironmentVariable("USER");
    // The comment field: "Full Name,room,phone,...".
    const QString full = QString::fromLocal8Bit(account->pw_gecos ? account->pw_gecos : "").section(u',', 0, 0);
    return full.trimmed().isEmpty() ? QString::fromLocal8Bit(account->pw_name) : full.trimmed();
}

QString PlayerSettings::playerName() const
{
    const QString name = keptValue(m_path, QStringLiteral("player/name")).toString().trimmed();
    return name.isEmpty() ? accountFullName() : name;
}

void PlayerSettings::keepPlayerName(const QString &name) const
{
    if (m_path.isEmpty())
        return;
    // An empty name gives the account's name back.
    keepValues(m_path, QStringLiteral("player"), {{QStringLiteral("name"), quotedIni(name.trimmed())}},
               "the player's name");
}

bool PlayerSettings::soundOn() const { return keptValue(m_path, QStringLiteral("practice/sound")).toBool(); }

void PlayerSettings::keepSound(bool on) const
{
    if (m_path.isEmpty())
        return;
    keepValues(m_path, QStringLiteral("practice"),
               {{QStringLiteral("sound"), on ? QStringLiteral("true") : QStringLiteral("false")}}, "the sound switch");
}

void applyKeptSettings(GameCore &core, const PlayerSettings &kept, OwnLists &lists)
{
    core.playerName = kept.playerName();
    if (kept.path().isEmpty())
        return;
    QStringList warnings;
    const PracticeChoices defaults{GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, core.wordSet, core.answer};
    PracticeChoices choices = kept.read(defaults, &warnings);
    if (choices.wordSet.kind == WordSet::Kind::List) {
        bool found = false;
        for (const ListInfo &list : lists.lists())
            found = found || list.name == choices.wordSet.list;
        if (!found) {
            warnings << QStringLiteral("%1: wordSet names the list \"%2\", which does not exist; the words come from"
                                       " the range")
                            .arg(QDir::toNativeSeparators(kept.path()), choices.wordSet.list);
            choices.wordSet = WordSet();
        }
    }
    for (const QString &line : std::as_const(warnings))
        qCWarning(lcKept).noquote() << line;
    GlVexM.wordFrom = choices.wordFrom;
    GlVexM.wordTo = choices.wordTo;
    core.wordSet = choices.wordSet;
    core.answer = choices.answer;
    if (choices.speedLevel != GlVexM.speedLevel) {
        // As the window's load sets them, with the kept level.
        GlVexM.speedLevel = choices.speedLevel;
        core.pictScroll.Interval = int(choices.speedLevel) * 1000;
        core.CreatWord.Interval = int(choices.speedLevel) * 1000;
    }
}

QString keepCurrentSettings(const PlayerSettings &kept, const WordSet &wordSet, const AnswerSettings &answer)
{
    if (kept.path().isEmpty())
        return QString();
    try {
        kept.write({GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, wordSet, answer});
    } catch (const Error &e) {
        qCWarning(lcKept).noquote() << e.message();
        return e.message();
    }
    return QString();
}

} // namespace trenix
