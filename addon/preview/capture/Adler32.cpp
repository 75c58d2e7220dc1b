#include "Adler32.h"

#include <zlib.h>

std::uint32_t Adler32Zlib(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    return static_cast<std::uint32_t>(::adler32_z(adler, data, size));
}

#ifdef PINCHWELL_X86_KERNELS
#include <immintrin.h>

namespace {

constexpr std::uint32_t kBase = 65521;
// The most bytes whose sums fit 32 bits before the modulo (zlib's NMAX).
constexpr std::size_t kMostBeforeModulo = 5552;

// Each step of 32 bytes adds the bytes to s1, and to s2 32 times the s1 before the step
// plus each byte weighted by 32 down to 1 (its count of the step's sums it enters).
__attribute__((target("ssse3"))) std::uint32_t Ssse3Blocks(std::uint32_t adler, const std::uint8_t* data,
                                                           std::size_t blocks) {
    std::uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const __m128i weightsHigh = _mm_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17);
    const __m128i weightsLow = _mm_setr_epi8(16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(1);
    while (blocks > 0) {
        std::size_t n = blocks < kMostBeforeModulo / 32 ? blocks : kMostBeforeModulo / 32;
        blocks -= n;
        __m128i previous = _mm_cvtsi32_si128(static_cast<int>(s1 * n));  // s1 before each step
        __m128i sum1 = zero;
        __m128i sum2 = _mm_cvtsi32_si128(static_cast<int>(s2));
        do {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16));
            previous = _mm_add_epi32(previous, sum1);
            sum1 = _mm_add_epi32(sum1, _mm_add_epi32(_mm_sad_epu8(a, zero), _mm_sad_epu8(b, zero)));
            sum2 = _mm_add_epi32(sum2, _mm_madd_epi16(_mm_maddubs_epi16(a, weightsHigh), ones));
            sum2 = _mm_add_epi32(sum2, _mm_madd_epi16(_mm_maddubs_epi16(b, weightsLow), ones));
            data += 32;
        } while (--n);
        sum2 = _mm_add_epi32(sum2, _mm_slli_epi32(previous, 5));
        sum1 = _mm_add_epi32(sum1, _mm_shuffle_epi32(sum1, _MM_SHUFFLE(1, 0, 3, 2)));
        sum2 = _mm_add_epi32(sum2, _mm_shuffle_epi32(sum2, _MM_SHUFFLE(2, 3, 0, 1)));
        sum2 = _mm_add_epi32(sum2, _mm_shuffle_epi32(sum2, _MM_SHUFFLE(1, 0, 3, 2)));
        s1 = (s1 + static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum1))) % kBase;
        s2 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(sum2)) % kBase;
    }
    return s1 | (s2 << 16);
}

// The same with 64 bytes a step.
__attribute__((target("avx2"))) std::uint32_t Avx2Blocks(std::uint32_t adler, const std::uint8_t* data,
                                                         std::size_t blocks) {
    std::uint32_t s1 = adler & 0xFFFF, s2 = adler >> 16;
    const __m256i weightsHigh = _mm256_setr_epi8(64, 63, 62, 61, 60, 59, 58, 57, 56, 55, 54, 53, 52, 51, 50, 49, 48,
                                                 47, 46, 45, 44, 43, 42, 41, 40, 39, 38, 37, 36, 35, 34, 33);
    const __m256i weightsLow = _mm256_setr_epi8(32, 31, 30, 29, 28, 27, 26, 25, 24, 23, 22, 21, 20, 19, 18, 17, 16,
                                                15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i ones = _mm256_set1_epi16(1);
    while (blocks > 0) {
        std::size_t n = blocks < kMostBeforeModulo / 64 ? blocks : kMostBeforeModulo / 64;
        blocks -= n;
        __m256i previous = _mm256_setr_epi32(static_cast<int>(s1 * n), 0, 0, 0, 0, 0, 0, 0);
        __m256i sum1 = zero;
        __m256i sum2 = _mm256_setr_epi32(static_cast<int>(s2), 0, 0, 0, 0, 0, 0, 0);
        do {
            const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data));
            const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + 32));
            previous = _mm256_add_epi32(previous, sum1);
            sum1 = _mm256_add_epi32(sum1, _mm256_add_epi32(_mm256_sad_epu8(a, zero), _mm256_sad_epu8(b, zero)));
            sum2 = _mm256_add_epi32(sum2, _mm256_madd_epi16(_mm256_maddubs_epi16(a, weightsHigh), ones));
            sum2 = _mm256_add_epi32(sum2, _mm256_madd_epi16(_mm256_maddubs_epi16(b, weightsLow), ones));
            data += 64;
        } while (--n);
        sum2 = _mm256_add_epi32(sum2, _mm256_slli_epi32(previous, 6));
        __m128i s1Lanes = _mm_add_epi32(_mm256_castsi256_si128(sum1), _mm256_extracti128_si256(sum1, 1));
        __m128i s2Lanes = _mm_add_epi32(_mm256_castsi256_si128(sum2), _mm256_extracti128_si256(sum2, 1));
        s1Lanes = _mm_add_epi32(s1Lanes, _mm_shuffle_epi32(s1Lanes, _MM_SHUFFLE(1, 0, 3, 2)));
        s2Lanes = _mm_add_epi32(s2Lanes, _mm_shuffle_epi32(s2Lanes, _MM_SHUFFLE(2, 3, 0, 1)));
        s2Lanes = _mm_add_epi32(s2Lanes, _mm_shuffle_epi32(s2Lanes, _MM_SHUFFLE(1, 0, 3, 2)));
        s1 = (s1 + static_cast<std::uint32_t>(_mm_cvtsi128_si32(s1Lanes))) % kBase;
        s2 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(s2Lanes)) % kBase;
    }
    return s1 | (s2 << 16);
}

}  // namespace

std::uint32_t Adler32Ssse3(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    const std::size_t blocks = size / 32;
    adler = Ssse3Blocks(adler, data, blocks);
    return Adler32Zlib(adler, data + blocks * 32, size - blocks * 32);
}

std::uint32_t Adler32Avx2(std::uint32_t adler, const std::uint8_t* data, std::size_t size) {
    const std::size_t blocks = size / 64;
    adler = Avx2Blocks(adler, data, blocks);
    return Adler32Zlib(adler, data + blocks * 64, size - blocks * 64);
}

#endif
