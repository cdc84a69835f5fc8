// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCryptographicHash>
#include <QString>

namespace korvane::platform {

// SHA-256 as QCryptographicHash makes it, with the processor's SHA instructions where it has
// them: every run hashes its price list and its own program for the record, megabytes on which
// Qt's portable code spends about 80 instructions a byte, several times the import's own work.
class Sha256
{
public:
    Sha256();
    void addData(QByteArrayView bytes);
    // The 32 bytes of the digest; the hash takes no more data after it.
    QByteArray result();

    static QByteArray hash(QByteArrayView bytes);
    // The digest in lower-case hexadecimal, as the record writes it.
    static QString hex(QByteArrayView bytes);
    // Whether this processor's SHA instructions do the work (else Qt's code does).
    static bool accelerated();

private:
    bool m_fast;
    QCryptographicHash m_portable{QCryptographicHash::Sha256};
    quint32 m_state[8];
    unsigned char m_block[64];
    qsizetype m_used = 0;
    quint64 m_length = 0;
};

} // namespace korvane::platform
