// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QList>
#include <QString>
#include <utility>

namespace korvane {
namespace platform {
class FileSystem;
}

// Reads simple XML-like configuration files by plain substring search; it does not parse XML.
// Only the first occurrence of an element is ever found, and an element is found by the prefix
// of its name ("<IP" also matches "<IPX").
//
// Positions are 16-bit, as in the reader the configuration files were written for. In a
// document of 32,768 characters or more, an element whose start or end lies beyond the first
// 32,767 characters is out of reach: it reads as absent (getDataString) or fails with
// OutOfRange (getAttributeString), rather than yielding text from the wrong place.
class ZanXmlTextReader
{
public:
    // Attribute values by name, in the order they were written; names compare without regard
    // to case.
    class AttributeList
    {
    public:
        // Throws platform::Error when the name is already present.
        void add(const QString& key, const QString& value);

        qsizetype count() const { return ivItems.size(); }
        bool contains(const QString& key) const { return indexOf(key) >= 0; }
        const QString& key(qsizetype index) const { return ivItems.at(index).first; }
        const QString& item(qsizetype index) const { return ivItems.at(index).second; }
        // Throws platform::Error OutOfRange when there is no such name.
        const QString& item(const QString& key) const;

    private:
        qsizetype indexOf(const QString& key) const;
        QList<std::pair<QString, QString>> ivItems;
    };

    explicit ZanXmlTextReader(const platform::FileSystem& p_fileSystem);

    void setXmlString(QString vData) { ivXmlString = std::move(vData); }
    const QString& XmlString() const { return ivXmlString; }

    // Stores the path, then appends the file's text (ANSI code page, lines joined with nothing
    // between) to XmlString. A file that cannot be read throws and leaves XmlString unchanged.
    void setXmlFilePath(QString vData);
    const QString& XmlFilePath() const { return ivXmlFilePath; }

    // For these three, an empty p_strXmlString means the stored document, which is then also
    // copied into p_strXmlString for the caller.

    // The start tag's attribute text split into name/value pairs. A value ends at its first
    // space or "="; a name written twice throws platform::Error.
    AttributeList getAttributeList(const QString& p_strTag, QString& p_strXmlString) const;
    // Everything between the element name and the ">" of its start tag, leading blanks and a
    // "/" included; empty when the element does not occur. Throws platform::Error OutOfRange
    // when no ">" follows the name.
    QString getAttributeString(const QString& p_strTag, QString& p_strXmlString) const;
    // The text between the start tag and the first matching end tag after it. Never fails:
    // empty when the element or its end tag is missing.
    QString getDataString(const QString& p_strTag, QString& p_strXmlString) const;

private:
    const QString& chooseDocument(QString& p_strXmlString) const;

    const platform::FileSystem& ivFileSystem;
    QString ivXmlFilePath;
    QString ivXmlString;
};

} // namespace korvane
