// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/Paths.h"

#include "TempFolder.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace korvane::platform;
using korvane::test::TempFolder;

namespace {

TEST(PathsTest, JoinPathConcatenatesAndConvertsOnlyTheRelativeName)
{
    const QString sep(nativeSeparator());
    struct Case
    {
        QString folder, relative, joined;
    };
    const Case cases[] = {
        {"D:\\Download", "\\all.puf", "D:\\Download" + sep + "all.puf"},
        {"/opt/korvane", "\\tools\\KillIt.exe", "/opt/korvane" + sep + "tools" + sep + "KillIt.exe"},
        // Plain concatenation: a folder with a trailing separator gives a doubled one.
        {"E:\\", "\\destroy.bat", "E:\\" + sep + "destroy.bat"},
        {"", "\\Korvane.config", sep + "Korvane.config"},
        {"folder", "", "folder"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(joinPath(c.folder, c.relative), c.joined) << c.folder.toStdString();
}

TEST(PathsTest, ApplicationFolderIsTheExecutablesFolderWithoutTrailingSeparator)
{
    const QString folder = applicationFolder();
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_FALSE(folder.endsWith(nativeSeparator()));
}

#ifndef Q_OS_WIN

class LocalPathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        temp.write("Tools/drugbagprinter.EXE", "x");
        temp.write("Tools/Data/a.txt", "a");
        temp.write("exact/Name.txt", "1");
        temp.write("exact/name.txt", "2");
    }
    TempFolder temp;
};

TEST_F(LocalPathTest, ResolvesEachComponentIgnoringCase)
{
    const QString root = temp.path();
    struct Case
    {
        QString given, local;
    };
    const Case cases[] = {
        {root + "\\tools\\DrugBagPrinter.exe", root + "/Tools/drugbagprinter.EXE"},
        {root + "/TOOLS/data/A.TXT", root + "/Tools/Data/a.txt"},
        {root + "\\tools\\drugbagprinter.EXE", root + "/Tools/drugbagprinter.EXE"},
        // The exact spelling wins over another that differs only in case.
        {root + "/exact/name.txt", root + "/exact/name.txt"},
        {root + "/EXACT/Name.txt", root + "/exact/Name.txt"},
        // From the first missing component on, the rest is kept as given.
        {root + "\\tools\\Missing\\More\\x.txt", root + "/Tools/Missing/More/x.txt"},
        {root + "\\tools\\new.bat", root + "/Tools/new.bat"},
        {root + "//tools/./data", root + "//Tools/./Data"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(localPath(c.given), c.local) << c.given.toStdString();
}

TEST_F(LocalPathTest, ResolvesRelativePathsFromTheWorkingFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(temp.path()));
    const QString local = localPath("tools\\DRUGBAGPRINTER.exe");
    QDir::setCurrent(previous);
    EXPECT_EQ(local, "Tools/drugbagprinter.EXE");
}

#endif

} // namespace
