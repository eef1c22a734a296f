#pragma once
// Texts added beside the looked-up captions: their identifiers, and lookups
// that fall back to a fixed text when the language store has none.
#include <QString>
#include <array>

namespace trenix {

// The looked-up text, or the fixed one when the store has nothing for it.
QString textOr(const QString &textId, const QString &fixed);
// The same for a text with %1 .. %argCount: a looked-up text that lacks one of
// them would lose part of the message, so the fixed text stands in.
QString formatOr(const QString &textId, const QString &fixed, int argCount);

namespace textid {
inline const QString kNotOnField = QStringLiteral("GLVex.notOnField");
inline const QString kBuried = QStringLiteral("GLVex.buried");
inline const QString kNoWords = QStringLiteral("GLVex.noWords");
inline const QString kStartFailed = QStringLiteral("GLVex.startFailed");
inline const QString kMenuAbout = QStringLiteral("GLVex.menuAbout");
inline const QString kMenuLanguage = QStringLiteral("GLVex.menuLanguage");
inline const QString kLanguageNotSaved = QStringLiteral("GLVex.languageNotSaved");
inline const QString kTipStart = QStringLiteral("GLVex.tipStart");
inline const QString kTipPause = QStringLiteral("GLVex.tipPause");
inline const QString kTipEnd = QStringLiteral("GLVex.tipEnd");
inline const QString kTipSettings = QStringLiteral("GLVex.tipSettings");
inline const QString kTipExit = QStringLiteral("GLVex.tipExit");
inline const QString kTipHelp = QStringLiteral("GLVex.tipHelp");
inline const QString kTipProgress = QStringLiteral("GLVex.tipProgress");
inline const QString kSettingsTitle = QStringLiteral("setForm.messageTitle");
inline const QString kNotNumeric = QStringLiteral("setForm.notNumeric");
inline const QString kReversed = QStringLiteral("setForm.reversed");
inline const QString kOutOfRange = QStringLiteral("setForm.outOfRange");
inline const QString kLanguageLabel = QStringLiteral("setForm.language");
inline const QString kAboutCaption = QStringLiteral("frmAbout.caption");
inline const QString kAboutTitle = QStringLiteral("frmAbout.Label1");
inline const QString kAboutVersion = QStringLiteral("frmAbout.Label2");
inline const QString kAboutOk = QStringLiteral("frmAbout.Command1");
inline const QString kHelpCannotShow = QStringLiteral("Frmhelp.cannotShow");
inline const QString kHelpMissing = QStringLiteral("Frmhelp.missing");
inline const QString kHelpUnreadable = QStringLiteral("Frmhelp.unreadable");

// Every identifier above; each must exist in every interface language.
inline const std::array kAll{kNotOnField, kBuried, kNoWords, kStartFailed, kMenuAbout, kMenuLanguage,
                             kLanguageNotSaved, kTipStart, kTipPause, kTipEnd, kTipSettings, kTipExit,
                             kTipHelp, kSettingsTitle, kNotNumeric, kReversed, kOutOfRange, kLanguageLabel,
                             kAboutCaption, kAboutTitle, kAboutVersion, kAboutOk, kHelpCannotShow,
                             kHelpMissing, kHelpUnreadable};
} // namespace textid

} // namespace trenix
