// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "RecordFolder.h"

#include "Error.h"
#include "Paths.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// Every file is reached through the folder's own descriptor, never by its path again, and opened
// with O_NOFOLLOW: what is checked is what is written, even when someone swaps entries meanwhile.

namespace korvane::platform {

namespace {

QString systemCause(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("磁碟空間不足");
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有寫入的權限");
    case EROFS:
        return QStringLiteral("磁碟是唯讀的");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QByteArray nameBytes(const QString& name)
{
    return QFile::encodeName(name);
}

Error linkRefused(const QString& path, const QString& what)
{
    return Error(QDir::toNativeSeparators(path) + QStringLiteral(" ") + what + QStringLiteral("，為了安全不會寫入。"),
                 Error::Kind::LinkRefused);
}

// Writes all of bytes, going on after a partial write; false with errno set when it cannot.
bool writeAll(int descriptor, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(descriptor, bytes.constData() + written, size_t(bytes.size() - written));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0)
            return false;
        written += put;
    }
    return true;
}

} // namespace

RecordFolder::RecordFolder(const QString& folder) : ivPath(localPath(folder))
{
    const QByteArray path = QFile::encodeName(ivPath);
    struct stat status;
    if (::lstat(path.constData(), &status) != 0) {
        // Another run may make it at the same moment; what is there is checked below.
        if (errno != ENOENT || (::mkdir(path.constData(), 0777) != 0 && errno != EEXIST))
            fail(QString(), QStringLiteral("無法建立資料夾（") + systemCause(errno) + u'）');
    }
    const int descriptor = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            throw linkRefused(ivPath, QStringLiteral("是捷徑（連結）或不是資料夾"));
        fail(QString(), systemCause(errno));
    }
    ivHandle = descriptor;
}

RecordFolder::~RecordFolder()
{
    if (ivHandle >= 0)
        ::close(int(ivHandle));
}

void RecordFolder::refuseLink(const QString& name) const
{
    struct stat status;
    if (::fstatat(int(ivHandle), nameBytes(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    if (S_ISLNK(status.st_mode))
        throw linkRefused(filePath(name), QStringLiteral("是捷徑（連結）"));
    if (!S_ISREG(status.st_mode))
        throw linkRefused(filePath(name), QStringLiteral("不是一般的檔案"));
    if (status.st_nlink > 1)
        throw linkRefused(filePath(name), QStringLiteral("另有其他名稱（硬連結），可能指向其他位置的檔案"));
}

bool RecordFolder::exists(const QString& name) const
{
    struct stat status;
    return ::fstatat(int(ivHandle), nameBytes(name).constData(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

void RecordFolder::requireSameFolder() const
{
    struct stat opened, now, entry;
    const QByteArray path = QFile::encodeName(ivPath);
    if (::fstat(int(ivHandle), &opened) != 0 || ::lstat(path.constData(), &entry) != 0 || S_ISLNK(entry.st_mode) ||
        ::stat(path.constData(), &now) != 0 || now.st_dev != opened.st_dev || now.st_ino != opened.st_ino)
        throw linkRefused(ivPath, QStringLiteral("在寫入時被換成了其他資料夾或捷徑（連結）"));
}

qint64 RecordFolder::size(const QString& name) const
{
    struct stat status;
    if (::fstatat(int(ivHandle), nameBytes(name).constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode))
        return -1;
    return qint64(status.st_size);
}

QByteArray RecordFolder::read(const QString& name) const
{
    const int descriptor = ::openat(int(ivHandle), nameBytes(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0)
        fail(name, systemCause(errno));
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(descriptor);
            fail(name, systemCause(error));
        }
        if (got == 0)
            break;
        bytes.append(buffer, got);
    }
    ::close(descriptor);
    return bytes;
}

void RecordFolder::append(const QString& name, const QByteArray& prefix, const QByteArray& bytes)
{
    refuseLink(name);
    const bool existed = exists(name);
    const int descriptor = ::openat(int(ivHandle), nameBytes(name).constData(),
                                    O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (errno == ELOOP)
            throw linkRefused(filePath(name), QStringLiteral("是捷徑（連結）"));
        fail(name, systemCause(errno));
    }
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink > 1) {
        ::close(descriptor);
        throw linkRefused(filePath(name), QStringLiteral("不是一般的檔案，或另有其他名稱（硬連結）"));
    }
    const off_t before = status.st_size;
    const QByteArray written = before == 0 ? prefix + bytes : bytes;
    // One block, whole or not at all: a disk that fills part of the way gets the file cut back to
    // where it was, so no fragment of a block (nor half a character) is ever left. Some file
    // systems report a failed write only when the file is closed.
    const bool put = writeAll(descriptor, written);
    int error = errno;
    if (!put)
        ::ftruncate(descriptor, before);
    const bool closed = ::close(descriptor) == 0;
    if (put && closed)
        return;
    if (put)
        error = errno;
    if (!existed) {
        ::unlinkat(int(ivHandle), nameBytes(name).constData(), 0);
    } else if (put) {
        const int again = ::openat(int(ivHandle), nameBytes(name).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
        if (again >= 0) {
            ::ftruncate(again, before);
            ::close(again);
        }
    }
    fail(name, systemCause(error));
}

void RecordFolder::create(const QString& name, const QByteArray& bytes, bool toDisk)
{
    const int descriptor = ::openat(int(ivHandle), nameBytes(name).constData(),
                                    O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        if (errno == EEXIST)
            refuseLink(name);
        fail(name, systemCause(errno));
    }
    // A full disk may show only when the data goes to it: at the flush, or at the close.
    const bool put = writeAll(descriptor, bytes) && (!toDisk || ::fsync(descriptor) == 0);
    int error = errno;
    const bool closed = ::close(descriptor) == 0;
    if (put && closed)
        return;
    if (put)
        error = errno;
    ::unlinkat(int(ivHandle), nameBytes(name).constData(), 0);
    fail(name, systemCause(error));
}

void RecordFolder::rename(const QString& from, const QString& to, bool toDisk)
{
    if (::renameat(int(ivHandle), nameBytes(from).constData(), int(ivHandle), nameBytes(to).constData()) != 0)
        fail(to, systemCause(errno));
    if (toDisk && ::fsync(int(ivHandle)) != 0)
        fail(to, systemCause(errno));
}

void RecordFolder::remove(const QString& name)
{
    if (::unlinkat(int(ivHandle), nameBytes(name).constData(), 0) != 0 && errno != ENOENT)
        fail(name, systemCause(errno));
}

QStringList RecordFolder::files() const
{
    QStringList names;
    const int copy = ::dup(int(ivHandle));
    DIR* folder = copy >= 0 ? ::fdopendir(copy) : nullptr;
    if (!folder) {
        if (copy >= 0)
            ::close(copy);
        return names;
    }
    ::rewinddir(folder);
    while (const dirent* entry = ::readdir(folder)) {
        struct stat status;
        if (::fstatat(int(ivHandle), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode))
            names << QFile::decodeName(entry->d_name);
    }
    ::closedir(folder);
    return names;
}

} // namespace korvane::platform
