// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "FileInUse.h"

#include <QFile>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::platform {

namespace {

struct FolderCloser
{
    void operator()(DIR* folder) const { ::closedir(folder); }
};
using Folder = std::unique_ptr<DIR, FolderCloser>;

// Null when the folder cannot be read: another user's process, or one that has just ended.
Folder openFolder(int at, const char* name)
{
    const int descriptor = ::openat(at, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return nullptr;
    Folder folder(::fdopendir(descriptor));
    if (!folder)
        ::close(descriptor);
    return folder;
}

// Whether name, resolved in the folder, is the file. The links in /proc lead to the file
// itself, whatever name it was opened by and even once it has been deleted.
bool isFile(DIR* folder, const char* name, const struct stat& file)
{
    struct stat other;
    return ::fstatat(::dirfd(folder), name, &other, 0) == 0 && other.st_ino == file.st_ino &&
           other.st_dev == file.st_dev;
}

bool isProcessId(const char* name)
{
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name) {
        if (*name < '0' || *name > '9')
            return false;
    }
    return true;
}

bool holdsOpen(DIR* proc, const char* process, const struct stat& file)
{
    char name[sizeof(dirent::d_name) + 3];
    std::snprintf(name, sizeof name, "%s/fd", process);
    const Folder descriptors = openFolder(::dirfd(proc), name);
    if (!descriptors)
        return false;
    while (const dirent* entry = ::readdir(descriptors.get())) {
        if (entry->d_name[0] != '.' && isFile(descriptors.get(), entry->d_name, file))
            return true;
    }
    return false;
}

} // namespace

bool fileInUse(const QString& localPath)
{
    // Only an ordinary file: devices such as /dev/null are open in every process.
    struct stat file;
    if (::stat(QFile::encodeName(localPath).constData(), &file) != 0 || !S_ISREG(file.st_mode))
        return false;

    // One pass over the processes; without /proc there is nobody to ask.
    const Folder proc = openFolder(AT_FDCWD, "/proc");
    if (!proc)
        return false;
    while (const dirent* entry = ::readdir(proc.get())) {
        if (!isProcessId(entry->d_name))
            continue;
        char executable[sizeof(dirent::d_name) + 4];
        std::snprintf(executable, sizeof executable, "%s/exe", entry->d_name);
        if (isFile(proc.get(), executable, file) || holdsOpen(proc.get(), entry->d_name, file))
            return true;
    }
    return false;
}

bool fileInUseAhead(const QString& localPath)
{
    return fileInUse(localPath);
}

} // namespace korvane::platform
