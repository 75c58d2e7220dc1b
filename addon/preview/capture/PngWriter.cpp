#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "CaptureGeometry.h"
#include "PngChunk.h"
#include "PngKernels.h"
#include "StoredImageData.h"

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// The compressing choices convert rows in batches of about this many bytes, and their IDAT
// chunks carry at most this many.
constexpr std::size_t kBatchBytes = 64 * 1024;
constexpr std::size_t kChunkBytes = 128 * 1024;
constexpr std::uint32_t kPngMaxDimension = 0x7FFFFFFF;

struct DeflateStream {
    z_stream z = {};
    bool open = false;
    DeflateStream(int level, int strategy) {
        open = ::deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy) == Z_OK;
    }
    ~DeflateStream() {
        if (open) ::deflateEnd(&z);
    }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;
};

void LevelAndStrategy(PngCompression compression, int& level, int& strategy) {
    strategy = Z_DEFAULT_STRATEGY;
    switch (compression) {
    case PngCompression::Stored: level = 0; break;
    case PngCompression::Rle: level = 1; strategy = Z_RLE; break;
    case PngCompression::HuffmanOnly: level = 1; strategy = Z_HUFFMAN_ONLY; break;
    case PngCompression::Fastest: level = 1; break;
    case PngCompression::Default: level = 6; break;
    }
}

bool WriteDeflatedImageData(const BgrxPixels& pixels, PngCompression compression, const PngKernels& kernels,
                            const PngSink& sink) {
    int level = 0, strategy = 0;
    LevelAndStrategy(compression, level, strategy);
    DeflateStream stream(level, strategy);
    if (!stream.open) return false;

    const std::size_t rowBytes = 1 + std::size_t{3} * pixels.width;
    const std::size_t rowsPerBatch = std::max<std::size_t>(1, kBatchBytes / rowBytes);
    std::vector<std::uint8_t> batch(rowsPerBatch * rowBytes);
    PngChunk chunk("IDAT", kChunkBytes, kernels.crc32);
    z_stream& z = stream.z;
    z.next_out = chunk.data();
    z.avail_out = static_cast<uInt>(chunk.capacity());

    // Runs deflate over what is in next_in, sending every full chunk buffer as an IDAT.
    auto deflateAll = [&](int flush) {
        for (;;) {
            int result = ::deflate(&z, flush);
            if (result == Z_STREAM_ERROR) return false;  // Z_BUF_ERROR only means no progress
            bool finished = result == Z_STREAM_END;
            std::size_t filled = chunk.capacity() - z.avail_out;
            if (z.avail_out == 0 || (finished && filled > 0)) {
                if (!chunk.Send(sink, filled)) return false;
                z.next_out = chunk.data();
                z.avail_out = static_cast<uInt>(chunk.capacity());
            }
            if (finished) return true;
            if (flush != Z_FINISH && z.avail_in == 0) return true;  // the rest comes out later
        }
    };

    for (std::uint32_t y = 0; y < pixels.height;) {
        std::size_t rows = std::min<std::size_t>(rowsPerBatch, pixels.height - y);
        for (std::size_t i = 0; i < rows; ++i, ++y) {
            std::uint8_t* row = batch.data() + i * rowBytes;
            row[0] = 0;  // filter type None
            kernels.convertRow(pixels.Row(y), pixels.width, row + 1);
        }
        z.next_in = batch.data();
        z.avail_in = static_cast<uInt>(rows * rowBytes);
        if (!deflateAll(Z_NO_FLUSH)) return false;
    }
    return deflateAll(Z_FINISH);
}

bool WriteValidPng(const BgrxPixels& pixels, PngCompression compression, const PngSink& sink,
                   const PngOptions& options) {
    if (!pixels.bits || pixels.width == 0 || pixels.height == 0) return false;
    if (pixels.width > kPngMaxDimension || pixels.height > kPngMaxDimension) return false;
    if (pixels.width > (std::numeric_limits<std::size_t>::max() - 1) / 4) return false;
    if (pixels.stride / 4 < pixels.width) return false;
    const std::size_t rowBytes = 1 + std::size_t{3} * pixels.width;
    if (rowBytes > std::numeric_limits<uInt>::max()) return false;
    const PngKernels& kernels = options.kernels ? *options.kernels : BestPngKernels();

    if (!sink(kSignature, sizeof kSignature)) return false;
    PngChunk header("IHDR", 13, kernels.crc32);
    std::uint8_t* fields = header.data();
    PutBigEndian(fields, pixels.width);
    PutBigEndian(fields + 4, pixels.height);
    fields[8] = 8;   // bits per sample
    fields[9] = 2;   // colour type: RGB
    fields[10] = 0;  // deflate
    fields[11] = 0;  // adaptive filtering, each row's type byte
    fields[12] = 0;  // no interlace
    if (!header.Send(sink, 13)) return false;
    if (options.writeId) {
        PngChunk id(kWriteIdChunk, kWriteIdBytes, kernels.crc32);
        std::copy(options.writeId, options.writeId + kWriteIdBytes, id.data());
        if (!id.Send(sink, kWriteIdBytes)) return false;
    }

    bool written = compression == PngCompression::Stored
                       ? WriteStoredImageData(pixels, kernels, sink)
                       : WriteDeflatedImageData(pixels, compression, kernels, sink);
    return written && PngChunk("IEND", 0, kernels.crc32).Send(sink, 0);
}

}  // namespace

bool WritePng(const BgrxPixels& pixels, PngCompression compression, const PngSink& sink,
              const PngOptions& options) {
    try {
        return WriteValidPng(pixels, compression, sink, options);
    } catch (const std::bad_alloc&) {
        return false;  // the capture runs inside window procedures: no exception leaves it
    }
}

bool IsPngPath(const std::wstring& path) { return EqualsIgnoringCase(PathExtension(path), L".png"); }
