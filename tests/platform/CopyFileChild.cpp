// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// One copy in a process of its own, for the tests that kill it in the middle.
#include "platform/Error.h"
#include "platform/NativeFileSystem.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    try {
        korvane::platform::NativeFileSystem().copyFile(QString::fromLocal8Bit(argv[1]),
                                                       QString::fromLocal8Bit(argv[2]));
    } catch (const korvane::platform::Error& error) {
        std::fputs(error.what(), stderr);
        return 1;
    }
    return 0;
}
