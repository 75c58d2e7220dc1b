// The row conversion and checksums of every set the stored PNG writer may choose, against
// zlib's own and against the pixels, and which set a processor gets.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "PngKernels.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The sets the processor running the tests can run; each test says which it could not.
std::vector<const PngKernels*> RunnableSets() {
    std::vector<const PngKernels*> sets;
    const CpuFeatures features = DetectCpuFeatures();
    for (const PngKernels& kernels : AllPngKernels()) {
        if (Runs(features, kernels))
            sets.push_back(&kernels);
        else
            std::printf("not run here: %s\n", kernels.name);
    }
    return sets;
}

}  // namespace

TEST(PngKernels, EveryChecksumIsZlibsOnAnyLengthAlignmentAndStart) {
    Bytes noise(300000 + 16);
    const Bytes& noisy = noise;
    std::mt19937 random(25);
    for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
    // All bytes 255: the largest sums Adler-32 can meet between two reductions.
    const Bytes full(noise.size(), 0xFF);
    const std::size_t lengths[] = {0,   1,   3,    15,   16,   17,   31,    32,    33,     63,     64,
                                   65,  127, 128,  129,  200,  5551, 5552,  5553,  65535,  65536,  100003,
                                   300000};
    for (const PngKernels* kernels : RunnableSets())
        for (const Bytes* buffer : {&noisy, &full})
            for (std::size_t offset : {0, 1, 3, 7, 13})
                for (std::size_t length : lengths) {
                    SCOPED_TRACE(std::string(kernels->name) + (buffer == &full ? " 0xFF" : " noise") + " offset " +
                                 std::to_string(offset) + " length " + std::to_string(length));
                    const std::uint8_t* data = buffer->data() + offset;
                    for (std::uint32_t start : {0u, 0x9E3779B9u})
                        EXPECT_EQ(kernels->crc32(start, data, length), ::crc32_z(start, data, length));
                    for (std::uint32_t start : {1u, 0xFFF0FFF0u})
                        EXPECT_EQ(kernels->adler32(start, data, length), ::adler32_z(start, data, length));
                }
}

TEST(PngKernels, EveryConversionGivesRedGreenBlueAndWritesNothingBeyond) {
    Bytes bgrx(4 * 40 + 3);
    std::mt19937 random(7);
    for (auto& byte : bgrx) byte = static_cast<std::uint8_t>(random());
    for (const PngKernels* kernels : RunnableSets())
        for (std::size_t offset : {0, 3})
            for (std::size_t width = 0; width <= 40; ++width) {
                SCOPED_TRACE(std::string(kernels->name) + " width " + std::to_string(width));
                const std::uint8_t* pixels = bgrx.data() + offset;
                Bytes expected(3 * width + 16, 0xA5);
                for (std::size_t x = 0; x < width; ++x) {
                    expected[3 * x] = pixels[4 * x + 2];
                    expected[3 * x + 1] = pixels[4 * x + 1];
                    expected[3 * x + 2] = pixels[4 * x];
                }
                Bytes rgb(3 * width + 16, 0xA5);
                kernels->convertRow(pixels, width, rgb.data());
                EXPECT_EQ(rgb, expected);
            }
}

TEST(PngKernels, AProcessorGetsTheFastestSetItRuns) {
    struct Case {
        const char* what;
        CpuFeatures features;
        const char* set;
    };
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    const Case cases[] = {
        {"SSE2 only", CpuFeatures{false, false, false, false}, "portable"},
        {"SSSE3 (Core 2)", CpuFeatures{true, false, false, false}, "SSSE3"},
        {"SSSE3 and SSE4.1, no PCLMULQDQ (Penryn)", CpuFeatures{true, true, false, false}, "SSSE3"},
        {"PCLMULQDQ (Westmere)", CpuFeatures{true, true, true, false}, "SSSE3, PCLMUL"},
        {"PCLMULQDQ without SSE4.1", CpuFeatures{true, false, true, false}, "SSSE3"},
        {"AVX2 (Haswell)", CpuFeatures{true, true, true, true}, "AVX2, PCLMUL"},
        {"AVX2 without PCLMULQDQ", CpuFeatures{true, true, false, true}, "SSSE3"},
    };
#else
    const Case cases[] = {{"any", CpuFeatures{true, true, true, true}, "portable"}};
#endif
    for (const Case& c : cases) EXPECT_STREQ(ChoosePngKernels(c.features).name, c.set) << c.what;
}
