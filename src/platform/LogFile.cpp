// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "LogFile.h"

#include "Error.h"
#include "FileReplacement.h"
#include "Paths.h"
#include "RecordFolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <algorithm>

namespace korvane::platform {

namespace {

const QByteArray kByteOrderMark("\xEF\xBB\xBF");
const QString kLockSuffix = QStringLiteral(".lock");
// What a rotation writes before it puts anything in place, and the old log it replaces, kept
// until the new ones are in.
const QString kNewSuffix = QStringLiteral(".korvane-new");
const QString kPreviousSuffix = QStringLiteral(".korvane-old");
const QString kPartSuffix = QStringLiteral(".part");

// A writer that died holding the lock leaves it behind; a live one holds it for milliseconds.
constexpr int kStaleLockMs = 30'000;
constexpr int kLockWaitMs = 10'000;

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

LogFile::Writer LogFile::open() const
{
    auto folder = std::make_unique<RecordFolder>(ivFolder);
    const QString lockName = ivName + kLockSuffix;
    folder->refuseLink(lockName);
    auto lock = std::make_unique<QLockFile>(folder->filePath(lockName));
    lock->setStaleLockTime(kStaleLockMs);
    if (!lock->tryLock(kLockWaitMs)) {
        throw Error(QStringLiteral("無法寫入 ") + QDir::toNativeSeparators(path()) + QStringLiteral("：") +
                    (lock->error() == QLockFile::LockFailedError
                         ? QStringLiteral("另一個更新程式正在寫入，等候逾時")
                         : QStringLiteral("無法建立鎖定檔 ") + folder->filePath(lockName)));
    }
    // The lock went by the folder's path: it must still be the folder whose files are written.
    folder->requireSameFolder();
    return Writer(*this, std::move(folder), std::move(lock));
}

void LogFile::append(const QString& block) const
{
    open().append(block);
}

LogFile::Writer::Writer(const LogFile& log, std::unique_ptr<RecordFolder> folder, std::unique_ptr<QLockFile> lock)
    : ivLog(log), ivFolder(std::move(folder)), ivLock(std::move(lock))
{
}

LogFile::Writer::Writer(Writer&&) noexcept = default;

LogFile::Writer::~Writer() = default;

void LogFile::Writer::append(const QString& block)
{
    RecordFolder& folder = *ivFolder;
    folder.refuseLink(ivLog.ivName);
    folder.refuseLink(ivLog.ivOldName);
    const QByteArray bytes = block.toUtf8();
    const qint64 size = folder.size(ivLog.ivName);
    if (size > 0 && size + bytes.size() > ivLog.ivLimit) {
        rotate(bytes);
        return;
    }
    folder.append(ivLog.ivName, kByteOrderMark, bytes);
}

void LogFile::Writer::rotate(const QByteArray& block)
{
    RecordFolder& folder = *ivFolder;
    const QString& name = ivLog.ivName;
    const QString& oldName = ivLog.ivOldName;
    QByteArray all = folder.read(name);
    if (all.startsWith(kByteOrderMark))
        all.remove(0, kByteOrderMark.size());
    // The newer half starts at the first block that begins past the middle.
    qsizetype cut = all.indexOf(QByteArray("\r\n") + ivLog.ivBlockStart, all.size() / 2);
    cut = cut < 0 ? all.size() : cut + 2;

    // Both files are written in full before either is put in place, and the old log they replace
    // is kept until both are: a disk that fills, or a rename that fails, leaves the two as they were.
    const QString newLog = name + kNewSuffix;
    const QString newOld = oldName + kNewSuffix;
    const QString previous = oldName + kPreviousSuffix;
    for (const QString& leftover : {newLog, newOld, previous}) {
        folder.refuseLink(leftover);
        folder.remove(leftover);
    }
    try {
        folder.create(newOld, kByteOrderMark + all.left(cut));
        folder.create(newLog, kByteOrderMark + all.mid(cut) + block);
    } catch (...) {
        folder.remove(newOld);
        folder.remove(newLog);
        throw;
    }
    const bool hadOld = folder.exists(oldName);
    auto undo = [&](bool oldReplaced) {
        try {
            if (hadOld)
                folder.rename(previous, oldName);
            else if (oldReplaced)
                folder.remove(oldName);
            folder.remove(newOld);
            folder.remove(newLog);
        } catch (...) {
        }
    };
    if (hadOld)
        folder.rename(oldName, previous);
    try {
        folder.rename(newOld, oldName);
    } catch (...) {
        undo(false);
        throw;
    }
    try {
        folder.rename(newLog, name);
    } catch (...) {
        undo(true);
        throw;
    }
    if (hadOld) {
        try {
            folder.remove(previous);
        } catch (...) {
        }
    }
}

QString LogFile::Writer::writeBeside(const QString& stem, const QString& name, const QByteArray& bytes, int keep,
                                     bool toDisk)
{
    RecordFolder& folder = *ivFolder;
    // Two runs started in the same second keep both; the name is free while the lock is held.
    QString fileName = stem + u' ' + name;
    for (int n = 2; folder.exists(fileName); ++n) {
        folder.refuseLink(fileName);
        fileName = stem + QStringLiteral("-%1 ").arg(n) + name;
    }
    const QString part = fileName + kPartSuffix;
    folder.refuseLink(part);
    folder.remove(part);
    folder.create(part, bytes, toDisk);
    try {
        folder.rename(part, fileName, toDisk);
    } catch (...) {
        folder.remove(part);
        throw;
    }
    if (keep > 0)
        keepNewest(name, keep);
    return folder.filePath(fileName);
}

QStringList LogFile::Writer::filesBeside() const
{
    return ivFolder->files();
}

void LogFile::Writer::removeBeside(const QString& fileName)
{
    ivFolder->remove(fileName);
}

QString LogFile::Writer::text() const
{
    return read(ivLog.oldPath()) + read(ivLog.path());
}

namespace {

// A file writeBeside wrote, by the order of its name: the second it was named in, then its
// number within that second.
struct Stamped
{
    QString stem;
    int number;
    QString file;

