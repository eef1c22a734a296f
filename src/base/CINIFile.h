// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads and writes named values in sections of one INI file, with the results
// of the classic profile functions (see CINIFile.cpp for the rules).
#include <QString>
#include <QtGlobal>

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

} // namespace trenix
