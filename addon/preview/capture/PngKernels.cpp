#include "PngKernels.h"

#include "Adler32.h"
#include "BgrxToRgb.h"
#include "Crc32.h"

const std::vector<PngKernels>& AllPngKernels() {
    static const std::vector<PngKernels> sets = {
        {"portable", CpuFeatures{false, false, false, false}, BgrxToRgbPortable, Adler32Zlib, Crc32Zlib},
#ifdef PINCHWELL_X86_KERNELS
        // Core 2 and the first Atoms: SSSE3 without PCLMULQDQ.
        {"SSSE3", CpuFeatures{true, false, false, false}, BgrxToRgbSsse3, Adler32Ssse3, Crc32Zlib},
        {"SSSE3, PCLMUL", CpuFeatures{true, true, true, false}, BgrxToRgbSsse3, Adler32Ssse3, Crc32Pclmul},
        {"AVX2, PCLMUL", CpuFeatures{true, true, true, true}, BgrxToRgbSsse3, Adler32Avx2, Crc32Pclmul},
#endif
    };
    return sets;
}

bool Runs(const CpuFeatures& features, const PngKernels& kernels) {
    const CpuFeatures& needs = kernels.needs;
    return (!needs.ssse3 || features.ssse3) && (!needs.sse41 || features.sse41) &&
           (!needs.pclmul || features.pclmul) && (!needs.avx2 || features.avx2);
}

const PngKernels& ChoosePngKernels(const CpuFeatures& features) {
    const std::vector<PngKernels>& sets = AllPngKernels();
    for (auto set = sets.rbegin(); set != sets.rend(); ++set)
        if (Runs(features, *set)) return *set;
    return sets.front();
}

const PngKernels& BestPngKernels() {
    static const PngKernels& best = ChoosePngKernels(DetectCpuFeatures());
    return best;
}
