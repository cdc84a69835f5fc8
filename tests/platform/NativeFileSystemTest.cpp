// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeFileSystem.h"

#include "ReadOnlyFolder.h"
#include "RunningProgram.h"
#include "SmallDisk.h"
#include "TempFolder.h"
#include "platform/Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>
#include <utility>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#else
#include <unistd.h>
#endif

using korvane::platform::Error;
using korvane::platform::NativeFileSystem;
using korvane::platform::replacementTemporary;
using korvane::test::ReadOnlyFolder;
using korvane::test::RunningProgram;
using korvane::test::SmallDisk;
using korvane::test::TempFolder;

namespace {

class NativeFileSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        temp.write("Visible.txt", "visible");
        temp.write(".hidden", "hidden");
        temp.makeFolder("Folder");
        temp.makeFolder(".hiddenFolder");
        temp.write("Tools/drugbagprinter.EXE", "printer");
#ifdef Q_OS_WIN
        // Windows hides by the attribute, not by the leading dot, and hides its system files.
        temp.write("Desktop.ini", "[.ShellClassInfo]");
        for (const auto& [relative, attribute] : {std::pair{".hidden", FILE_ATTRIBUTE_HIDDEN},
                                                  {".hiddenFolder", FILE_ATTRIBUTE_HIDDEN},
                                                  { "Desktop.ini",
                                                    FILE_ATTRIBUTE_SYSTEM }}) {
            const QString file = QDir::toNativeSeparators(at(relative));
            if (!SetFileAttributesW(reinterpret_cast<const wchar_t*>(file.utf16()), attribute))
                throw std::runtime_error("cannot set a file attribute");
        }
#endif
    }

    QString at(const QString& relative) const
    {
        return temp.path() + u'/' + relative;
    }
    // The names the folder lists: a file written or copied by another case keeps its own.
    QStringList names() const
    {
        return QDir(temp.path()).entryList(QDir::Files | QDir::Hidden);
    }

    // The kind of error the call throws; the test fails when it throws none.
    Error::Kind errorOf(const std::function<void()>& call, QString* description = nullptr)
    {
        try {
            call();
        } catch (const Error& error) {
            if (description)
                *description = error.description();
            return error.kind();
        }
        ADD_FAILURE() << "no error";
        return Error::Kind::General;
    }

    // Deleting or overwriting the file by this name fails, with the words Windows gives.
    void expectInUse(const char* relative)
    {
        SCOPED_TRACE(relative);
        QString description;
        EXPECT_EQ(errorOf([&] { files.removeFile(at(relative)); }, &description), Error::Kind::AccessDenied);
        EXPECT_EQ(description, QStringLiteral("無法刪除檔案（可能正在使用中或沒有權限）：") + at(relative));
        EXPECT_EQ(errorOf([&] { files.copyFile(at("Visible.txt"), at(relative)); }),
                  Error::Kind::AccessDenied);
        EXPECT_EQ(errorOf([&] { files.writeFile(at(relative), "x"); }), Error::Kind::AccessDenied);
    }

    TempFolder temp;
    NativeFileSystem files;
};

#ifndef Q_OS_WIN
// Cases that POSIX permissions decide: they skip as the superuser, and ctest runs them once more
// as an ordinary user (platform_tests_unprivileged).
using NativeFileSystemUnprivilegedTest = NativeFileSystemTest;

bool runsAsRoot()
{
    return ::geteuid() == 0;
}
#endif

TEST_F(NativeFileSystemTest, FileAndFolderTestsSeeWhatADirectoryListingSees)
{
    struct Case
    {
        const char* relative;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {"Visible.txt", true, true},
        {"visible.TXT", true, true},
        {"tools\\DrugBagPrinter.exe", true, true},
        {".hidden", false, false},
        {"Folder", false, true},
        {"FOLDER", false, true},
        {"Tools", false, true},
        {".hiddenFolder", false, false},
        {"Missing.txt", false, false},
        {"Missing\\Visible.txt", false, false},
#ifdef Q_OS_WIN
        {"desktop.INI", false, false},
#endif
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files.fileExists(at(c.relative)), c.file) << c.relative;
        EXPECT_EQ(files.folderExists(at(c.relative)), c.folder) << c.relative;
    }
    EXPECT_FALSE(files.fileExists(QString()));
}

