#include "BgrxToRgb.h"

void BgrxToRgbPortable(const std::uint8_t* bgrx, std::size_t width, std::uint8_t* rgb) {
    for (std::size_t x = 0; x < width; ++x, bgrx += 4, rgb += 3) {
        rgb[0] = bgrx[2];
        rgb[1] = bgrx[1];
        rgb[2] = bgrx[0];
    }
}

#ifdef PINCHWELL_X86_KERNELS
#include <immintrin.h>

namespace {

// Four pixels to the first 12 bytes, the last four bytes zero.
__attribute__((target("ssse3"))) inline __m128i Pack(const std::uint8_t* bgrx) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bgrx)), order);
}

}  // namespace

__attribute__((target("ssse3"))) void BgrxToRgbSsse3(const std::uint8_t* bgrx, std::size_t width,
                                                     std::uint8_t* rgb) {
    for (; width >= 16; width -= 16, bgrx += 64, rgb += 48) {
        const __m128i a = Pack(bgrx), b = Pack(bgrx + 16), c = Pack(bgrx + 32), d = Pack(bgrx + 48);
        __m128i* out = reinterpret_cast<__m128i*>(rgb);
        _mm_storeu_si128(out, _mm_or_si128(a, _mm_slli_si128(b, 12)));
        _mm_storeu_si128(out + 1, _mm_or_si128(_mm_srli_si128(b, 4), _mm_slli_si128(c, 8)));
        _mm_storeu_si128(out + 2, _mm_or_si128(_mm_srli_si128(c, 8), _mm_slli_si128(d, 4)));
    }
    BgrxToRgbPortable(bgrx, width, rgb);
}

#endif
