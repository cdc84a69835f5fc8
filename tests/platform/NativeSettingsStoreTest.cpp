// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/NativeSettingsStore.h"

#include "TempEnvironmentVariable.h"
#include "TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

#ifdef Q_OS_WIN
#include <qt_windows.h>
#include <cwchar>
#include <string>
#include <utility>
#endif

using korvane::platform::NativeSettingsStore;

namespace {

#ifdef Q_OS_WIN
// The installed application writes its settings as text values through the registry functions.
TEST(NativeSettingsStoreTest, RegistryValuesReadBackExactlyAsWritten)
{
    const wchar_t* const application = L"Software\\VB and VBA Program Settings\\KorvaneStoreTest";
    const std::wstring section = application + std::wstring(L"\\Options");
    for (const auto& [name, value] : {std::pair{L"KorvaneStartupPath", L"C:\\Program Files\\Korvane,2\\"},
                                      {L"Marked", L"@@x"},
                                      {L"Invalid", L"@Invalid()"}}) {
        EXPECT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), name, REG_SZ, value,
                                  DWORD((wcslen(value) + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    const NativeSettingsStore store;
    EXPECT_EQ(store.read("KorvaneStoreTest", "OPTIONS", "korvanestartuppath"), "C:\\Program Files\\Korvane,2\\");
    EXPECT_EQ(store.read("KorvaneStoreTest", "Options", "Marked"), "@@x");
    EXPECT_EQ(store.read("KorvaneStoreTest", "Options", "Invalid"), "@Invalid()");
    EXPECT_EQ(store.read("KorvaneStoreTest", "Options", "Missing"), QString());
    RegDeleteTreeW(HKEY_CURRENT_USER, application);
}
#else
using korvane::test::TempEnvironmentVariable;
using korvane::test::TempFolder;

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

#endif

} // namespace
