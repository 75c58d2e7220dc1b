#pragma once
// Writing 32-bit BGRX pixel rows, as a DIB section holds them, as a PNG file (8-bit RGB,
// no interlace), streamed to a byte sink chunk by chunk: stored blocks in one pass of our
// own, the compressing choices with zlib.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Pixel rows of 4 bytes a pixel, blue, green, red and one unused byte, as a 32 bpp DIB
// lays them out. bits is the first row in memory: the top row of a top-down DIB, the
// bottom row of a bottom-up one. stride is the distance in bytes from one row in memory
// to the next (at least 4 * width).
struct BgrxPixels {
    const std::uint8_t* bits = nullptr;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::size_t stride = 0;
    bool bottomUp = false;

    // The pixels of row y counted from the top.
    const std::uint8_t* Row(std::uint32_t y) const {
        return bits + stride * (bottomUp ? height - 1 - y : y);
    }
};

struct PngKernels;

// How the image data is deflated. The picture of a pinch lives for one pinch, so speed
// counts more than size: Stored costs the same for every page, while the compressing
// ones take several times longer on a photograph than on text.
enum class PngCompression {
    Stored,       // deflate's stored blocks: no compression, one pass over the pixels
    Rle,          // level 1, runs only (Z_RLE)
    HuffmanOnly,  // level 1, Huffman coding only (Z_HUFFMAN_ONLY)
    Fastest,      // level 1
    Default,      // level 6
};

// Receives the file's bytes in order; false stops the writing.
using PngSink = std::function<bool(const std::uint8_t* data, std::size_t size)>;

// The private ancillary chunk that names one write of a file (decoders pass over it):
// 16 bytes of data, right after IHDR.
constexpr char kWriteIdChunk[5] = "pwId";
constexpr std::size_t kWriteIdBytes = 16;

struct PngOptions {
    const std::uint8_t* writeId = nullptr;  // kWriteIdBytes for kWriteIdChunk; none when null
    const PngKernels* kernels = nullptr;    // the conversion and checksums; null: BestPngKernels()
};

// Writes the PNG signature, IHDR, the write's id where given, the image data in IDAT
// chunks (every row with filter type None) and IEND to sink. False, and nothing more
// written, when the picture is empty or too large for PNG, the layout is impossible,
// memory runs out, zlib fails or the sink refuses bytes.
bool WritePng(const BgrxPixels& pixels, PngCompression compression, const PngSink& sink,
              const PngOptions& options = {});

// True when the path's extension (as PathExtension finds it) is ".png", in any case.
bool IsPngPath(const std::wstring& path);