TEST_F(NativeFileSystemTest, ReadFileFindsNamesIgnoringCase)
{
    EXPECT_EQ(files.readFile(at("TOOLS\\DrugBagPrinter.exe")), "printer");
    EXPECT_EQ(files.readFile(at("Visible.txt")), "visible");
}

TEST_F(NativeFileSystemTest, ReadingSomethingThatIsNoFileThrowsFileNotFound)
{
    for (const char* relative : {"Missing.txt", "Folder"}) {
        QString description;
        EXPECT_EQ(errorOf([&] { files.readFile(at(relative)); }, &description), Error::Kind::FileNotFound);
        EXPECT_EQ(description, QStringLiteral("找不到檔案：") + at(relative));
    }
}

#ifndef Q_OS_WIN
TEST_F(NativeFileSystemUnprivilegedTest, UnreadableFileThrowsAccessDenied)
{
    if (runsAsRoot())
        GTEST_SKIP() << "permissions do not bind the superuser";
    QFile::setPermissions(at("Visible.txt"), QFileDevice::Permissions());
    EXPECT_EQ(errorOf([&] { files.readFile(at("Visible.txt")); }), Error::Kind::AccessDenied);
}
#endif

TEST_F(NativeFileSystemTest, WriteFileCreatesOrReplacesTheWholeFile)
{
    files.writeFile(at("new.bat"), "@echo off\r\n");
    EXPECT_EQ(temp.read("new.bat"), "@echo off\r\n");
    // A shorter text leaves nothing of the longer one behind.
    files.writeFile(at("NEW.BAT"), "x");
    EXPECT_EQ(temp.read("new.bat"), "x");
    EXPECT_TRUE(names().contains("new.bat"));
    EXPECT_FALSE(names().contains("NEW.BAT"));
    files.writeFile(at("empty.txt"), QByteArray());
    EXPECT_TRUE(temp.exists("empty.txt"));
}

TEST_F(NativeFileSystemTest, FailedWritesThrow)
{
    EXPECT_EQ(errorOf([&] { files.writeFile(at("Missing/new.txt"), "x"); }), Error::Kind::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.writeFile(at("Folder"), "x"); }), Error::Kind::AccessDenied);
    // A full disk: the bytes do not all reach the file.
    if (QFileInfo::exists("/dev/full")) {
        EXPECT_EQ(errorOf([&] { files.writeFile("/dev/full", QByteArray(1 << 16, 'x')); }),
                  Error::Kind::General);
    }
}

TEST_F(NativeFileSystemTest, CopyFileOverwritesTheTargetAndKeepsPermissions)
{
    temp.write("Target.exe", "a much longer old content");
    temp.write("Source.exe", "new");
    QFile::setPermissions(at("Source.exe"), QFile::permissions(at("Source.exe")) | QFileDevice::ExeOwner);

    files.copyFile(at("source.EXE"), at("target.exe"));

    EXPECT_EQ(temp.read("Target.exe"), "new");
    EXPECT_TRUE(names().contains("Target.exe"));
    EXPECT_FALSE(names().contains("target.exe"));
    EXPECT_TRUE(QFile::permissions(at("Target.exe")) & QFileDevice::ExeOwner);
    files.copyFile(at("Source.exe"), at("Folder\\fresh.exe"));
    EXPECT_EQ(temp.read("Folder/fresh.exe"), "new");
}

TEST_F(NativeFileSystemTest, FailedCopiesThrow)
{
    QString description;
    EXPECT_EQ(errorOf([&] { files.copyFile(at("Missing.txt"), at("x.txt")); }, &description),
              Error::Kind::FileNotFound);
    EXPECT_EQ(description, QStringLiteral("找不到檔案：") + at("Missing.txt"));
    EXPECT_EQ(errorOf([&] { files.copyFile(at("Visible.txt"), at("Missing/x.txt")); }),
              Error::Kind::PathNotFound);
    EXPECT_EQ(errorOf([&] { files.copyFile(at("Visible.txt"), at("Folder")); }), Error::Kind::AccessDenied);
    EXPECT_EQ(temp.read("Visible.txt"), "visible");
}

