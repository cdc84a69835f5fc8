// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

class QStringDecoder;

namespace korvane::platform {

// Text in the system's ANSI code page: the active code page on Windows, Big5 (950) elsewhere.
// Bytes that the code page cannot map become U+FFFD; nothing fails.
QString decodeAnsi(QByteArrayView bytes);
QByteArray encodeAnsi(QStringView text);

// Whether the bytes are valid UTF-8 (no overlong forms, surrogates or values beyond U+10FFFF)
// and hold at least one character beyond ASCII. Text in a double-byte code page such as Big5
// practically never passes: its second bytes break the UTF-8 sequences within a few characters.
bool isUtf8Text(QByteArrayView bytes);

// The lines of a text file. A line ends at CR LF, a lone CR or a lone LF; the terminator is not
// part of the line, and a final terminator opens no new line. A file that begins with a UTF-8
// byte-order mark is read as UTF-8, and so is one without the mark that isUtf8Text: a list
// saved as UTF-8 by an editor. Any other file is in the ANSI code page.
//
// An ANSI file is kept as its bytes and each line is decoded when it is asked for: a price list
// decoded whole would take twice its size again in memory. Splitting the bytes first is safe
// because CR and LF are never the second byte of a Big5 character.
class TextLines
{
public:
    TextLines() = default;
    explicit TextLines(QString text);
    static TextLines fromAnsiFile(QByteArray bytes);

    qsizetype count() const { return qsizetype(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }
    // Whether the last line ends with a line end; a file cut short in transit ends in the middle
    // of a line. True when there are no lines.
    bool lastLineTerminated() const { return isEmpty() || span(count() - 1).terminated; }
    // Throws platform::Error OutOfRange for a line the text does not have.
    QString at(qsizetype index) const;
    // The same into a text kept from line to line, so that reading every line in turn does
    // not allocate for each.
    void read(qsizetype index, QString& into) const;
    // The same appended to into, for lines kept one after another in one text.
    void append(qsizetype index, QString& into) const;
    // At least as many as the characters of all the lines together.
    qsizetype maxCharacters() const { return size(); }
    // The same lines, sharing the text, for reading on another thread beside this one.
    TextLines independentCopy() const
    {
        TextLines copy = *this;
        copy.m_decoder.reset();
        return copy;
    }

private:
    struct Span
    {
        qsizetype start;
        qsizetype length;
        bool terminated; // a line end follows
    };
    Span span(qsizetype index) const;
    QString decodeLine(const Span& line) const;
    qsizetype size() const;
    template <typename Char> void index(const Char* begin, const Char* end);

    QString m_text;     // a decoded text, or
    QByteArray m_bytes; // the bytes of an ANSI file
    // Where each line starts; its end is where the next starts, less the line end. Four bytes
    // a line keep the index small beside the text itself.
    std::vector<quint32> m_starts;
    mutable std::shared_ptr<QStringDecoder> m_decoder;
};

// Lines joined with CR LF after every line, encoded in the ANSI code page.
QByteArray ansiTextWithCrLf(const QStringList& lines);

} // namespace korvane::platform
