// SPDX-FileCopyrightText: 2026 Korvane update pack developers
// SPDX-License-Identifier: LicenseRef-Korvane-Proprietary
#include "Sha256.h"

#include <QtEndian>
#include <cstring>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define KORVANE_SHA_INSTRUCTIONS 1
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace korvane::platform {

namespace {

constexpr quint32 kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

#ifdef KORVANE_SHA_INSTRUCTIONS
alignas(16) constexpr quint32 kRounds[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

bool hasShaInstructions()
{
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (__get_cpuid_max(0, nullptr) < 7)
        return false;
    __cpuid_count(7, 0, a, b, c, d);
    return ssse3 && sse41 && (b & (1u << 29));
}

// 32-bit Windows promises a stack aligned to 4 bytes only; the vectors this keeps there want 16.
#if defined(__i386__)
#define KORVANE_ALIGN_STACK __attribute__((force_align_arg_pointer))
#else
#define KORVANE_ALIGN_STACK
#endif

// Whole blocks of 64 bytes, four rounds an instruction pair, the message schedule beside them.
__attribute__((target("sha,sse4.1,ssse3"))) KORVANE_ALIGN_STACK void blocks(quint32 state[8], const unsigned char* data, qsizetype count)
{
    const __m128i swap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i tmp = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i state1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    tmp = _mm_shuffle_epi32(tmp, 0xB1);                 // CDAB
    state1 = _mm_shuffle_epi32(state1, 0x1B);           // EFGH
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);  // ABEF
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);        // CDGH
    for (; count > 0; --count, data += 64) {
        const __m128i abef = state0, cdgh = state1;
        __m128i w[4];
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            if (i < 4)
                w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)), swap);
            __m128i message = _mm_add_epi32(w[i % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(kRounds + 4 * i)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, message);
            if (i >= 3 && i <= 14) {
                const __m128i next = _mm_alignr_epi8(w[i % 4], w[(i + 3) % 4], 4);
                w[(i + 1) % 4] = _mm_sha256msg2_epu32(_mm_add_epi32(w[(i + 1) % 4], next), w[i % 4]);
            }
            message = _mm_shuffle_epi32(message, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, message);
            if (i >= 1 && i <= 12)
                w[(i + 3) % 4] = _mm_sha256msg1_epu32(w[(i + 3) % 4], w[i % 4]);
        }
        state0 = _mm_add_epi32(state0, abef);
        state1 = _mm_add_epi32(state1, cdgh);
    }
    tmp = _mm_shuffle_epi32(state0, 0x1B);        // FEBA
    state1 = _mm_shuffle_epi32(state1, 0xB1);     // DCHG
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);  // DCBA
    state1 = _mm_alignr_epi8(state1, tmp, 8);     // ABEF
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), state1);
}

const bool kAccelerated = hasShaInstructions();
#else
const bool kAccelerated = false;
void blocks(quint32*, const unsigned char*, qsizetype) {}
#endif

} // namespace

Sha256::Sha256() : m_fast(kAccelerated)
{
    std::memcpy(m_state, kInitial, sizeof m_state);
}

bool Sha256::accelerated()
{
    return kAccelerated;
}

void Sha256::addData(QByteArrayView bytes)
{
    if (!m_fast) {
        m_portable.addData(bytes);
        return;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype size = bytes.size();
    m_length += quint64(size);
    if (m_used > 0) {
        const qsizetype taken = std::min(size, 64 - m_used);
        std::memcpy(m_block + m_used, data, size_t(taken));
        m_used += taken;
        data += taken;
        size -= taken;
        if (m_used < 64)
            return;
        blocks(m_state, m_block, 1);
        m_used = 0;
    }
    blocks(m_state, data, size / 64);
    data += size / 64 * 64;
    m_used = size % 64;
    if (m_used > 0)
        std::memcpy(m_block, data, size_t(m_used));
}

QByteArray Sha256::result()
{
    if (!m_fast)
        return m_portable.result();
    const quint64 bits = m_length * 8;
    unsigned char tail[128] = {};
    std::memcpy(tail, m_block, size_t(m_used));
    tail[m_used] = 0x80;
    const qsizetype blocksLeft = m_used < 56 ? 1 : 2;
    qToBigEndian(bits, tail + blocksLeft * 64 - 8);
    blocks(m_state, tail, blocksLeft);
    m_used = 0;
    QByteArray digest(32, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i)
        qToBigEndian(m_state[i], digest.data() + 4 * i);
    return digest;
}

QByteArray Sha256::hash(QByteArrayView bytes)
{
    Sha256 sha;
    sha.addData(bytes);
    return sha.result();
}

QString Sha256::hex(QByteArrayView bytes)
{
    return QString::fromLatin1(hash(bytes).toHex());
}

} // namespace korvane::platform
