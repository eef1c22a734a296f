// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads and writes named values in sections of one INI file, with the results
// of the classic profile functions (see CINIFile.cpp for the rules).
#include <QList>
#include <QString>
#include <QtGlobal>
#include <utility>

namespace trenix {

class CINIFile {
public:
    qint16 ErrorCode = 0;
    QString ErrorMsg;

    void SpecifyIniFile(const QString &FilePathName);
    qint16 WriteString(const QString &Section, const QString &Key, const QString &value);
    qint16 ReadString(const QString &Section, const QString &Key, qint32 Size, QString &StringReaded);
    qint16 ReadNumber(const QString &Section, const QString &Key, qint32 &NumberReaded);

    const QString &fileName() const { return IniFileName; }

private:
    void ResetState();
    bool CheckIniFile();
    QString IniFileName;
};

// Several keys of one section in one rewrite, by the rules of WriteString: all
// of them or, when the file cannot be written, none (false, the reason in why).
bool writeIniValues(const QString &path, const QString &section, const QList<std::pair<QString, QString>> &values,
                    QString *why);

} // namespace trenix
