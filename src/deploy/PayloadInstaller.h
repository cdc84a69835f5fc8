// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "actions/Outcome.h"
#include "actions/StepList.h"
#include "platform/FileSystem.h"
#include "platform/Services.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace korvane {

class Installation;
class RunDetails;

// What the deployment actions say when the files they replace are still in use.
inline const QString CloseRunningSoftwareText =
    QStringLiteral("在進行更新程式前，請關閉目前正在執行的申報軟體。");

// The steps of the application update and of the printing module's deployment.
const StepList& deploymentSteps();

// A file shipped in the pack folder and where it goes, relative to the pack folder and to the
// installation folder.
struct PayloadFile
{
    QString shipped;
    QString target;
};

// What a run did with each shipped file it tried, for the run's record.
struct InstallRecord
{
    QStringList files; // one entry each: the file, its target and what became of it
    qsizetype installed = 0;
    qsizetype left = 0;

    void addTo(RunDetails& details) const;
};

// What a run does with one shipped file, decided before anything is written: the one decision
// that a run acts on and a preview lists.
struct FilePlan
{
    enum class Action {
        Install,  // nothing of that name is installed yet
        Replace,  // the installed file differs; an installed database is kept as backup first
        UpToDate, // the installed file holds the shipped bytes already: neither copied nor backed up
        Blocked,  // it cannot be installed, for the reason in why
    };
    QString shipped; // in the pack folder
    QString target;  // in the installation
    Action action = Action::Blocked;
    QString backup; // where the installed database is kept before it is replaced; empty for none
    QString why;
    // For a preview only: what IT staff compare, whether a backup of an earlier run is replaced,
    // and whether a program uses the installed file now (the copy would then fail).
    std::optional<platform::FileFacts> shippedFile;
    std::optional<platform::FileFacts> installedFile;
    bool backupReplaced = false;
    bool inUse = false;
};

// A run rehearsed for a preview: what it would do, in its order, with nothing done.
struct InstallPlan
{
    std::vector<FilePlan> files;   // each file it would install, as decided
    QStringList packFiles;         // the shipped files its checks found in the pack folder
    QStringList removedFromPack;   // shipped files it would remove, their work done
    QStringList foldersMade;       // folders of the installation it would make
    QStringList leftovers;         // what a run that was killed left, which it would remove
    QStringList before;            // what it would do first besides the files (stop Korvane)
    QStringList after;             // what it would do last (start Korvane), or where it would stop
};

// Installs the files shipped in the pack folder into an installation, one by one. Each target
// is replaced in one step (the file system writes beside it and renames over it), a database
// file is first kept as "<name>.bak", and nothing is written through a link or outside the
// installation. A shipped file that could not be installed is never thrown away: it stays in the
// pack folder and is remembered, so that one message at the end names everything that was not
// installed and the pack can be run again for it. Given a plan, it rehearses instead: every call
// decides as in a run and writes the decision into the plan, and nothing is copied, removed,
// made or told.
class PayloadInstaller
{
public:
    // With a record, each file tried is written into it.
    PayloadInstaller(const platform::Services& services, QString installationFolder, InstallRecord* record = nullptr,
                     InstallPlan* rehearsal = nullptr);

    bool rehearsing() const { return ivRehearsal != nullptr; }

    // Removes what a run that was killed while copying left beside these targets.
    void removeLeftovers(const std::vector<PayloadFile>& files);
    // Makes the folder (one level) where it is missing. Throws when it cannot be made.
    void makeFolder(const QString& folder);

    // What installing the shipped file as target does; never throws: a failure to find out is
    // a reason the file cannot be installed.
    FilePlan plan(const QString& shipped, const QString& target) const;
    // Puts the shipped file in place of target, as plan() decides. False, with the cause
    // remembered, when it was not installed; the installed file is then as it was. A target that
    // holds the shipped bytes already counts as installed and is left alone, its backup too.
    bool install(const QString& shipped, const QString& target);
    // Removes a shipped file that has done its work; a failure is skipped.
    void removeShipped(const QString& shipped);

    bool allInstalled() const { return ivNotInstalled.isEmpty(); }
    // Each file not installed, with why.
    const QStringList& notInstalled() const { return ivNotInstalled; }
    // One critical message listing every file that was not installed; none when all were.
    void reportNotInstalled() const;
    // After a run that installed everything: which databases were kept, if any.
    void reportKept() const;

    // The files of the list that the pack ships, in its order. Throws RunRefused when it ships
    // none of them, naming what was looked for and the names that are folders, not files.
    std::vector<PayloadFile> requireShipped(const std::vector<PayloadFile>& files) const;
    // Throws RunRefused when a shipped file of the list is the very file it would be installed
    // as (a folder linked or spelled otherwise, a hard link): the copy would go onto itself and
    // the clean-up would remove the installed file.
    void requireDistinct(const std::vector<PayloadFile>& files) const;
    // The checks every deployment starts with, before anything is copied: the installation (not
    // run from it nor from the folders given), the files shipped, and no shipped file the same as
    // its target (also of alsoInstalled, the files installed beside those shipped). A refusal is
    // told and gives nothing.
    std::optional<std::vector<PayloadFile>> startRun(const Installation& installation, const std::vector<PayloadFile>& files,
                                                     const QStringList& alsoNotFrom = {},
                                                     const std::vector<PayloadFile>& alsoInstalled = {}) const;
    // Tells what was not installed, or which databases were kept, and how the run ended; a
    // rehearsal tells nothing.
    Outcome finish() const;

private:
    QString keptText() const;
    void remember(const QString& shipped, const QString& target, const QString& fate);
    bool notInstalled(const QString& shipped, const QString& target, const QString& cause);
    bool folderWillExist(const QString& folder) const;

    platform::Services ivServices;
    QString ivFolder;
    QStringList ivNotInstalled;
    QStringList ivKept;
    qsizetype ivInstalledCount = 0;
    InstallRecord* ivRecord;
    InstallPlan* ivRehearsal;
};

// A command line that starts exactly this program, wherever it lies (blanks included), with
// the given arguments.
QString commandLine(const QString& program, const QString& arguments = {});

} // namespace korvane
