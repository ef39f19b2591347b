#include "gui/doc/save_file.h"

#include "core/doc/file_read.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

namespace zu {
int writeFileAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    errno = 0;
    // Unbuffered, so that each write reports what reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // QSaveFile does not always leave errno behind (it refuses an
        // existing read-only file by itself); then ask the file system.
        const int error = errno;
        return error != 0 ? error : probeWriteError(QFile::encodeName(path).toStdString());
    }
    // A short write on a full disk is not an error to Qt: the count it
    // returns is the only sign, and commit() would still succeed with a cut
    // file. Every count is checked.
    constexpr qint64 chunk = qint64(1) << 20;
    const char* data = bytes.data();
    qint64 left = static_cast<qint64>(bytes.size());
    while (left > 0) {
        const qint64 want = std::min(left, chunk);
        errno = 0;
        const qint64 wrote = file.write(data, want);
        if (wrote != want) {
            const int error = errno != 0 ? errno : EIO;
            file.cancelWriting();
            return error;
        }
        data += wrote;
        left -= wrote;
    }
    errno = 0;
    if (!file.commit()) {
        const int error = errno;
        if (error != 0)
            return error;
        return file.error() == QFileDevice::ResourceError ? ENOSPC : EIO;
    }
    return 0;
}

} // namespace zu