    bool operator<(const Stamped& other) const
    {
        return stem != other.stem ? stem < other.stem : number < other.number;
    }
};

// The files of that name, oldest first.
std::vector<Stamped> stampedFiles(const QStringList& files, const QString& name)
{
    static const QRegularExpression stamped(QStringLiteral("^(\\d{8}-\\d{6})(?:-(\\d+))? (.+)$"));
    std::vector<Stamped> found;
    for (const QString& file : files) {
        const QRegularExpressionMatch match = stamped.match(file);
        if (match.hasMatch() && match.captured(3) == name)
            found.push_back({match.captured(1), match.captured(2).isEmpty() ? 1 : match.captured(2).toInt(), file});
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

void LogFile::Writer::keepOnly(const QString& name, const QStringList& kept)
{
    const std::vector<Stamped> files = stampedFiles(ivFolder->files(), name);
    const Stamped* newest = nullptr;
    for (const Stamped& file : files) {
        if (kept.contains(file.file))
            newest = &file;
    }
    if (!newest)
        return;
    for (const Stamped& file : files) {
        if (!(file < *newest))
            break;
        if (kept.contains(file.file))
            continue;
        try {
            ivFolder->remove(file.file);
        } catch (...) {
        }
    }
}

void LogFile::Writer::keepNewest(const QString& name, int keep)
{
    const std::vector<Stamped> files = stampedFiles(ivFolder->files(), name);
    if (files.size() <= size_t(keep))
        return;
    for (size_t i = 0; i + size_t(keep) < files.size(); ++i) {
        try {
            ivFolder->remove(files[i].file);
        } catch (...) {
        }
    }
}

QByteArray LogFile::readBeside(const QString& fileName) const
{
    const QString path = QDir(ivFolder).filePath(fileName);
    if (isLinkEntry(localPath(path)) || isLinkEntry(localPath(ivFolder)))
        throw Error(QDir::toNativeSeparators(path) + QStringLiteral(" 是捷徑（連結），為了安全不會讀取。"),
                    Error::Kind::LinkRefused);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("無法讀取 ") + QDir::toNativeSeparators(path) + QStringLiteral("：") +
                        file.errorString(),
                    file.exists() ? Error::Kind::General : Error::Kind::FileNotFound);
    return file.readAll();
}

QString LogFile::read(const QString& path)
{
    if (isLinkEntry(localPath(path)))
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray all = file.readAll();
    if (all.startsWith(kByteOrderMark))
        all.remove(0, kByteOrderMark.size());
    return QString::fromUtf8(all);
}

} // namespace korvane::platform
