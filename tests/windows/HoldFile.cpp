// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// Holds a file open as another program that uses it does: others may read it, but neither
// write, rename nor delete it. "HoldFile PATH" holds it until its standard input ends,
// "HoldFile PATH MS" for MS milliseconds. It prints "held" once it holds the file.
#include <cstdio>
#include <cwchar>
#include <windows.h>

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2 || argc > 3)
        return 2;
    const HANDLE file =
        CreateFileW(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    if (argc == 3) {
        Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    } else {
        char buffer[64];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
    }
    CloseHandle(file);
    return 0;
}
