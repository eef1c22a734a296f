// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes that either reach the disk whole or say why not. QSaveFile::commit()
// alone is not enough: Qt 6.4 renames the new file over the old one even when
// the flush of its last buffered bytes failed (a full disk), so the old file is
// lost for an empty or cut one, and commit() still returns true.
#include <QByteArray>
#include <QString>

class QFileDevice;
class QSaveFile;

namespace trenix {

// Writes all of bytes, then flushes and syncs them: each step checked. False,
// with the reason in why, when any of them fails.
bool writeAndSync(QFileDevice &file, const QByteArray &bytes, QString *why);

// Completes a save: flush and sync checked before the rename. On failure the
// save is cancelled, the old file stays as it was, and why says what failed.
bool commitSave(QSaveFile &file, QString *why);

} // namespace trenix
