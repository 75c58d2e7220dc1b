#pragma once
// Adler-32 as zlib's adler32 computes it: adler is the value so far (1 to start), and the
// result continues it over the size bytes at data.
#include <cstddef>
#include <cstdint>

#include "Crc32.h"  // PINCHWELL_X86_KERNELS

// zlib's own.
std::uint32_t Adler32Zlib(std::uint32_t adler, const std::uint8_t* data, std::size_t size);

#ifdef PINCHWELL_X86_KERNELS
// 32 bytes a step with SSSE3's multiply-add of bytes; zlib's for the last few bytes.
std::uint32_t Adler32Ssse3(std::uint32_t adler, const std::uint8_t* data, std::size_t size);
// 64 bytes a step with AVX2.
std::uint32_t Adler32Avx2(std::uint32_t adler, const std::uint8_t* data, std::size_t size);
#endif
