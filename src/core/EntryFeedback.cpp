#include "EntryFeedback.h"

#include "Texts.h"

namespace trenix {

QString feedbackMessage(const EntryVerdict &verdict)
{
    switch (verdict.kind) {
    case EntryVerdict::Kind::Hit:
        return QString();
    case EntryVerdict::Kind::NotOnField:
        return formatOr(textid::kNotOnField, QStringLiteral("《%1》 is not on the field"), 1).arg(verdict.entry);
    case EntryVerdict::Kind::Buried:
        return formatOr(textid::kBuried, QStringLiteral("《%1》 is buried under 《%2》"), 2)
            .arg(verdict.entry, verdict.cover);
    }
    return QString();
}

} // namespace trenix
