#include "Texts.h"

#include "Error.h"
#include "GlVexM.h"

namespace trenix {

QString textOr(const QString &textId, const QString &fixed)
{
    const QString found = lookupText(textId);
    return found.isEmpty() ? fixed : found;
}

QString formatOr(const QString &textId, const QString &fixed, int argCount)
{
    const QString found = lookupText(textId);
    for (int i = 1; i <= argCount; ++i) {
        if (!found.contains(u'%' + QString::number(i)))
            return fixed;
    }
    return found.isEmpty() ? fixed : found;
}

QString formatOrFixed(const QString &textId, const QString &fixed, int argCount)
{
    try {
        return formatOr(textId, fixed, argCount);
    } catch (const Error &) {
        return fixed;
    }
}

} // namespace trenix
