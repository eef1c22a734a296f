// SPDX-License-Identifier: GPL-3.0-or-later
#include "History.h"

#include "DataPaths.h"
#include "PracticeStore.h"
#include "Texts.h"

#include <QFileInfo>
#include <map>
#include <memory>

namespace trenix {

namespace {
QString cause(const HistoryNotice &n)
{
    switch (n.cause) {
    case HistoryNotice::Cause::ReadOnly: return text(tid::Progress_readOnly).arg(n.file);
    case HistoryNotice::Cause::DiskFull: return text(tid::Progress_diskFull).arg(n.file);
    case HistoryNotice::Cause::CannotSetAside: return text(tid::Progress_cannotSetAside).arg(n.file, n.detail);
    case HistoryNotice::Cause::Engine: return n.detail;
    case HistoryNotice::Cause::None: break;
    }
    return text(tid::Progress_closed);
}
} // namespace

QString describeHistoryNotice(const HistoryNotice &n)
{
    switch (n.kind) {
    case HistoryNotice::Kind::Newer: return text(tid::Progress_newer).arg(n.file);
    case HistoryNotice::Kind::SetAside: return text(tid::Progress_damaged).arg(n.detail);
    case HistoryNotice::Kind::Unavailable: return text(tid::Progress_unavailable).arg(cause(n));
    case HistoryNotice::Kind::NotRecorded: return text(tid::Progress_notRecorded).arg(cause(n));
    case HistoryNotice::Kind::None: break;
    }
    return text(tid::Progress_closed);
}

EntryResolver entriesIn(PracticeStore &practice)
{
    auto held = std::make_shared<std::map<int, bool>>(); // whether each language has a dictionary
    return [&practice, held](int language, const QString &word) -> std::optional<QString> {
        auto it = held->find(language);
        if (it == held->end())
            it = held->emplace(language, practice.hasDictionary(language)).first;
        return it->second ? practice.entryOf(language, word) : std::nullopt;
    };
}

EntryResolver entriesInFile(const QString &storePath)
{
    struct Opened {
        explicit Opened(const QString &path) : store(path, QByteArray(kStorePassword), Store::Mode::ReadOnly) {}
        Store store;
        PracticeStore practice{store};
        EntryResolver entries = entriesIn(practice);
    };
    auto opened = std::make_shared<std::unique_ptr<Opened>>();
    return [storePath, opened](int language, const QString &word) {
        if (!*opened) { // a key derivation only when an older history needs it
            if (storePath.isEmpty())
                throw Error(ErrorKind::StoreMissing,
                            QStringLiteral("%1 comes from an earlier Trenix and needs the practice store to be brought"
                                           " forward; start Trenix once")
                                .arg(QLatin1String(kHistoryFile)));
            *opened = std::make_unique<Opened>(storePath);
        }
        return (*opened)->entries(language, word);
    };
}

void openHistoryToRead(History &history, const QString &path, const QString &storePath)
{
    if (!QFileInfo::exists(path))
        return;
    history.file.setEntryResolver(entriesInFile(storePath));
    history.file.openExisting(path);
    if (history.file.state() == HistoryFile::State::Newer)
        throw Error(ErrorKind::StoreOpen, describeHistoryNotice(history.file.status()));
}

} // namespace trenix
