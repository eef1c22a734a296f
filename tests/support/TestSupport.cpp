// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestSupport.h"

std::unique_ptr<trenix::test::ProgramFolder> trenix::test::gameFolder(const Dictionaries &dictionaries, qint16 from,
                                                                      qint16 to, qint16 languageCode)
{
    auto folder = std::make_unique<ProgramFolder>();
    folder->copyFromBuild({QLatin1String(kLanguageFile)});
    folder->makePracticeStore(dictionaries);
    folder->install();
    GlVexM.storeConn = Store(folder->file(QLatin1String(kStoreFile)), kStorePassword, Store::Mode::ReadWrite);
    GlVexM.wordFrom = from;
    GlVexM.wordTo = to;
    GlVexM.languageCode = languageCode;
    return folder;
}

void trenix::test::GameFixture::start(const Dictionaries &dictionaries, qint16 from, qint16 to, qint16 languageCode,
                                      GameView *view)
{
    stop();
    dialogs = ScriptedDialogs();
    folder = gameFolder(dictionaries, from, to, languageCode);
    loadCore(view);
}
