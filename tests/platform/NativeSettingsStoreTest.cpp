// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeSettingsStore.h"

#include "TempEnvironmentVariable.h"
#include "TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

#ifndef Q_OS_WIN

using korvane::platform::NativeSettingsStore;
using korvane::test::TempEnvironmentVariable;
using korvane::test::TempFolder;

namespace {

class NativeSettingsStoreTest : public ::testing::Test
{
protected:
    void writeIni(const QByteArray& text) { temp.write("Korvane/Korvane.ini", text); }

    TempFolder temp;
    TempEnvironmentVariable configHome{"XDG_CONFIG_HOME", QFile::encodeName(temp.path())};
    NativeSettingsStore store;
};

TEST_F(NativeSettingsStoreTest, ValuesReadBackExactlyAsWritten)
{
    writeIni("[Options]\r\n"
             "KorvaneStartupPath=C:\\Program Files\\Korvane,2\\\r\n"
             "Spaces=  two  spaces  \n"
             "Quoted=\"a=b\", c\n"
             "; KorvaneStartupPath=commented out\n"
             "Twice=first\n"
             "Twice=second\n"
             "Empty=\n"
             "[Other]\n"
             "KorvaneStartupPath=other section\n"
             "Unicode=診所\n");
    struct Case
    {
        const char* section;
        const char* key;
        QString value;
    };
    const Case cases[] = {
        {"Options", "KorvaneStartupPath", "C:\\Program Files\\Korvane,2\\"},
        {"options", "korvanestartuppath", "C:\\Program Files\\Korvane,2\\"},
        {"Options", "Spaces", "  two  spaces  "},
        {"Options", "Quoted", "\"a=b\", c"},
        {"Options", "Twice", "second"},
        {"Options", "Empty", ""},
        {"Options", "Missing", ""},
        {"Options", "Unicode", ""},
        {"Other", "KorvaneStartupPath", "other section"},
        {"Other", "Unicode", QStringLiteral("診所")},
        {"Missing", "KorvaneStartupPath", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(store.read("Korvane", c.section, c.key), c.value) << c.section << "/" << c.key;
}

TEST_F(NativeSettingsStoreTest, FileWithByteOrderMarkIsRead)
{
    writeIni("\xEF\xBB\xBF[Options]\r\nKorvaneStartupPath=D:\\Korvane\r\n");
    EXPECT_EQ(store.read("Korvane", "Options", "KorvaneStartupPath"), "D:\\Korvane");
}

TEST_F(NativeSettingsStoreTest, MissingFileReadsAsEmptyText)
{
    EXPECT_EQ(store.read("Korvane", "Options", "KorvaneStartupPath"), QString());
    writeIni("[Options]\nKorvaneStartupPath=/opt/korvane\n");
    EXPECT_EQ(store.read("Nobody", "Options", "KorvaneStartupPath"), QString());
}

TEST_F(NativeSettingsStoreTest, ReadsAgainAfterTheFileChanged)
{
    writeIni("[Options]\nKorvaneStartupPath=/opt/first\n");
    EXPECT_EQ(store.read("Korvane", "Options", "KorvaneStartupPath"), "/opt/first");
    writeIni("[Options]\nKorvaneStartupPath=/opt/second\n");
    EXPECT_EQ(store.read("Korvane", "Options", "KorvaneStartupPath"), "/opt/second");
    QFile::remove(temp.path("Korvane/Korvane.ini"));
    EXPECT_EQ(store.read("Korvane", "Options", "KorvaneStartupPath"), QString());
}

} // namespace

#endif
