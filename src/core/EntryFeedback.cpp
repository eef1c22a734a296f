// SPDX-License-Identifier: GPL-3.0-or-later
#include "EntryFeedback.h"

#include "Texts.h"

namespace trenix {

QString feedbackMessage(const EntryVerdict &verdict)
{
    switch (verdict.kind) {
    case EntryVerdict::Kind::Hit: return QString();
    case EntryVerdict::Kind::NotOnField: return text(tid::GLVex_notOnField).arg(verdict.entry);
    case EntryVerdict::Kind::Buried: return text(tid::GLVex_buried).arg(verdict.entry, verdict.cover);
    case EntryVerdict::Kind::WrongTone: return text(tid::GLVex_wrongTone).arg(verdict.word, verdict.reading);
    }
    return QString();
}

} // namespace trenix
