#pragma once
// A picture's PNG image data as deflate's stored blocks, in one pass: rows are converted
// straight into the IDAT chunk being filled, between the blocks' headers, and the zlib
// stream's Adler-32 and the chunk's CRC-32 run over each batch of rows while it is still
// in the cache. The time is a pass over the pixels, whatever the page shows.
#include "PngChunk.h"
#include "PngKernels.h"
#include "PngWriter.h"

// Sends the IDAT chunks of the pixels (at least 1 x 1, stride at least 4 * width) to
// sink; false when the sink refuses bytes.
bool WriteStoredImageData(const BgrxPixels& pixels, const PngKernels& kernels, const PngSink& sink);
