#include "doc/save_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace zu {
namespace {

// QSaveFile does not always leave errno behind (it refuses an existing
// read-only file by itself, for instance); then ask the file system why
// writing there fails.
int probeWriteError(const QString& path) {
    const QFileInfo info(path);
    const QFileInfo folder(info.absolutePath());
    if (!folder.exists())
        return ENOENT;
    if (!folder.isDir())
        return ENOTDIR;
    if (info.exists() && info.isDir())
        return EISDIR;
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0)
        return errno;
    if (info.exists() && !info.isWritable())
        return EACCES;
    return EIO;
}

} // namespace

int writeFileAtomically(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    errno = 0;
    // Unbuffered, so that each write reports what reached the file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int error = errno;
        return error != 0 ? error : probeWriteError(path);
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
