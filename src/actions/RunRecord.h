// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Outcome.h"
#include "platform/Dialogs.h"
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
                  const QString& installation) const;
    void remember(const QString& title, const QString& text, const QString& answer, bool critical = false);

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
// action, the outcome and the main counts.
QStringList recentRuns(const QString& folder, int n);

} // namespace korvane
