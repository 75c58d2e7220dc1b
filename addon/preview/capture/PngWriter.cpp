#include "PngWriter.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "CaptureGeometry.h"

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
// Rows are converted in batches of about this many bytes, and IDAT chunks carry at most
// this many: large enough for few calls and stored blocks copied straight from the batch,
// small enough that the Adler-32 and CRC passes find their bytes still in the cache
// (a fifth less time for a 1258x978 picture than 256 KB batches and 1 MB chunks).
constexpr std::size_t kBatchBytes = 64 * 1024;
constexpr std::size_t kChunkBytes = 128 * 1024;
constexpr std::uint32_t kPngMaxDimension = 0x7FFFFFFF;

void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// A chunk in one piece of memory: 8 bytes of length and type, the data, 4 bytes of CRC,
// so that each chunk reaches the sink in one call.
class ChunkBuffer {
public:
    explicit ChunkBuffer(std::size_t capacity) : bytes_(8 + capacity + 4) {}
    std::uint8_t* data() { return bytes_.data() + 8; }
    std::size_t capacity() const { return bytes_.size() - 12; }
    // Fills in length, type and CRC around the first size bytes of data() and sends them.
    bool Send(const PngSink& sink, const char (&type)[5], std::size_t size) {
        PutBigEndian(bytes_.data(), static_cast<std::uint32_t>(size));
        std::copy(type, type + 4, bytes_.begin() + 4);
        uLong crc = ::crc32(0L, bytes_.data() + 4, static_cast<uInt>(4 + size));
        PutBigEndian(bytes_.data() + 8 + size, static_cast<std::uint32_t>(crc));
        return sink(bytes_.data(), 12 + size);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

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

// One row as PNG image data: the filter type byte (None) and red, green, blue per pixel.
void ConvertRow(const std::uint8_t* bgrx, std::uint32_t width, std::uint8_t* out) {
    *out++ = 0;
    for (std::uint32_t x = 0; x < width; ++x, bgrx += 4, out += 3) {
        out[0] = bgrx[2];
        out[1] = bgrx[1];
        out[2] = bgrx[0];
    }
}

bool WriteValidPng(const BgrxPixels& pixels, PngCompression compression, const PngSink& sink) {
    if (!pixels.bits || pixels.width == 0 || pixels.height == 0) return false;
    if (pixels.width > kPngMaxDimension || pixels.height > kPngMaxDimension) return false;
    if (pixels.width > (std::numeric_limits<std::size_t>::max() - 1) / 4) return false;
    if (pixels.stride / 4 < pixels.width) return false;
    const std::size_t rowBytes = 1 + std::size_t{3} * pixels.width;
    if (rowBytes > std::numeric_limits<uInt>::max()) return false;

    int level = 0, strategy = 0;
    LevelAndStrategy(compression, level, strategy);
    DeflateStream stream(level, strategy);
    if (!stream.open) return false;

    if (!sink(kSignature, sizeof kSignature)) return false;
    ChunkBuffer small(13);
    std::uint8_t* header = small.data();
    PutBigEndian(header, pixels.width);
    PutBigEndian(header + 4, pixels.height);
    header[8] = 8;   // bits per sample
    header[9] = 2;   // colour type: RGB
    header[10] = 0;  // deflate
    header[11] = 0;  // adaptive filtering, each row's type byte
    header[12] = 0;  // no interlace
    if (!small.Send(sink, "IHDR", 13)) return false;

    const std::size_t rowsPerBatch = std::max<std::size_t>(1, kBatchBytes / rowBytes);
    std::vector<std::uint8_t> batch(rowsPerBatch * rowBytes);
    ChunkBuffer chunk(kChunkBytes);
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
                if (!chunk.Send(sink, "IDAT", filled)) return false;
                z.next_out = chunk.data();
                z.avail_out = static_cast<uInt>(chunk.capacity());
            }
            if (finished) return true;
            if (flush != Z_FINISH && z.avail_in == 0) return true;  // the rest comes out later
        }
    };

    for (std::uint32_t y = 0; y < pixels.height;) {
        std::size_t rows = std::min<std::size_t>(rowsPerBatch, pixels.height - y);
        for (std::size_t i = 0; i < rows; ++i, ++y) ConvertRow(pixels.Row(y), pixels.width, batch.data() + i * rowBytes);
        z.next_in = batch.data();
        z.avail_in = static_cast<uInt>(rows * rowBytes);
        if (!deflateAll(Z_NO_FLUSH)) return false;
    }
    if (!deflateAll(Z_FINISH)) return false;
    return small.Send(sink, "IEND", 0);
}

}  // namespace

bool WritePng(const BgrxPixels& pixels, PngCompression compression, const PngSink& sink) {
    try {
        return WriteValidPng(pixels, compression, sink);
    } catch (const std::bad_alloc&) {
        return false;  // the capture runs inside window procedures: no exception leaves it
    }
}

bool IsPngPath(const std::wstring& path) { return EqualsIgnoringCase(PathExtension(path), L".png"); }
