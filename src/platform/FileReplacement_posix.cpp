// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileReplacement.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvane::platform {

namespace {

class Descriptor
{
public:
    explicit Descriptor(int descriptor) : m_descriptor(descriptor) {}
    ~Descriptor()
    {
        if (m_descriptor >= 0)
            ::close(m_descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_descriptor; }
    bool isOpen() const { return m_descriptor >= 0; }
    // Some file systems (NFS) report a failed write only here.
    bool close()
    {
        const int descriptor = m_descriptor;
        m_descriptor = -1;
        return ::close(descriptor) == 0;
    }

private:
    int m_descriptor;
};

Replacement writeFailure(int error)
{
    return error == ENOSPC || error == EDQUOT ? Replacement::DiskFull : Replacement::WriteFailed;
}

Replacement copyContent(int in, int out)
{
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return Replacement::SourceUnreadable;
        if (got == 0)
            return Replacement::Done;
        for (ssize_t written = 0; written < got;) {
            const ssize_t put = ::write(out, buffer.data() + written, static_cast<size_t>(got - written));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return writeFailure(errno);
            written += put;
        }
    }
}

Replacement copyToTemporary(const QByteArray& source, const QByteArray& temporary)
{
    const Descriptor in(::open(source.constData(), O_RDONLY | O_CLOEXEC));
    struct stat status;
    if (!in.isOpen() || ::fstat(in.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return Replacement::SourceUnreadable;
    // Created new, never through a link someone put in its place.
    Descriptor out(::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!out.isOpen())
        return errno == ENOSPC || errno == EDQUOT ? Replacement::DiskFull : Replacement::Refused;
    if (const Replacement copied = copyContent(in.get(), out.get()); copied != Replacement::Done)
        return copied;
    if (::fchmod(out.get(), status.st_mode & 0777) != 0)
        return Replacement::WriteFailed;
    if (::fsync(out.get()) != 0 || !out.close())
        return writeFailure(errno);
    return Replacement::Done;
}

// Makes the rename itself survive a power cut. Not every file system can flush a folder, and
// the file is replaced by now whatever it answers.
void flushFolder(const QString& localFolder)
{
    const Descriptor folder(
        ::open(QFile::encodeName(localFolder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.isOpen())
        ::fsync(folder.get());
}

} // namespace

Replacement replaceWithCopy(const QString& localSource, const QString& localTemporary,
                            const QString& localTarget)
{
    const QByteArray temporary = QFile::encodeName(localTemporary);
    // What a killed run left behind.
    ::unlink(temporary.constData());
    Replacement result = copyToTemporary(QFile::encodeName(localSource), temporary);
    if (result == Replacement::Done &&
        ::rename(temporary.constData(), QFile::encodeName(localTarget).constData()) != 0)
        result = errno == ENOSPC || errno == EDQUOT ? Replacement::DiskFull : Replacement::Refused;
    if (result != Replacement::Done) {
        ::unlink(temporary.constData());
        return result;
    }
    flushFolder(QFileInfo(localTarget).absolutePath());
    return Replacement::Done;
}

bool isLinkEntry(const QString& localPath)
{
    struct stat status;
    return ::lstat(QFile::encodeName(localPath).constData(), &status) == 0 && S_ISLNK(status.st_mode);
}

} // namespace korvane::platform
