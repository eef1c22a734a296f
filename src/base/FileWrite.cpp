// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileWrite.h"

#include <QSaveFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace trenix {

namespace {
bool failed(QFileDevice &file, QString *why)
{
    if (why)
        *why = file.errorString();
    return false;
}

bool flushAndSync(QFileDevice &file, QString *why)
{
    if (!file.flush())
        return failed(file, why);
#ifdef Q_OS_UNIX
    // A file system may keep a write's failure until the sync (network file
    // systems do); a pipe or a device has nothing to sync (EINVAL).
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0 && errno != EINVAL) {
        if (why)
            *why = qt_error_string(errno);
        return false;
    }
#endif
    return true;
}
} // namespace

bool writeAndSync(QFileDevice &file, const QByteArray &bytes, QString *why)
{
    if (file.write(bytes) != bytes.size())
        return failed(file, why);
    return flushAndSync(file, why);
}

bool commitSave(QSaveFile &file, QString *why)
{
    if (!flushAndSync(file, why)) {
        file.cancelWriting();
        file.commit(); // removes the temporary file; the old one is not touched
        return false;
    }
    if (!file.commit())
        return failed(file, why);
    return true;
}

} // namespace trenix
