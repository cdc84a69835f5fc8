// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include "Dialogs.h"

#include <QStringList>
#include <cstdio>

namespace korvane::platform {

// Message and input boxes for the console front end, in UTF-8 text. A message box prints its
// title in brackets and its text; a critical one goes to the error stream and begins with "!! "
// so that it stands out in a log. An input box prints its title and prompt and reads one line.
class ConsoleDialogs : public Dialogs
{
public:
    explicit ConsoleDialogs(std::FILE* out = stdout, std::FILE* in = stdin, std::FILE* err = stderr);

    void messageBox(MessageIcon icon, const QString& title, const QString& text) override;
    // The line without its terminator; empty text at the end of the input.
    QString inputBox(const QString& prompt, const QString& title) override;
    // Nobody is there to answer an unattended run: prints the question, "?? " before it, and
    // the next answer given (answerFrom: "是" or "否"; anything else counts as "否"), or else the
    // default answer, which it gives.
    bool question(const QString& title, const QString& text, bool defaultYes = false) override;

    // For a run that nobody may be watching: input boxes and questions take these answers in
    // order, each written after its prompt. With none left, a box reads a line only where the input is a
    // terminal, and otherwise answers empty text, as a cancelled box does, so that such a run
    // never waits for input that will not come.
    void answerFrom(const QStringList& answers);

    // Whether any message box so far carried the critical icon.
    bool criticalShown() const { return m_criticalShown; }

    // Whether someone may be watching the stream: a terminal, not a file or a pipe.
    static bool isTerminal(std::FILE* stream);

private:
    void write(const QString& text, std::FILE* stream = nullptr);

    std::FILE* m_out;
    std::FILE* m_in;
    std::FILE* m_err;
    bool m_criticalShown = false;
    bool m_unattended = false;
    QStringList m_answers;
};

} // namespace korvane::platform
