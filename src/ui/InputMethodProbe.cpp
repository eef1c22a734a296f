// SPDX-License-Identifier: GPL-3.0-or-later
#include "InputMethodProbe.h"

#include "GameCore.h"
#include "KeyBindings.h"
#include "Texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>

namespace trenix {

namespace {
// Qt reads an input context plugin's keys from its metadata without loading it; so do we.
QStringList pluginKeys()
{
    QStringList found;
    for (const QString &folder : QCoreApplication::libraryPaths()) {
        const QDir plugins(folder + QStringLiteral("/platforminputcontexts"));
        for (const QString &file : plugins.entryList(QDir::Files)) {
            const QJsonArray keys = QPluginLoader(plugins.filePath(file))
                                        .metaData()
                                        .value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const QJsonValue &key : keys)
                found << key.toString().toLower();
        }
    }
    return found;
}

// By /proc; without it we cannot tell.
std::optional<QStringList> processNames()
{
    const QDir proc(QStringLiteral("/proc"));
    if (!proc.exists(QStringLiteral("self")))
        return std::nullopt;
    QStringList names;
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!pid.front().isDigit())
            continue;
        QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly))
            names << QString::fromLocal8Bit(comm.readAll()).trimmed();
    }
    return names;
}
} // namespace

bool chineseInputRunning()
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("xcb"))
        return chineseInputRunning(platform, QString(), {}, {}); // nothing more to look at
    return chineseInputRunning(platform, qEnvironmentVariable("QT_IM_MODULE"), pluginKeys(), processNames());
}

bool chineseInputRunning(const QString &platform, const QString &module, const QStringList &plugins,
                         const std::optional<QStringList> &processes)
{
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform != QLatin1String("xcb"))
        return false;
    const QString wanted = module.trimmed().toLower();
    // Qt falls back to compose, which writes no Chinese, when the named plugin is missing.
    if (wanted.isEmpty() || wanted == QLatin1String("compose") || !plugins.contains(wanted))
        return false;
    if (!processes)
        return true;
    if (wanted == QLatin1String("ibus"))
        return processes->contains(QLatin1String("ibus-daemon"));
    if (wanted.startsWith(QLatin1String("fcitx")))
        return processes->contains(QLatin1String("fcitx5")) || processes->contains(QLatin1String("fcitx"));
    return true; // another input method: its plugin is there, trust it
}

void adviseWithoutInputMethod(GameCore &core, bool inputMethodRunning)
{
    if (inputMethodRunning || core.answer.mode == AnswerMode::Pinyin)
        return;
    const QString advice = text(tid::GLVex_noInputMethod).arg(keysText(Command::AnswerMode));
    core.notify(core.screen.lbmessageVisible ? core.screen.lbmessage + QStringLiteral("  ") + advice : advice);
}

} // namespace trenix
