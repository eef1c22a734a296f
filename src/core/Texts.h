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
// formatOr, and the fixed text also when the language store cannot be read
// (the command line runs without one).
QString formatOrFixed(const QString &textId, const QString &fixed, int argCount);

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
// Word sets and own lists; their code names them where it uses them.
inline const std::array kWordSetTexts{
    QStringLiteral("GLVex.noList"),
    QStringLiteral("GLVex.emptyList"),
    QStringLiteral("setForm.words"),
    QStringLiteral("setForm.setRange"),
    QStringLiteral("setForm.setLevel"),
    QStringLiteral("setForm.setReview"),
    QStringLiteral("setForm.setList"),
    QStringLiteral("setForm.lists"),
    QStringLiteral("WordLists.caption"),
    QStringLiteral("WordLists.item"),
    QStringLiteral("WordLists.none"),
    QStringLiteral("WordLists.import"),
    QStringLiteral("WordLists.rename"),
    QStringLiteral("WordLists.delete"),
    QStringLiteral("WordLists.close"),
    QStringLiteral("WordLists.filter"),
    QStringLiteral("WordLists.name"),
    QStringLiteral("WordLists.replace"),
    QStringLiteral("WordLists.deleteQuestion"),
    QStringLiteral("WordLists.imported"),
    QStringLiteral("WordLists.notChanged"),
    QStringLiteral("Import.badUtf8"),
    QStringLiteral("Import.control"),
    QStringLiteral("Import.fields"),
    QStringLiteral("Import.noWord"),
    QStringLiteral("Import.tooLong"),
    QStringLiteral("Import.tooMany"),
    QStringLiteral("Import.noWords"),
    QStringLiteral("Import.tooLarge"),
    QStringLiteral("Import.cannotRead"),
    QStringLiteral("Lists.badName"),
    QStringLiteral("Lists.missing"),
    QStringLiteral("Lists.exists")};
} // namespace textid

} // namespace trenix
