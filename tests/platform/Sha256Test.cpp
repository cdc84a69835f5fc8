// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "platform/Sha256.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace korvane::platform {
namespace {

QByteArray sample(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 x = 2463534242u;
    for (char& c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return bytes;
}

// Every length about the block's and the padding's edges, and data given in pieces of any size,
// give Qt's digest: the record's digests must not depend on the processor.
TEST(Sha256, GivesQtsDigestForEveryLengthAndEveryWayOfFeedingIt)
{
    EXPECT_EQ(Sha256::hex("abc"), QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    const QByteArray data = sample(200'003);
    for (qsizetype n = 0; n <= 300; ++n) {
        const QByteArrayView part = QByteArrayView(data).first(n);
        ASSERT_EQ(Sha256::hash(part), QCryptographicHash::hash(part, QCryptographicHash::Sha256)) << n;
    }
    Sha256 pieces;
    qsizetype at = 0;
    for (qsizetype step = 1; at < data.size(); step = step * 7 % 1000 + 1) {
        const qsizetype n = std::min(step, data.size() - at);
        pieces.addData(QByteArrayView(data).sliced(at, n));
        at += n;
    }
    EXPECT_EQ(pieces.result(), QCryptographicHash::hash(data, QCryptographicHash::Sha256));
}

} // namespace
} // namespace korvane::platform
