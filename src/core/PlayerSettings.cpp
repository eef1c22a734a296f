// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerSettings.h"

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

// Writes what was set; throws Error naming the file and what could not be kept.
void syncOrThrow(QSettings &s, const QString &path, const char *what)
{
    s.sync();
    if (s.status() != QSettings::NoError)
        throw Error(ErrorKind::File,
                    QStringLiteral("%1: %2 cannot be kept (%3)")
                        .arg(QDir::toNativeSeparators(path), QLatin1String(what),
                             s.status() == QSettings::AccessError ? QStringLiteral("cannot write the file")
                                                                  : QStringLiteral("the file is not an INI file")));
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

    const QVariant set = s.value(QStringLiteral("wordSet"));
    if (const std::optional<WordSet> parsed = WordSet::parse(set.toString()))
        choices.wordSet = *parsed;
    else if (set.isValid())
        warn(QStringLiteral("wordSet \"%1\" is not range, level:1 to level:6, review or list:NAME; the words come"
                            " from the range")
                 .arg(set.toString()));
    return choices;
}

void PlayerSettings::write(const PracticeChoices &choices) const
{
    QSettings s(m_path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("practice"));
    s.setValue(QStringLiteral("speedLevel"), int(choices.speedLevel));
    s.setValue(QStringLiteral("rangeFrom"), int(choices.wordFrom));
    s.setValue(QStringLiteral("rangeTo"), int(choices.wordTo));
    s.setValue(QStringLiteral("wordSet"), choices.wordSet.value());
    syncOrThrow(s, m_path, "the settings");
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
    if (!m_path.isEmpty() && QFileInfo::exists(m_path)) {
        const QString name = QSettings(m_path, QSettings::IniFormat).value(QStringLiteral("player/name")).toString();
        if (!name.trimmed().isEmpty())
            return name.trimmed();
    }
    return accountFullName();
}

void PlayerSettings::keepPlayerName(const QString &name) const
{
    if (m_path.isEmpty())
        return;
    QSettings s(m_path, QSettings::IniFormat);
    if (name.trimmed().isEmpty())
        s.remove(QStringLiteral("player/name"));
    else
        s.setValue(QStringLiteral("player/name"), name.trimmed());
    syncOrThrow(s, m_path, "the player's name");
}

bool PlayerSettings::soundOn() const
{
    return !m_path.isEmpty() && QFileInfo::exists(m_path)
           && QSettings(m_path, QSettings::IniFormat).value(QStringLiteral("practice/sound")).toBool();
}

void PlayerSettings::keepSound(bool on) const
{
    if (m_path.isEmpty())
        return;
    QSettings s(m_path, QSettings::IniFormat);
    s.setValue(QStringLiteral("practice/sound"), on);
    syncOrThrow(s, m_path, "the sound switch");
}

void applyKeptSettings(GameCore &core, const PlayerSettings &kept, OwnLists &lists)
{
    core.playerName = kept.playerName();
    if (kept.path().isEmpty())
        return;
    QStringList warnings;
    const PracticeChoices defaults{GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, core.wordSet};
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
    if (choices.speedLevel != GlVexM.speedLevel) {
        // As the window's load sets them, with the kept level.
        GlVexM.speedLevel = choices.speedLevel;
        core.pictScroll.Interval = int(choices.speedLevel) * 1000;
        core.CreatWord.Interval = int(choices.speedLevel) * 1000;
    }
}

QString keepCurrentSettings(const PlayerSettings &kept, const WordSet &wordSet)
{
    if (kept.path().isEmpty())
        return QString();
    try {
        kept.write({GlVexM.speedLevel, GlVexM.wordFrom, GlVexM.wordTo, wordSet});
    } catch (const Error &e) {
        qCWarning(lcKept).noquote() << e.message();
        return e.message();
    }
    return QString();
}

} // namespace trenix