#ifndef Q_OS_WIN
TEST_F(NativeFileSystemTest, ALinkIsNeverWrittenThroughButReadAsItsContent)
{
    TempFolder outside;
    const QString victim = outside.write("dbHospital.mdb", "records");
    ASSERT_TRUE(QFile::link(victim, at("Linked.mdb")));
    ASSERT_TRUE(QFile::link(outside.path("Missing.mdb"), at("Dangling.mdb")));
    ASSERT_TRUE(QFile::link(outside.path(), at("LinkedFolder")));
    // Planted where the next copy to Visible.txt begins.
    ASSERT_TRUE(QFile::link(victim, replacementTemporary(at("Visible.txt"))));
    for (const auto& [name, link] : {std::pair{"Linked.mdb", true},
                                     {"LINKED.mdb", true},
                                     {"Dangling.mdb", true},
                                     {"LinkedFolder", true},
                                     {"LinkedFolder/dbHospital.mdb", false},
                                     {"Visible.txt", false},
                                     {"Missing.mdb", false}})
        EXPECT_EQ(files.isLink(at(name)), link) << name;

    for (const char* name : {"linked.MDB", "Dangling.mdb"}) {
        QString description;
        EXPECT_EQ(errorOf([&] { files.copyFile(at("Tools/drugbagprinter.EXE"), at(name)); }, &description),
                  Error::Kind::LinkRefused);
        EXPECT_EQ(description, QStringLiteral("目標是捷徑（符號連結），為了安全不會覆寫：") + at(name));
    }
    files.copyFile(at("Tools/drugbagprinter.EXE"), at("Visible.txt"));
    files.copyFile(at("Linked.mdb"), at("Copy.mdb"));

    EXPECT_EQ(outside.read("dbHospital.mdb"), "records");
    EXPECT_FALSE(outside.exists("Missing.mdb"));
    EXPECT_EQ(QFileInfo(at("Linked.mdb")).symLinkTarget(), victim);
    EXPECT_EQ(temp.read("Visible.txt"), "printer");
    EXPECT_EQ(temp.read("Copy.mdb"), "records");
    EXPECT_FALSE(QFileInfo(at("Copy.mdb")).isSymLink());
    EXPECT_EQ(names(), (QStringList{".hidden", "Copy.mdb", "Linked.mdb", "Visible.txt"}));
}

TEST_F(NativeFileSystemTest, AFullDiskLeavesTheTargetAsItWas)
{
    const SmallDisk disk(temp.makeFolder("Disk"), 4 << 20);
    KORVANE_REQUIRE_SMALL_DISK(disk);
    const QByteArray installed(1 << 20, 'o');
    temp.write("Disk/Korvane.exe", installed);
    temp.write("Korvane.exe", QByteArray(6 << 20, 'n'));
    const qint64 free = QStorageInfo(at("Disk")).bytesAvailable();

    QString description;
    EXPECT_EQ(errorOf([&] { files.copyFile(at("Korvane.exe"), at("Disk\\korvane.EXE")); }, &description),
              Error::Kind::General);
    EXPECT_EQ(description, QStringLiteral("磁碟空間不足，無法複製檔案：") + at("Korvane.exe") + " → " +
                               at("Disk\\korvane.EXE"));
    EXPECT_EQ(temp.read("Disk/Korvane.exe"), installed);
    EXPECT_EQ(QDir(at("Disk")).entryList(QDir::Files | QDir::Hidden), QStringList{"Korvane.exe"});
    EXPECT_EQ(QStorageInfo(at("Disk")).bytesAvailable(), free);
}

