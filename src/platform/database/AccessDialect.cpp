// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "AccessDialect.h"

#include "OleDbConnectionText.h"
#include "platform/FileInUse.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

namespace korvane::platform {

namespace {

// The driver's names: "Microsoft Access Driver (*.mdb)" is registered for 32-bit programs only;
// a 64-bit program finds at most its successor, which reads the same files.
const QString kClassicDriver = QStringLiteral("Microsoft Access Driver (*.mdb)");
const QString kSuccessorDriver = QStringLiteral("Microsoft Access Driver (*.mdb, *.accdb)");

// Jet's error for a file it cannot open because another program has it exclusively, or because
// the file or its folder may not be opened by this user; the driver passes it on as the native
// error of SQLSTATE HY000.
const QString kCannotOpenFile = QStringLiteral("-1032");

// Jet keeps the locks of a shared file in a file beside it, named after it.
QString lockingFile(const QString& localPath)
{
    const QFileInfo file(localPath);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral(".ldb"));
}

bool hasNativeError(const QSqlError& error, const QString& code)
{
    // Qt passes on one code; read as a list, in case it passes on all of them.
    return error.nativeErrorCode().split(u';').contains(code);
}

} // namespace

AccessDialect::AccessDialect(const QString& oleDbText, OpenMode mode)
    : OdbcDialect(connectionText(oleDbText, mode)),
      m_file(localPath(OleDbConnectionText(oleDbText).value(QStringLiteral("Data Source")))), m_mode(mode)
{
}

QString AccessDialect::connectionText(const QString& oleDbText, OpenMode mode)
{
    const OleDbConnectionText settings(oleDbText);
    const QString driver =
        !hasDriver(kClassicDriver) && hasDriver(kSuccessorDriver) ? kSuccessorDriver : kClassicDriver;
    QString text = QStringLiteral("DRIVER={") + driver + QStringLiteral("};");
    text += connectionAttribute(QStringLiteral("DBQ"), settings.value(QStringLiteral("Data Source")));
    // The driver's own options, as its setup names them: opened for this connection alone, and
    // opened for reading only. Before the password, which a driver manager's trace masks and cuts
    // off after, so that the trace shows how the file was opened.
    // A preview of a run that writes is refused as that run would be (see prepare), but opens
    // the file beside whoever has it.
    if (mode.exclusive && !mode.readOnly)
        text += connectionAttribute(QStringLiteral("Exclusive"), QStringLiteral("1"));
    if (mode.readOnly)
        text += connectionAttribute(QStringLiteral("ReadOnly"), QStringLiteral("1"));
    const QString password = settings.value(QStringLiteral("Jet OLEDB:Database Password"));
    if (!password.isEmpty())
        text += connectionAttribute(QStringLiteral("PWD"), password);
    return text;
}

QString AccessDialect::heldFiles(const QString& localPath)
{
    QStringList held;
    if (fileInUseAhead(localPath))
        held << QDir::toNativeSeparators(localPath);
    // A locking file left by a program that ended is harmless; one held means a program has the
    // database open.
    const QString locks = lockingFile(localPath);
    if (QFileInfo(locks).isFile() && fileInUseAhead(locks))
        held << QDir::toNativeSeparators(locks);
    return held.join(QStringLiteral("、"));
}

void AccessDialect::requireUnheld() const
{
    if (const QString held = heldFiles(m_file); !held.isEmpty())
        throw inUseError(QStringLiteral("資料庫檔案正由其他程式使用中（例如 Korvane 或藥袋列印程式）：") + held +
                             QStringLiteral("。本次更新要單獨開啟資料庫，才能一次完整寫入；資料都沒有變更。"),
                         QString());
}

void AccessDialect::prepare(QSqlDatabase& db) const
{
    // Asked of the system before the driver: an exclusive open refused by the driver says less
    // (and under a stand-in driver nothing), and this names the file.
    if (m_mode.exclusive)
        requireUnheld();
    OdbcDialect::prepare(db);
}

QString AccessDialect::quoteName(const QSqlDatabase& db, const QString& name) const
{
    Q_UNUSED(db);
    return bracketed(name);
}

bool AccessDialect::transactionEnded(const QSqlDatabase& db) const
{
    return !db.isOpen();
}

Error AccessDialect::connectionError(const QSqlDatabase& db) const
{
    // Only an open that failed: a failed commit on the open file says something else.
    if (!db.isOpen()) {
        if (auto held = heldOpenFailure(db.lastError()))
            return *held;
    }
    return OdbcDialect::connectionError(db);
}

std::optional<Error> AccessDialect::heldOpenFailure(const QSqlError& error) const
{
    if (hasNativeError(error, kCannotOpenFile))
        return inUseError(QStringLiteral("資料庫檔案 ") + QDir::toNativeSeparators(m_file) +
                              QStringLiteral(" 已由其他程式單獨開啟，或您沒有開啟它的權限；資料都沒有變更。"),
                          error.text());
    // Taken between the check and the open.
    if (m_mode.exclusive) {
        if (const QString held = heldFiles(m_file); !held.isEmpty())
            return inUseError(QStringLiteral("資料庫檔案正由其他程式使用中：") + held + QStringLiteral("。"),
                              error.text());
    }
    return std::nullopt;
}

} // namespace korvane::platform
