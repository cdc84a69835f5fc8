// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// Replacing an installed file on Windows, against another program that holds it.
#include "TempFolder.h"
#include "platform/Error.h"
#include "platform/NativeFileSystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>
#include <qt_windows.h>

using korvane::platform::Error;
using korvane::platform::NativeFileSystem;
using korvane::test::TempFolder;

namespace {

// HoldFile.exe, beside this test, holding the file without sharing its deletion.
class Holder
{
public:
    // For that long, or until end().
    explicit Holder(const QString& file, int milliseconds = -1)
    {
        QStringList arguments{QDir::toNativeSeparators(file)};
        if (milliseconds >= 0)
            arguments << QString::number(milliseconds);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/HoldFile.exe"), arguments);
        m_holds = m_process.waitForStarted() && m_process.waitForReadyRead(30'000) &&
                  m_process.readAllStandardOutput().startsWith("held");
    }
    ~Holder() { end(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool holds() const { return m_holds && m_process.state() == QProcess::Running; }
    bool ended() { return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(30'000); }
    void end()
    {
        m_process.closeWriteChannel();
        ended();
    }

private:
    QProcess m_process;
    bool m_holds = false;
};

DWORD attributesOf(const QString& path)
{
    return GetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()));
}

void setAttributes(const QString& path, DWORD attributes)
{
    ASSERT_TRUE(SetFileAttributesW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(path).utf16()),
                                   attributes));
}

class FileReplacement : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source = temp.write("pack/korvane.exe", "new program");
        target = temp.write("Korvane/Korvane.exe", "old program");
    }
    // The installation folder holds the target and nothing else: no copy, no old file.
    QStringList installation() const
    {
        return QDir(temp.path("Korvane")).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    TempFolder temp;
    NativeFileSystem files;
    QString source;
    QString target;
};

// A virus scanner, or a program just closing, lets go within a moment: the copy waits for it.
TEST_F(FileReplacement, AFileHeldWithoutDeleteSharingIsReplacedOnceLetGo)
{
    Holder holder(target, 1500);
    ASSERT_TRUE(holder.holds());
    files.copyFile(source, target);
    EXPECT_TRUE(holder.ended());
    EXPECT_EQ(temp.read("Korvane/Korvane.exe"), "new program");
    EXPECT_EQ(installation(), QStringList{"Korvane.exe"});
}

// Held past the wait, the file is named as in use; it stays as it was, read-only included.
TEST_F(FileReplacement, AFileHeldPastTheWaitIsNamedInUseAndStaysAsItWas)
{
    setAttributes(target, FILE_ATTRIBUTE_READONLY);
    Holder holder(target);
    ASSERT_TRUE(holder.holds());
    try {
        files.copyFile(source, target);
        ADD_FAILURE() << "replaced a file another program holds";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), Error::Kind::AccessDenied);
        EXPECT_EQ(error.description(),
                  QStringLiteral("無法複製檔案（可能正在使用中或沒有權限）：") + source + QStringLiteral(" → ") + target);
    }
    EXPECT_TRUE(holder.holds());
    holder.end();
    EXPECT_EQ(temp.read("Korvane/Korvane.exe"), "old program");
    EXPECT_EQ(installation(), QStringList{"Korvane.exe"});
    EXPECT_TRUE(attributesOf(target) & FILE_ATTRIBUTE_READONLY);
    setAttributes(target, FILE_ATTRIBUTE_NORMAL);
}

// It also keeps its name: the folder lists "Korvane.exe" still when "KORVANE.EXE" was written.
TEST_F(FileReplacement, AReadOnlyHiddenTargetIsReplacedAndKeepsItsAttributesAndName)
{
    setAttributes(target, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    files.copyFile(source, temp.path("Korvane/KORVANE.EXE"));
    EXPECT_EQ(temp.read("Korvane/Korvane.exe"), "new program");
    const DWORD attributes = attributesOf(target);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(installation(), QStringList{"Korvane.exe"});
    // Where there was none, the copy is made as it is.
    files.copyFile(source, temp.path("Korvane/dbHospital.mdb"));
    EXPECT_FALSE(attributesOf(temp.path("Korvane/dbHospital.mdb")) & FILE_ATTRIBUTE_READONLY);
    setAttributes(target, FILE_ATTRIBUTE_NORMAL);
}

} // namespace
