// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
// Stands in for the installation's tools\KillIt.exe under Wine: "KillIt Korvane" ends every
// running korvane.exe, as the real tool does.
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "Korvane") != 0)
        return 2;
    return std::system("taskkill /f /im korvane.exe >nul");
}