TEST_F(NativeFileSystemTest, AKilledCopyLeavesTheOldOrTheNewFileAndTheNextCopyTidiesUp)
{
    const qint64 size = 128 << 20;
    const QByteArray old(1 << 20, 'o');
    const QString source = temp.write("Source.mdb", QByteArray(size, 'n'));
    const QString target = at("dbHospital.mdb");
    const QString temporary = replacementTemporary(target);
    const auto hashOf = [&](const char* name) {
        return QCryptographicHash::hash(temp.read(name), QCryptographicHash::Sha1);
    };
    const QByteArray newHash = hashOf("Source.mdb");
    const QByteArray oldHash = QCryptographicHash::hash(old, QCryptographicHash::Sha1);
    // How far the copy has come, in whichever file it writes; -1 before it begins.
    const auto copied = [&]() -> qint64 {
        if (const QFileInfo info(temporary); info.exists())
            return info.size();
        const qint64 length = QFileInfo(target).size();
        return length == old.size() ? -1 : length;
    };

    bool interrupted = false;
    // Killed as soon as the copy begins, when half the bytes are written, and when all are.
    for (const qint64 written : {qint64(0), size / 2, size}) {
        temp.write("dbHospital.mdb", old);
        QProcess child;
        child.start(KORVANE_COPY_FILE_CHILD, {source, target});
        ASSERT_TRUE(child.waitForStarted());
        while (copied() < written && !child.waitForFinished(1)) {
        }
        child.kill(); // SIGKILL: nothing of the copy runs on
        child.waitForFinished();
        const QByteArray left = hashOf("dbHospital.mdb");
        EXPECT_TRUE(left == oldHash || left == newHash) << written;
        interrupted = interrupted || QFileInfo::exists(temporary);

        files.copyFile(source, target);
        EXPECT_EQ(hashOf("dbHospital.mdb"), newHash);
        EXPECT_FALSE(QFileInfo::exists(temporary));
    }
    EXPECT_TRUE(interrupted) << "no copy was killed in the middle";
}
#endif

TEST_F(NativeFileSystemTest, RemoveFileDeletesOrThrows)
{
    files.removeFile(at("VISIBLE.txt"));
    EXPECT_FALSE(temp.exists("Visible.txt"));

    for (const char* relative : {"Visible.txt", "Folder"}) {
        QString description;
        EXPECT_EQ(errorOf([&] { files.removeFile(at(relative)); }, &description), Error::Kind::FileNotFound);
        EXPECT_EQ(description, QStringLiteral("找不到檔案：") + at(relative));
    }
    EXPECT_TRUE(temp.exists("Folder"));
}

