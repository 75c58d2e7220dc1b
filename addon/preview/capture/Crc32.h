#pragma once
// CRC-32 as PNG chunks and zlib's crc32 compute it: crc is the value so far (0 to start),
// and the result continues it over the size bytes at data.
#include <cstddef>
#include <cstdint>

// zlib's own.
std::uint32_t Crc32Zlib(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define PINCHWELL_X86_KERNELS 1
// Carry-less multiplication folding 64 bytes a step, for processors with PCLMULQDQ and
// SSE4.1: several times zlib's speed. zlib's for the last few bytes.
std::uint32_t Crc32Pclmul(std::uint32_t crc, const std::uint8_t* data, std::size_t size);
#endif
