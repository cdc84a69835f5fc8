// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "ConsoleDialogs.h"

#include "Conversions.h"

#include <QByteArray>

namespace korvane::platform {

namespace {

// A terminal breaks lines at LF, and the next output starts on a line of its own.
QString terminalLines(const QString& text)
{
    QString result = withLineFeeds(text);
    if (!result.endsWith(u'\n'))
        result += u'\n';
    return result;
}

} // namespace

ConsoleDialogs::ConsoleDialogs(std::FILE* out, std::FILE* in, std::FILE* err) : m_out(out), m_in(in), m_err(err) {}

void ConsoleDialogs::messageBox(MessageIcon icon, const QString& title, const QString& text)
{
    QString shown;
    if (icon == MessageIcon::Critical) {
        m_criticalShown = true;
        shown = QStringLiteral("!! ");
    }
    shown += u'[' + title + QStringLiteral("]\n") + terminalLines(text) + u'\n';
    write(shown, icon == MessageIcon::Critical ? m_err : m_out);
}

QString ConsoleDialogs::inputBox(const QString& prompt, const QString& title)
{
    write(u'[' + title + QStringLiteral("]\n") + terminalLines(prompt) + QStringLiteral("> "));
    if (m_unattended) {
        if (!m_answers.isEmpty()) {
            const QString answer = m_answers.takeFirst();
            write(answer + u'\n');
            return answer;
        }
        if (!isTerminal(m_in)) {
            write(QStringLiteral("\n（沒有以 --answer 給回答，也沒有終端機可以詢問：視為取消）\n"));
            return {};
        }
    }

    QByteArray line;
    int c = 0;
    while ((c = std::fgetc(m_in)) != EOF && c != '\n')
        line += char(c);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

void ConsoleDialogs::answerFrom(const QStringList& answers)
{
    m_unattended = true;
    m_answers = answers;
}

bool ConsoleDialogs::question(const QString& title, const QString& text, bool defaultYes)
{
    const QString asked = QStringLiteral("?? [") + title + QStringLiteral("]\n") + terminalLines(text);
    if (m_unattended && !m_answers.isEmpty()) {
        const QString answer = m_answers.takeFirst();
        const QString given = answer.trimmed();
        const bool yes = given == QStringLiteral("是") || given.compare(QStringLiteral("y"), Qt::CaseInsensitive) == 0 ||
                         given.compare(QStringLiteral("yes"), Qt::CaseInsensitive) == 0;
        const bool no = given == QStringLiteral("否") || given.compare(QStringLiteral("n"), Qt::CaseInsensitive) == 0 ||
                        given.compare(QStringLiteral("no"), Qt::CaseInsensitive) == 0;
        // Anything else answers nothing it could be taken for: the safe answer.
        write(asked + (yes  ? QStringLiteral("> 是（--answer）\n\n")
                       : no ? QStringLiteral("> 否（--answer）\n\n")
                            : QStringLiteral("> 否（--answer 的「") + answer + QStringLiteral("」不是「是」或「否」，視為「否」）\n\n")));
        return yes;
    }
    write(asked + (defaultYes ? QStringLiteral("> 是（預設的回答）\n\n") : QStringLiteral("> 否（預設的回答）\n\n")));
    return defaultYes;
}

void ConsoleDialogs::write(const QString& text, std::FILE* stream)
{
    if (!stream)
        stream = m_out;
    // A message may quote what came from outside (a price list's codes): nothing of it acts on
    // the terminal.
    const QByteArray bytes = visibleControls(text, true).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace korvane::platform
