// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "shell/SelfRemovalScript.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

struct JoinCase
{
    const char* folder;
    char separator;
    const char* name;
    const char* expected;
};

class FullPathTest : public ::testing::TestWithParam<JoinCase>
{
};

TEST_P(FullPathTest, JoinsAndCollapsesSeparatorPairsFromTheLeft)
{
    const JoinCase& c = GetParam();
    const SelfRemovalScript script(QString::fromUtf8(c.folder), QLatin1Char(c.separator));
    EXPECT_EQ(script.getFullPath(QString::fromUtf8(c.name)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FullPathTest,
    ::testing::Values(JoinCase{"D:\\Download", '\\', "UP52407301.exe", "D:\\Download\\UP52407301.exe"},
                      JoinCase{"E:\\", '\\', "destroy.bat", "E:\\destroy.bat"},
                      // Pairs do not overlap: three in a row become two, four become two.
                      JoinCase{"C:\\a\\\\", '\\', "x.exe", "C:\\a\\\\x.exe"},
                      JoinCase{"C:\\a\\\\\\", '\\', "x.exe", "C:\\a\\\\x.exe"},
                      JoinCase{"D:\\更新\\包", '\\', "UP52407301.exe", "D:\\更新\\包\\UP52407301.exe"},
                      JoinCase{"/srv/pack", '/', "destroy.bat", "/srv/pack/destroy.bat"},
                      JoinCase{"/", '/', "destroy.bat", "/destroy.bat"},
                      // The other separator is left alone.
                      JoinCase{"D:/Download", '\\', "a.exe", "D:/Download\\a.exe"}));

struct FolderCase
{
    const char* folder;
    char separator;
    bool supported;
};

class NetworkFolderTest : public ::testing::TestWithParam<FolderCase>
{
};

TEST_P(NetworkFolderTest, FolderStartingWithTwoSeparatorsIsRefused)
{
    const FolderCase& c = GetParam();
    EXPECT_EQ(SelfRemovalScript(QString::fromLatin1(c.folder), QLatin1Char(c.separator)).isSupportedFolder(),
              c.supported);
}

INSTANTIATE_TEST_SUITE_P(Folders, NetworkFolderTest,
                         ::testing::Values(FolderCase{"\\\\server\\share", '\\', false},
                                           FolderCase{"\\\\", '\\', false},
                                           FolderCase{"//server/share", '/', false},
                                           FolderCase{"D:\\Download", '\\', true},
                                           FolderCase{"E:\\", '\\', true}, FolderCase{"\\pack", '\\', true},
                                           FolderCase{"/srv/pack", '/', true}));

TEST(SelfRemovalScriptTest, ScriptBytesForDownloadFolder)
{
    const QByteArray expected = "@echo off\r\n"
                                ":aa\r\n"
                                "     if exist \"D:\\Download\\UP52407301.exe\" goto bb\r\n"
                                "     goto cc\r\n"
                                ":bb\r\n"
                                "     del \"D:\\Download\\UP52407301.exe\"\r\n"
                                "     cls\r\n"
                                "     if exist \"D:\\Download\\UP52407301.exe\" goto aa\r\n"
                                "     cls\r\n"
                                ":cc\r\n"
                                "     del \"D:\\Download\\UP52407301.exe\"\r\n"
                                "     del \"D:\\Download\\destroy.bat\"\r\n"
                                "     cls\r\n"
                                "     exit\r\n";
    EXPECT_EQ(
        SelfRemovalScript(QStringLiteral("D:\\Download"), u'\\').bytes(QStringLiteral("UP52407301.exe")),
        expected);
}

TEST(SelfRemovalScriptTest, ScriptBytesForDriveRoot)
{
    const QByteArray expected = "@echo off\r\n"
                                ":aa\r\n"
                                "     if exist \"E:\\UP52407301.exe\" goto bb\r\n"
                                "     goto cc\r\n"
                                ":bb\r\n"
                                "     del \"E:\\UP52407301.exe\"\r\n"
                                "     cls\r\n"
                                "     if exist \"E:\\UP52407301.exe\" goto aa\r\n"
                                "     cls\r\n"
                                ":cc\r\n"
                                "     del \"E:\\UP52407301.exe\"\r\n"
                                "     del \"E:\\destroy.bat\"\r\n"
                                "     cls\r\n"
                                "     exit\r\n";
    EXPECT_EQ(SelfRemovalScript(QStringLiteral("E:\\"), u'\\').bytes(QStringLiteral("UP52407301.exe")),
              expected);
}

TEST(SelfRemovalScriptTest, ChineseFolderIsWrittenInTheAnsiCodePage)
{
    // 更新 in Big5 is A7 F3 B7 73.
    const QByteArray bytes =
        SelfRemovalScript(QStringLiteral("D:\\更新"), u'\\').bytes(QStringLiteral("a.exe"));
    EXPECT_TRUE(bytes.contains("     del \"D:\\\xA7\xF3\xB7\x73\\a.exe\"\r\n"))
        << bytes.toHex(' ').toStdString();
    EXPECT_EQ(bytes.count("\r\n"), 14);
}

} // namespace
} // namespace korvane
