// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QString>

namespace korvane::platform {

// A message speaks to the clinic's clerk; the names only IT staff need (a settings key, a
// registry path, a table) travel inside it as a note. The terminal front end and the run's
// record show the whole text; the wizard's message box shows the notes only under its details.
QString technicalNote(const QString& text);

struct MessageParts
{
    QString forUser; // the text without its notes
    QString notes;   // the notes' texts, one a line; empty when there are none
};
MessageParts splitTechnicalNotes(const QString& text);

} // namespace korvane::platform
