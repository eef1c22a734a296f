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
bool pluginInstalled(const QString &module)
{
    for (const QString &folder : QCoreApplication::libraryPaths()) {
        const QDir plugins(folder + QStringLiteral("/platforminputcontexts"));
        for (const QString &file : plugins.entryList(QDir::Files)) {
            const QJsonArray keys = QPluginLoader(plugins.filePath(file))
                                        .metaData()
                                        .value(QStringLiteral("MetaData"))
                                        .toObject()
                                        .value(QStringLiteral("Keys"))
                                        .toArray();
            for (const QJsonValue &key : keys) {
                if (key.toString().compare(module, Qt::CaseInsensitive) == 0)
                    return true;
            }
        }
    }
    return false;
}

// Any process of these names, by /proc; without /proc we cannot tell and trust the setting.
bool processRunning(const QStringList &names)
{
    const QDir proc(QStringLiteral("/proc"));
    if (!proc.exists(QStringLiteral("self")))
        return true;
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!pid.front().isDigit())
            continue;
        QFile comm(proc.filePath(pid + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && names.contains(QString::fromLocal8Bit(comm.readAll()).trimmed()))
            return true;
    }
    return false;
}
} // namespace

bool chineseInputRunning()
{
    const QString platform = QGuiApplication::platformName();
    if (platform.startsWith(QLatin1String("wayland")))
        return true;
    if (platform != QLatin1String("xcb"))
        return false;
    const QString module = qEnvironmentVariable("QT_IM_MODULE").trimmed().toLower();
    if (module.isEmpty() || module == QLatin1String("compose") || module == QLatin1String("none")
        || !pluginInstalled(module))
        return false; // Qt falls back to compose
    if (module == QLatin1String("ibus"))
        return processRunning({QStringLiteral("ibus-daemon")});
    if (module.startsWith(QLatin1String("fcitx")))
        return processRunning({QStringLiteral("fcitx5"), QStringLiteral("fcitx")});
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
