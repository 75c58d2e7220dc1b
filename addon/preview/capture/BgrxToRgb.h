#pragma once
// One row of 32-bit pixels as a DIB section holds them (blue, green, red, unused) as the
// red, green and blue bytes of PNG's image data: width pixels from bgrx, 3 * width bytes
// to rgb, and not one byte beyond.
#include <cstddef>
#include <cstdint>

#include "Crc32.h"  // PINCHWELL_X86_KERNELS

void BgrxToRgbPortable(const std::uint8_t* bgrx, std::size_t width, std::uint8_t* rgb);

#ifdef PINCHWELL_X86_KERNELS
// 16 pixels a step with SSSE3's byte shuffle.
void BgrxToRgbSsse3(const std::uint8_t* bgrx, std::size_t width, std::uint8_t* rgb);
#endif
