#include "CpuFeatures.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>

CpuFeatures DetectCpuFeatures() {
    CpuFeatures features;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d)) return features;
    features.ssse3 = (c & bit_SSSE3) != 0;
    features.sse41 = (c & bit_SSE4_1) != 0;
    features.pclmul = (c & bit_PCLMUL) != 0;
    // AVX instructions fault where the system does not save the YMM registers (Windows 7
    // before SP1), whatever the processor says.
    bool systemSavesYmm = false;
    if ((c & bit_OSXSAVE) && (c & bit_AVX)) {
        unsigned low = 0, high = 0;
        __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
        systemSavesYmm = (low & 6) == 6;
    }
    if (systemSavesYmm && __get_cpuid_max(0, nullptr) >= 7) {
        __cpuid_count(7, 0, a, b, c, d);
        features.avx2 = (b & bit_AVX2) != 0;
    }
    return features;
}

#else

CpuFeatures DetectCpuFeatures() { return {}; }

#endif
