// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "JetSql.h"

#include <algorithm>
#include <array>

namespace korvane::platform {

namespace {

struct Token
{
    enum Kind { Word, Open, Close, Comma, Value, Other } kind;
    QString word; // upper case, for a Word
    qsizetype position;
};

// Words Jet does not know, wherever they stand.
struct Keyword
{
    const char* word;
    const char* reason;
};
constexpr std::array kKeywords{
    Keyword{"CASE", "Jet has no CASE; use IIf(condition, a, b)"},
    Keyword{"LIMIT", "Jet has no LIMIT; use SELECT TOP n"},
    Keyword{"OFFSET", "Jet has no OFFSET; select the rows by a condition or TOP n"},
    Keyword{"SAVEPOINT", "Jet has no savepoints"},
    Keyword{"BEGIN", "Jet takes no BEGIN statement; a transaction begins by turning ODBC autocommit off"},
};

// Functions Jet does not have, named by the word before "(": a column of that name is bracketed.
constexpr std::array kFunctions{
    Keyword{"COALESCE", "Jet has no COALESCE; use IIf(x Is Null, y, x)"},
    Keyword{"IFNULL", "Jet has no IFNULL; use IIf(x Is Null, y, x)"},
    Keyword{"NULLIF", "Jet has no NULLIF; use IIf(x = y, Null, x)"},
    Keyword{"CAST", "Jet has no CAST; use CStr, CLng, CDbl, CDate"},
    Keyword{"CONCAT", "Jet has no CONCAT; join texts with &"},
    Keyword{"SUBSTRING", "Jet has no SUBSTRING; use Mid"},
    Keyword{"SUBSTR", "Jet has no SUBSTR; use Mid"},
    Keyword{"LENGTH", "Jet has no LENGTH; use Len"},
};

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The position after the quote that closes the one at start; -1 when none does. A doubled
// closing quote stands for one and goes on.
qsizetype afterQuoted(QStringView text, qsizetype start, QChar close, bool doubles)
{
    for (qsizetype i = start + 1; i < text.size(); ++i) {
        if (text[i] != close)
            continue;
        if (doubles && i + 1 < text.size() && text[i + 1] == close) {
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

class Scanner
{
public:
    explicit Scanner(QStringView text) : m_text(text) {}

    void scan()
    {
        qsizetype i = 0;
        const qsizetype n = m_text.size();
        while (i < n) {
            const QChar c = m_text[i];
            const QChar next = i + 1 < n ? m_text[i + 1] : QChar();
            if (c == u'\'' || c == u'"' || c == u'[' || c == u'`') {
                i = quoted(i);
            } else if (c == u'|' && next == u'|') {
                refuse(QStringLiteral("||"), QStringLiteral("Jet joins texts with &"), i);
                i += 2;
            } else if (c == u'!' && next == u'=') {
                refuse(QStringLiteral("!="), QStringLiteral("Jet writes not-equal as <>"), i);
                i += 2;
            } else if (c == u'-' && next == u'-') {
                refuse(QStringLiteral("--"), QStringLiteral("Jet takes no comments"), i);
                const qsizetype end = m_text.indexOf(u'\n', i);
                i = end < 0 ? n : end;
            } else if (c == u'/' && next == u'*') {
                refuse(QStringLiteral("/* */"), QStringLiteral("Jet takes no comments"), i);
                const qsizetype end = m_text.indexOf(QStringLiteral("*/"), i + 2);
                i = end < 0 ? n : end + 2;
            } else if (c == u';') {
                if (!m_text.mid(i + 1).trimmed().isEmpty())
                    refuse(QStringLiteral(";"), QStringLiteral("Jet runs one statement at a time"), i);
                ++i;
            } else if (isWordCharacter(c)) {
                const qsizetype start = i;
                while (i < n && isWordCharacter(m_text[i]))
                    ++i;
                m_tokens.push_back({Token::Word, m_text.mid(start, i - start).toString().toUpper(), start});
            } else {
                const Token::Kind kind = c == u'('   ? Token::Open
                                         : c == u')' ? Token::Close
                                         : c == u',' ? Token::Comma
                                                     : Token::Other;
                if (!c.isSpace())
                    m_tokens.push_back({kind, {}, i});
                ++i;
            }
        }
        words();
    }

    std::vector<JetRefusal> refusals;

private:
    // A literal or a quoted name: skipped, for its text is no SQL; a double-quoted one is refused.
    qsizetype quoted(qsizetype start)
    {
        const QChar open = m_text[start];
        const QChar close = open == u'[' ? QChar(u']') : open;
        const qsizetype end = afterQuoted(m_text, start, close, open != u'[');
        if (open == u'"')
            refuse(QStringLiteral("\"...\""),
                   QStringLiteral("Jet reads a double-quoted name as a text; bracket names: [name]"), start);
        if (end < 0) {
            refuse(QString(open), QStringLiteral("a quote or bracket is never closed"), start);
            return m_text.size();
        }
        m_tokens.push_back({open == u'\'' || open == u'"' ? Token::Value : Token::Word, {}, start});
        return end;
    }

    void words()
    {
        for (size_t t = 0; t < m_tokens.size(); ++t) {
            const Token& token = m_tokens[t];
            if (token.kind != Token::Word || token.word.isEmpty())
                continue;
            const bool call = t + 1 < m_tokens.size() && m_tokens[t + 1].kind == Token::Open;
            for (const Keyword& keyword : kKeywords) {
                if (token.word == QLatin1String(keyword.word))
                    refuse(token.word, QString::fromUtf8(keyword.reason), token.position);
            }
            for (const Keyword& function : kFunctions) {
                if (call && token.word == QLatin1String(function.word))
                    refuse(token.word, QString::fromUtf8(function.reason), token.position);
            }
            const bool nextIsValues =
                t + 1 < m_tokens.size() && m_tokens[t + 1].word == QStringLiteral("VALUES");
            if (token.word == QStringLiteral("DEFAULT") && nextIsValues)
                refuse(QStringLiteral("DEFAULT VALUES"),
                       QStringLiteral("Jet has no DEFAULT VALUES; a new row sets at least one column"),
                       token.position);
            if (token.word == QStringLiteral("VALUES") && call && secondRowFollows(t + 1))
                refuse(QStringLiteral("VALUES (...), (...)"),
                       QStringLiteral("Jet inserts one row per VALUES"), token.position);
        }
    }

    // Whether the parenthesised list opening at token open is followed by ", (": a second row.
    bool secondRowFollows(size_t open) const
    {
        int depth = 0;
        for (size_t t = open; t < m_tokens.size(); ++t) {
            if (m_tokens[t].kind == Token::Open)
                ++depth;
            else if (m_tokens[t].kind == Token::Close && --depth == 0)
                return t + 2 < m_tokens.size() && m_tokens[t + 1].kind == Token::Comma &&
                       m_tokens[t + 2].kind == Token::Open;
        }
        return false;
    }

    void refuse(const QString& construct, const QString& reason, qsizetype position)
    {
        refusals.push_back({construct, reason, position});
    }

    QStringView m_text;
    std::vector<Token> m_tokens;
};

} // namespace

std::vector<JetRefusal> JetSql::refusals(QStringView statement)
{
    Scanner scanner(statement);
    scanner.scan();
    std::vector<JetRefusal> found = std::move(scanner.refusals);
    std::stable_sort(found.begin(), found.end(),
                     [](const JetRefusal& a, const JetRefusal& b) { return a.position < b.position; });
    return found;
}

QString JetSql::describe(const std::vector<JetRefusal>& refusals)
{
    QString text;
    for (const JetRefusal& refusal : refusals)
        text += QStringLiteral("%1 (at %2): %3\n")
                    .arg(refusal.construct)
                    .arg(refusal.position + 1)
                    .arg(refusal.reason);
    return text;
}

} // namespace korvane::platform
