// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/Paths.h"

#include "TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

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

class PathIdentityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        temp.write("Korvane/Korvane.exe");
        temp.makeFolder("Korvane/Tools");
        temp.makeFolder("KorvaneX");
#ifndef Q_OS_WIN
        temp.write("exact/Name.txt");
        temp.write("exact/name.txt");
        if (!QFile::link(temp.path("Korvane"), temp.path("Link")) ||
            ::link(QFile::encodeName(temp.path("Korvane/Korvane.exe")),
                   QFile::encodeName(temp.path("Hard.exe"))) != 0)
            FAIL() << "cannot link";
#endif
    }
    TempFolder temp;
};

TEST_F(PathIdentityTest, CanonicalPathIsOneSpellingOfTheName)
{
    const QString sep(nativeSeparator());
    const QString root = canonicalPath(temp.path());
    const QString cases[][2] = {
        {temp.path() + "\\korvane\\TOOLS\\", root + sep + "Korvane" + sep + "Tools"},
        {temp.path() + "/Korvane/./Missing/../New.txt", root + sep + "Korvane" + sep + "New.txt"},
        {QDir::rootPath(), QDir::toNativeSeparators(QDir::rootPath())},
#ifndef Q_OS_WIN
        {temp.path() + "/Link/korvane.EXE", root + "/Korvane/Korvane.exe"},
#endif
        {"", ""},
    };
    for (const auto& [given, canonical] : cases)
        EXPECT_EQ(canonicalPath(given), canonical) << given.toStdString();
}

TEST_F(PathIdentityTest, SamePathAndIsInsideLookPastTheSpelling)
{
    const QString r = temp.path();
    struct Case
    {
        QString a, b;
        bool same, aInsideB;
    };
    const Case cases[] = {
        {r + "/Korvane", r + "\\Korvane\\", true, true},
        {r + "/Korvane/.", r + "/Korvane/Tools/..", true, true},
        {r + "/KORVANE/korvane.EXE", r + "/Korvane/Korvane.exe", true, true},
        // Not there (yet): a file made under one name would be found by the other.
        {r + "/Korvane/Missing/New.txt", r + "/korvane/missing/NEW.TXT", true, true},
        {r + "/Korvane/Missing/New.txt", r + "/Korvane", false, true},
        {r + "/Korvane", QDir::rootPath(), false, true},
        {r + "/KorvaneX", r + "/Korvane", false, false},
        {r + "/KorvaneX/Korvane.exe", r + "/Korvane", false, false},
        {r + "/Korvane", r + "/Korvane/Tools", false, false},
        {r + "/Korvane/Tools/../../KorvaneX", r + "/Korvane", false, false},
#ifndef Q_OS_WIN
        {r + "/Link", r + "/Korvane", true, true},
        {r + "/link/TOOLS", r + "/Korvane", false, true},
        {r + "/Hard.exe", r + "/Korvane/Korvane.exe", true, true},
        {r + "/exact/Name.txt", r + "/exact/name.txt", false, false},
#endif
        {"", "", false, false},
        {"", r, false, false},
        {r, "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.a.toStdString() + " | " + c.b.toStdString());
        EXPECT_EQ(samePath(c.a, c.b), c.same);
        EXPECT_EQ(samePath(c.b, c.a), c.same);
        EXPECT_EQ(isInside(c.a, c.b), c.aInsideB);
    }
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