// Folder permissions and running /bin programs are POSIX only; Windows has its own case below.
#ifndef Q_OS_WIN
TEST_F(NativeFileSystemUnprivilegedTest, FileThatCannotBeDeletedThrowsAccessDenied)
{
    if (runsAsRoot())
        GTEST_SKIP() << "permissions do not bind the superuser";
    const QFileDevice::Permissions old = QFile::permissions(at("Tools"));
    QFile::setPermissions(at("Tools"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QString description;
    const Error::Kind kind = errorOf([&] { files.removeFile(at("Tools/drugbagprinter.EXE")); }, &description);
    QFile::setPermissions(at("Tools"), old);
    EXPECT_EQ(kind, Error::Kind::AccessDenied);
    EXPECT_EQ(description,
              QStringLiteral("無法刪除檔案（可能正在使用中或沒有權限）：") + at("Tools/drugbagprinter.EXE"));
}

TEST_F(NativeFileSystemTest, ARunningProgramCannotBeDeletedOrOverwrittenByAnyOfItsNames)
{
    RunningProgram running(RunningProgram::Use::RunFrom, at("Korvane.exe"));
    const QByteArray program = temp.read("Korvane.exe");
    ASSERT_EQ(::link(QFile::encodeName(at("Korvane.exe")), QFile::encodeName(at("Hard.exe"))), 0);
    ASSERT_TRUE(QFile::link(at("Korvane.exe"), at("Link.exe")));

    expectInUse("KORVANE.EXE");
    expectInUse("Hard.exe");
    EXPECT_TRUE(files.inUse(at("korvane.exe")));
    EXPECT_FALSE(files.inUse(at("Visible.txt")));
    EXPECT_FALSE(files.inUse(at("Missing.exe")));
    // A link is only a name: removing it leaves the program alone, as on Windows.
    files.removeFile(at("Link.exe"));
    EXPECT_EQ(temp.read("Korvane.exe"), program);

    running.end();
    EXPECT_FALSE(files.inUse(at("Korvane.exe")));
    files.removeFile(at("Korvane.exe"));
    EXPECT_FALSE(temp.exists("Korvane.exe"));
}

TEST_F(NativeFileSystemTest, AFileHeldOpenIsFreeOnceItsHolderHasLetGo)
{
    RunningProgram holder(RunningProgram::Use::HoldOpen, at("Tools/drugbagprinter.EXE"));
    expectInUse("tools/DrugBagPrinter.exe");
    EXPECT_TRUE(files.inUse(at("tools\\DrugBagPrinter.exe")));
    EXPECT_EQ(temp.read("Tools/drugbagprinter.EXE"), "printer");
    holder.end();

    // Our own descriptors count too, as those of an open database connection.
    QFile own(at("Tools/drugbagprinter.EXE"));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    expectInUse("Tools/drugbagprinter.EXE");
    own.close();
    files.removeFile(at("Tools/drugbagprinter.EXE"));
    EXPECT_FALSE(temp.exists("Tools/drugbagprinter.EXE"));
}
#else
TEST_F(NativeFileSystemTest, AFileHeldOpenIsFreeOnceItsHolderHasLetGo)
{
    // As a running program holds its executable: others may read it, never change it.
    const QString file = QDir::toNativeSeparators(at("Tools/drugbagprinter.EXE"));
    const HANDLE holder =
        CreateFileW(reinterpret_cast<const wchar_t*>(file.utf16()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    expectInUse("tools/DrugBagPrinter.exe");
    EXPECT_TRUE(files.inUse(at("tools\\DrugBagPrinter.exe")));
    EXPECT_FALSE(files.inUse(at("Visible.txt")));
    EXPECT_EQ(files.readFile(at("Tools/drugbagprinter.EXE")), "printer");
    const QStringList tools = QDir(at("Tools")).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(tools, QStringList{"drugbagprinter.EXE"}); // no temporary left beside it
    CloseHandle(holder);
    EXPECT_FALSE(files.inUse(file));
    files.copyFile(at("Visible.txt"), file);
    EXPECT_EQ(temp.read("Tools/drugbagprinter.EXE"), "visible");
    EXPECT_EQ(QDir(at("Tools")).entryList(QDir::Files | QDir::Hidden), tools);
    files.removeFile(file);
    EXPECT_FALSE(temp.exists("Tools/drugbagprinter.EXE"));
}
#endif

// The installation check asks this before a run changes anything. The probe leaves nothing.
TEST_F(NativeFileSystemTest, CanWriteInTellsWhetherFilesCanBeMadeInTheFolder)
{
    const auto left = [&] { return QDir(at("Folder")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); };
    EXPECT_TRUE(files.canWriteIn(at("FOLDER")));
    EXPECT_TRUE(files.canWriteIn(at("Folder/")));
    EXPECT_EQ(left(), QStringList());
    EXPECT_FALSE(files.canWriteIn(at("Missing")));
    EXPECT_FALSE(files.canWriteIn(at("Visible.txt")));
#ifndef Q_OS_WIN
    const ReadOnlyFolder protectedFolder(at("Folder"));
    KORVANE_REQUIRE_READ_ONLY(protectedFolder);
    EXPECT_FALSE(files.canWriteIn(at("Folder")));
    EXPECT_EQ(left(), QStringList());
#endif
}

TEST_F(NativeFileSystemTest, MakeFolderCreatesExactlyOneLevel)
{
    files.makeFolder(at("tools\\Printer"));
    EXPECT_TRUE(QFileInfo(at("Tools/Printer")).isDir());
    files.makeFolder(at("Trailing/"));
    EXPECT_TRUE(QFileInfo(at("Trailing")).isDir());

    EXPECT_EQ(errorOf([&] { files.makeFolder(at("Tools\\printer")); }), Error::Kind::AccessDenied);
    EXPECT_EQ(errorOf([&] { files.makeFolder(at("Visible.txt")); }), Error::Kind::AccessDenied);
    EXPECT_EQ(errorOf([&] { files.makeFolder(at("One\\Two")); }), Error::Kind::PathNotFound);
    EXPECT_FALSE(temp.exists("One"));
}

} // namespace
