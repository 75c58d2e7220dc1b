#include "Crc32.h"

#include <zlib.h>

std::uint32_t Crc32Zlib(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    return static_cast<std::uint32_t>(::crc32_z(crc, data, size));
}

#ifdef PINCHWELL_X86_KERNELS
#include <immintrin.h>

namespace {

// The reflected CRC-32 polynomial's folding constants: x^(4*128+32), x^(4*128-32),
// x^(128+32), x^(128-32) and x^64 modulo the polynomial, then the polynomial and its
// Barrett constant (Intel's "Fast CRC Computation for Generic Polynomials Using PCLMULQDQ").
alignas(16) const std::uint64_t kFold4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) const std::uint64_t kFold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) const std::uint64_t kFold64[2] = {0x0163cd6124, 0};
alignas(16) const std::uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

__attribute__((target("pclmul,sse4.1"))) inline __m128i Fold(__m128i value, __m128i constants, __m128i next) {
    __m128i low = _mm_clmulepi64_si128(value, constants, 0x00);
    __m128i high = _mm_clmulepi64_si128(value, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

// The CRC register (not inverted) over size bytes, size a multiple of 16 and at least 64.
__attribute__((target("pclmul,sse4.1"))) std::uint32_t FoldBlocks(std::uint32_t reg, const std::uint8_t* data,
                                                                 std::size_t size) {
    auto load = [](const std::uint8_t* at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)); };
    __m128i x1 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i x2 = load(data + 16);
    __m128i x3 = load(data + 32);
    __m128i x4 = load(data + 48);
    data += 64;
    size -= 64;
    __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
    for (; size >= 64; data += 64, size -= 64) {
        x1 = Fold(x1, k, load(data));
        x2 = Fold(x2, k, load(data + 16));
        x3 = Fold(x3, k, load(data + 32));
        x4 = Fold(x4, k, load(data + 48));
    }
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
    x1 = Fold(x1, k, x2);
    x1 = Fold(x1, k, x3);
    x1 = Fold(x1, k, x4);
    for (; size >= 16; data += 16, size -= 16) x1 = Fold(x1, k, load(data));

    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
    k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), _mm_srli_si128(x1, 4));
    k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), k, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

}  // namespace

std::uint32_t Crc32Pclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    if (size >= 64) {
        const std::size_t folded = size & ~std::size_t{15};
        crc = ~FoldBlocks(~crc, data, folded);
        data += folded;
        size -= folded;
    }
    return size ? Crc32Zlib(crc, data, size) : crc;
}

#endif
