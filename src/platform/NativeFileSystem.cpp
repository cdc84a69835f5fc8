// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "NativeFileSystem.h"

#include "Error.h"
#include "FileInUse.h"
#include "FileReplacement.h"
#include "Paths.h"
#include "Sha256.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

namespace korvane::platform {

namespace {

bool parentFolderExists(const QString& local)
{
    return QFileInfo(local).absoluteDir().exists();
}

[[noreturn]] void throwFileNotFound(const QString& path)
{
    throw Error(QStringLiteral("找不到檔案：") + path, Error::Kind::FileNotFound);
}

[[noreturn]] void throwPathNotFound(const QString& path)
{
    throw Error(QStringLiteral("找不到路徑：") + path, Error::Kind::PathNotFound);
}

// A file in use, or one we may not change: the same words whichever the system found.
[[noreturn]] void throwCannotWrite(const QString& path)
{
    throw Error(QStringLiteral("無法寫入檔案（可能正在使用中或沒有權限）：") + path,
                Error::Kind::AccessDenied);
}

[[noreturn]] void throwCannotCopy(const QString& source, const QString& target)
{
    throw Error(QStringLiteral("無法複製檔案（可能正在使用中或沒有權限）：") + source +
                    QStringLiteral(" → ") + target,
                Error::Kind::AccessDenied);
}

[[noreturn]] void throwCopyFailed(Replacement failure, const QString& source, const QString& target)
{
    const QString files = source + QStringLiteral(" → ") + target;
    switch (failure) {
    case Replacement::DiskFull:
        throw Error(QStringLiteral("磁碟空間不足，無法複製檔案：") + files, Error::Kind::General);
    case Replacement::SourceUnreadable:
        throw Error(QStringLiteral("無法讀取檔案（可能正在使用中或沒有權限）：") + source,
                    Error::Kind::AccessDenied);
    case Replacement::WriteFailed:
        throw Error(QStringLiteral("寫入檔案時發生錯誤，無法複製檔案：") + files, Error::Kind::General);
    case Replacement::OldFileMoved:
        throw Error(QStringLiteral("無法複製檔案：") + files + QStringLiteral("。原來的檔案暫時改名為 ") +
                        movedOldFile(target) + QStringLiteral("，請將它改回 ") + target,
                    Error::Kind::General);
    case Replacement::Refused:
    case Replacement::Done:
        break;
    }
    throwCannotCopy(source, target);
}

[[noreturn]] void throwCannotRemove(const QString& path)
{
    throw Error(QStringLiteral("無法刪除檔案（可能正在使用中或沒有權限）：") + path,
                Error::Kind::AccessDenied);
}

} // namespace

bool NativeFileSystem::fileExists(const QString& path) const
{
    const QString local = localPath(path);
    const QFileInfo info(local);
    return info.isFile() && !info.isHidden() && !isSystemFile(local);
}

bool NativeFileSystem::folderExists(const QString& path) const
{
    const QString local = localPath(path);
    const QFileInfo info(local);
    if (info.isDir())
        return !info.isHidden();
    return info.isFile() && !info.isHidden() && !isSystemFile(local);
}

bool NativeFileSystem::isLink(const QString& path) const
{
    return isLinkEntry(localPath(path));
}

QByteArray NativeFileSystem::readFile(const QString& path) const
{
    const QString local = localPath(path);
    if (!QFileInfo(local).isFile())
        throwFileNotFound(path);
    QFile file(local);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("無法讀取檔案（可能正在使用中或沒有權限）：") + path,
                    Error::Kind::AccessDenied);
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("讀取檔案時發生錯誤：") + path, Error::Kind::AccessDenied);
    return bytes;
}

FileFacts NativeFileSystem::facts(const QString& path) const
{
    const QString local = localPath(path);
    const QFileInfo info(local);
    if (!info.isFile())
        throwFileNotFound(path);
    QFile file(local);
    Sha256 digest;
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("無法讀取檔案（可能正在使用中或沒有權限）：") + path, Error::Kind::AccessDenied);
    QByteArray piece(1 << 16, Qt::Uninitialized);
    for (qint64 read; (read = file.read(piece.data(), piece.size())) != 0;) {
        if (read < 0 || file.error() != QFileDevice::NoError)
            throw Error(QStringLiteral("讀取檔案時發生錯誤：") + path, Error::Kind::AccessDenied);
        digest.addData(QByteArrayView(piece.constData(), read));
    }
    return {info.size(), info.lastModified(), QString::fromLatin1(digest.result().toHex())};
}

