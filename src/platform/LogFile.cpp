// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "LogFile.h"

#include "Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace korvane::platform {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// A writer that died holding the lock leaves it behind; a live one holds it for milliseconds.
constexpr int kStaleLockMs = 30'000;
constexpr int kLockWaitMs = 10'000;

[[noreturn]] void fail(const QString& path, const QString& cause)
{
    throw Error(QStringLiteral("無法寫入 ") + QDir::toNativeSeparators(path) + QStringLiteral("：") + cause);
}

void save(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        fail(path, file.errorString());
}

} // namespace

LogFile::LogFile(QString folder, QString name, QString oldName, QString blockStart, qint64 limit)
    : ivFolder(std::move(folder)), ivName(std::move(name)), ivOldName(std::move(oldName)),
      ivBlockStart(blockStart.toUtf8()), ivLimit(limit)
{
}

QString LogFile::path() const
{
    return QDir(ivFolder).filePath(ivName);
}

QString LogFile::oldPath() const
{
    return QDir(ivFolder).filePath(ivOldName);
}

void LogFile::append(const QString& block)
{
    if (!QDir().mkpath(ivFolder))
        fail(ivFolder, QStringLiteral("無法建立資料夾"));
    QLockFile lock(path() + QStringLiteral(".lock"));
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs)) {
        fail(path(), lock.error() == QLockFile::LockFailedError
                         ? QStringLiteral("另一個更新程式正在寫入，等候逾時")
                         : QStringLiteral("無法建立鎖定檔 ") + QDir::toNativeSeparators(path() + QStringLiteral(".lock")));
    }
    const QByteArray bytes = block.toUtf8();
    QFile file(path());
    if (file.size() + bytes.size() > ivLimit && file.size() > 0) {
        rotate(bytes);
        return;
    }
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        fail(path(), file.errorString());
    const qint64 before = file.size();
    // One write per block; a disk that fills half-way through gets the log cut back.
    const QByteArray written = before == 0 ? kByteOrderMark + bytes : bytes;
    if (file.write(written) != written.size() || !file.flush()) {
        const QString cause = file.errorString();
        file.resize(before);
        if (before == 0)
            file.remove();
        fail(path(), cause);
    }
}

void LogFile::rotate(const QByteArray& block)
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        fail(path(), file.errorString());
    QByteArray all = file.readAll();
    file.close();
    if (all.startsWith(kByteOrderMark))
        all.remove(0, kByteOrderMark.size());
    // The newer half starts at the first block that begins past the middle.
    qsizetype cut = all.indexOf(QByteArray("\r\n") + ivBlockStart, all.size() / 2);
    cut = cut < 0 ? all.size() : cut + 2;
    save(oldPath(), kByteOrderMark + all.left(cut));
    save(path(), kByteOrderMark + all.mid(cut) + block);
}

QString LogFile::writeBeside(const QString& stem, const QString& name, const QByteArray& bytes) const
{
    if (!QDir().mkpath(ivFolder))
        fail(ivFolder, QStringLiteral("無法建立資料夾"));
    const QDir folder(ivFolder);
    QString path = folder.filePath(stem + u' ' + name);
    // Two runs started in the same second keep both.
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = folder.filePath(stem + QStringLiteral("-%1 ").arg(n) + name);
    QFile file(path + QStringLiteral(".part"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        const QString cause = file.errorString();
        file.remove();
        fail(path, cause);
    }
    file.close();
    if (!file.rename(path)) {
        const QString cause = file.errorString();
        file.remove();
        fail(path, cause);
    }
    return QDir::toNativeSeparators(path);
}

QString LogFile::read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = file.readAll();
    if (all.startsWith(kByteOrderMark))
        all.remove(0, kByteOrderMark.size());
    return QString::fromUtf8(all);
}

} // namespace korvane::platform
