#pragma once
// The code that touches every byte of a stored PNG: the row conversion and the two
// checksums, in one set per kind of processor, chosen at run time.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "CpuFeatures.h"

using ChecksumFunction = std::uint32_t (*)(std::uint32_t value, const std::uint8_t* data, std::size_t size);

struct PngKernels {
    const char* name;
    CpuFeatures needs;  // what the processor must offer
    void (*convertRow)(const std::uint8_t* bgrx, std::size_t width, std::uint8_t* rgb);
    ChecksumFunction adler32;
    ChecksumFunction crc32;
};

// Every set this build has, the portable one (zlib's checksums) first, each later one
// faster on the processors that run it.
const std::vector<PngKernels>& AllPngKernels();

// Whether a processor with these features runs the set.
bool Runs(const CpuFeatures& features, const PngKernels& kernels);

// The last set of AllPngKernels that the processor runs.
const PngKernels& ChoosePngKernels(const CpuFeatures& features);

// ChoosePngKernels for the running processor, asked once.
const PngKernels& BestPngKernels();
