// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Outcome.h"
#include "platform/Dialogs.h"
#include "platform/LogFile.h"
#include "platform/Services.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <future>
#include <vector>

namespace korvane {

class IAction;

// What an action tells the record of its run about what it did to the installation.
class RunDetails
{
public:
    // One entry: "label：text"; the text may run over several lines.
    void add(const QString& label, const QString& text);
    // The main counts in a few words, for the one-line history.
    void setSummary(const QString& text) { ivSummary = text; }
    // The clinic database's connection text; what follows a password key never reaches the record.
    void setConnection(const QString& text);
    // A file kept beside the log, named after the run's start ("20261210-081500 name").
    void attach(const QString& name, const QByteArray& bytes) { ivAttachments.push_back({name, bytes}); }
    // The file the run kept before it changed anything, so that it can be taken back
    // (keepBesideRecord): the block names it, the run's change files take its stem, and of the
    // files of its kind only those of the last runs that kept one stay (keptTables).
    // after: what the run left, in a few words.
    void setKept(const QString& fileName, const QString& after);
    // The run this one took back: its start and action, and the file it put back.
    void setTookBack(const QString& run, const QString& fileName);

private:
    friend class RunRecorder;
    struct Attachment
    {
        QString name;
        QByteArray bytes;
    };
    QStringList ivLines;
    QString ivSummary;
    QString ivConnection;
    std::vector<Attachment> ivAttachments;
    QString ivKept;
    QString ivKeptAfter;
    QString ivTookBack;
};

// Keeps the record of one run: the front end runs the action with services() (so that every
// message shown and the answer given are seen), calls start() and, once the run has ended,
// finish(), which appends one block to UpdateLog\updates.log in the installation folder (or
// beside the pack when there is none). A record that cannot be written never changes the run:
// finish() says where and why instead.
class RunRecorder : public platform::Dialogs
{
public:
    RunRecorder(const platform::Services& machine, QString actionName, QString programPath);

    // The machine as the action must see it: the same, but its messages go through the record.
    platform::Services services() { return ivMachine.with(static_cast<platform::Dialogs&>(*this)); }

    void start();
    // Writes the block of the run that ended with outcome; empty text when written, else a
    // warning for the user naming where it could not be written and why.
    QString finish(Outcome outcome, const IAction& action);

    void messageBox(platform::MessageIcon icon, const QString& title, const QString& text) override;
    QString inputBox(const QString& prompt, const QString& title) override;
    bool question(const QString& title, const QString& text, bool defaultYes) override;

private:
    QString block(Outcome outcome, const RunDetails& details, const QStringList& attached,
                  const QString& installation, const QString& folder) const;
    void remember(const QString& title, const QString& text, const QString& answer, bool critical = false);
    // Of the files kept like kept, those of the last keptTables runs stay.
    static void keepLastKept(platform::LogFile::Writer& writer, const QString& kept);

    platform::Services ivMachine;
    QString ivActionName;
    std::future<QString> ivProgramIdentity;
    QString ivProgram;
    QDateTime ivStart;
    QStringList ivMessages;
    // The cause of a run that is refused or fails, one line of the messages it showed.
    QString ivCause;
    bool ivCauseCritical = false;
};

// Where the runs of this installation are recorded: UpdateLog in the installation folder, or
// beside the pack when the installation is unknown.
QString runLogFolder(const platform::Services& services);

// The last n runs recorded in the folder's log, oldest first, one line each: the start, the
// action, the outcome and the main counts; the one run that can be taken back now (the last that
// kept a file for it, while the file is there) is marked so.
QStringList recentRuns(const QString& folder, int n);

// The runs that kept a file for taking them back whose files stay: those of the last three.
constexpr int keptTables = 3;

// Writes a file of the run beside its record in runLogFolder(), to be taken back by (the table
// as it was before the run changes it), named "<yyyyMMdd-HHmmss> name" under the record's lock
// and flushed to the disk before it returns: the run commits only once it is there. Returns the
// file's name. Throws platform::Error naming the file and the cause (a full disk, a link).
QString keepBesideRecord(const platform::Services& services, const QString& name, const QByteArray& bytes);
// Removes such a file again, for a run that did not commit after all.
void dropBesideRecord(const platform::Services& services, const QString& fileName);
// The bytes of such a file in the folder of a log; throws platform::Error naming it when it is
// missing (Error::Kind::FileNotFound) or cannot be read, and LinkRefused when a link stands there.
QByteArray readBesideRecord(const QString& folder, const QString& fileName);

// The last run recorded in the folder's log that kept a file for taking it back: the one an undo
// takes back. Empty fileName when there is none.
struct KeptRun
{
    QString start;    // as the block's first line gives it
    QString action;
    QString fileName; // the kept file's name, beside the log
};
KeptRun lastKeptRun(const QString& folder);

} // namespace korvane
