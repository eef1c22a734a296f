// SPDX-License-Identifier: GPL-3.0-or-later
#include "History.h"

#include "PracticeStore.h"
#include "Texts.h"

#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcHistoryEntries, "trenix.progress.entries", QtWarningMsg)

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
    return [&practice](int language, const QString &word) -> std::optional<QString> {
        try {
            return practice.entryOf(language, word);
        } catch (const Error &e) {
            qCInfo(lcHistoryEntries).noquote() << "no entry for" << word << "in language" << language << ":" << e.message();
            return std::nullopt;
        }
    };
}

void openHistoryToRead(History &history, const QString &path)
{
    if (!QFileInfo::exists(path))
        return;
    history.file.openExisting(path);
    if (history.file.state() == HistoryFile::State::Newer)
        throw Error(ErrorKind::StoreOpen, describeHistoryNotice(history.file.status()));
}

} // namespace trenix