bool NativeFileSystem::sameContent(const QString& a, const QString& b) const
{
    QFile first(localPath(a));
    QFile second(localPath(b));
    if (!first.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("無法讀取檔案（可能正在使用中或沒有權限）：") + a, Error::Kind::AccessDenied);
    if (!second.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("無法讀取檔案（可能正在使用中或沒有權限）：") + b, Error::Kind::AccessDenied);
    if (first.size() != second.size())
        return false;
    constexpr qint64 chunk = 1 << 20;
    while (!first.atEnd()) {
        const QByteArray mine = first.read(chunk);
        const QByteArray theirs = second.read(chunk);
        if (first.error() != QFileDevice::NoError || second.error() != QFileDevice::NoError)
            throw Error(QStringLiteral("讀取檔案時發生錯誤：") + a + QStringLiteral("、") + b, Error::Kind::AccessDenied);
        if (mine != theirs)
            return false;
        if (mine.isEmpty())
            break;
    }
    return true;
}

void NativeFileSystem::writeFile(const QString& path, const QByteArray& bytes)
{
    const QString local = localPath(path);
    if (fileInUse(local))
        throwCannotWrite(path);
    QFile file(local);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (!parentFolderExists(local))
            throwPathNotFound(path);
        throwCannotWrite(path);
    }
    // A short write (a full disk) must not pass for a written file.
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError)
        throw Error(QStringLiteral("寫入檔案不完整（磁碟空間可能不足）：") + path, Error::Kind::General);
}

void NativeFileSystem::copyFile(const QString& source, const QString& target)
{
    const QString localSource = localPath(source);
    const QString localTarget = localPath(target);
    if (!QFileInfo(localSource).isFile())
        throwFileNotFound(source);
    if (!parentFolderExists(localTarget))
        throwPathNotFound(target);
    // Written through, a link would replace a file anywhere on the machine.
    if (isLinkEntry(localTarget))
        throw Error(QStringLiteral("目標是捷徑（符號連結），為了安全不會覆寫：") + target,
                    Error::Kind::LinkRefused);
    if (QFileInfo(localTarget).isDir() || fileInUse(localTarget))
        throwCannotCopy(source, target);
    // The temporary is found ignoring case too, so a leftover of any spelling of the target goes.
    const Replacement replaced =
        replaceWithCopy(localSource, localPath(replacementTemporary(localTarget)), localTarget);
    if (replaced != Replacement::Done)
        throwCopyFailed(replaced, source, target);
}

void NativeFileSystem::removeFile(const QString& path)
{
    const QString local = localPath(path);
    const QFileInfo info(local);
    if (!info.isFile() && !info.isSymLink())
        throwFileNotFound(path);
    // Removing a link leaves the file it leads to, and whoever uses that file, alone.
    if ((!info.isSymLink() && fileInUse(local)) || !QFile::remove(local))
        throwCannotRemove(path);
}

void NativeFileSystem::makeFolder(const QString& path)
{
    QString local = localPath(path);
    while ((local.endsWith(u'/') || local.endsWith(nativeSeparator())) && !QDir(local).isRoot())
        local.chop(1);
    if (QFileInfo::exists(local))
        throw Error(QStringLiteral("無法建立資料夾，同名的資料夾或檔案已存在：") + path,
                    Error::Kind::AccessDenied);
    if (!parentFolderExists(local))
        throwPathNotFound(path);
    if (!QDir().mkdir(local))
        throw Error(QStringLiteral("無法建立資料夾（可能沒有權限）：") + path, Error::Kind::AccessDenied);
}

bool NativeFileSystem::inUse(const QString& path) const
{
    const QString local = localPath(path);
    return QFileInfo(local).isFile() && fileInUseAhead(local);
}

bool NativeFileSystem::canWriteIn(const QString& folder) const
{
    const QString local = localPath(folder);
    if (!QFileInfo(local).isDir())
        return false;
    // A name no one else uses, not even another run at the same moment.
    const QString probe = QDir(local).filePath(QStringLiteral(".korvane-write-test-%1-%2")
                                                   .arg(QCoreApplication::applicationPid())
                                                   .arg(qulonglong(QRandomGenerator::global()->generate64()), 16, 16, QChar(u'0')));
    return createAndRemove(probe);
}

} // namespace korvane::platform
