// The PNG writer, read back by a decoder written here on zlib's inflate: chunk layout and
// CRCs, the header, and every pixel of pictures of many shapes and both row orders, with
// every set of conversion and checksums the processor runs.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "PngKernels.h"
#include "PngWriter.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The CRC of PNG chunks, computed bit by bit, independently of the writer's.
std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t BigEndian(const std::uint8_t* at) {
    return std::uint32_t{at[0]} << 24 | std::uint32_t{at[1]} << 16 | std::uint32_t{at[2]} << 8 | at[3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

struct Decoded {
    std::string error;  // empty when the file is a valid PNG as far as checked
    std::vector<Chunk> chunks;
    std::uint32_t width = 0, height = 0;
    Bytes rgb;  // the pixels, 3 bytes each, top row first
};

Decoded Decode(const Bytes& file) {
    Decoded out;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) return {"signature", {}, 0, 0, {}};
    std::size_t at = 8;
    while (at < file.size()) {
        if (file.size() - at < 12) return {"chunk cut short", {}, 0, 0, {}};
        std::uint32_t length = BigEndian(&file[at]);
        if (length > file.size() - at - 12) return {"chunk length past the end", {}, 0, 0, {}};
        if (Crc(&file[at + 4], 4 + std::size_t{length}) != BigEndian(&file[at + 8 + length]))
            return {"CRC of chunk " + std::to_string(out.chunks.size()), {}, 0, 0, {}};
        out.chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                              Bytes(file.begin() + at + 8, file.begin() + at + 8 + length)});
        at += 12 + std::size_t{length};
    }
    const auto& c = out.chunks;
    if (c.size() < 3 || c.front().type != "IHDR" || c.back().type != "IEND" || !c.back().data.empty())
        return {"chunk order", {}, 0, 0, {}};
    const Bytes& h = c.front().data;
    if (h.size() != 13) return {"IHDR size", {}, 0, 0, {}};
    out.width = BigEndian(&h[0]);
    out.height = BigEndian(&h[4]);
    if (h[8] != 8 || h[9] != 2 || h[10] != 0 || h[11] != 0 || h[12] != 0) return {"IHDR fields", {}, 0, 0, {}};
    Bytes deflated;
    std::size_t first = 1;
    while (first + 1 < c.size() && c[first].type != "IDAT" && (c[first].type[0] & 0x20)) ++first;  // ancillary
    for (std::size_t i = first; i + 1 < c.size(); ++i) {
        if (c[i].type != "IDAT") return {"chunk between the image data: " + c[i].type, {}, 0, 0, {}};
        deflated.insert(deflated.end(), c[i].data.begin(), c[i].data.end());
    }
    std::size_t rowBytes = 1 + 3 * std::size_t{out.width};
    Bytes raw(rowBytes * out.height + 1);  // one spare byte shows data beyond the last row
    z_stream z = {};
    if (::inflateInit(&z) != Z_OK) return {"inflateInit", {}, 0, 0, {}};
    z.next_in = deflated.data();
    z.avail_in = static_cast<uInt>(deflated.size());
    z.next_out = raw.data();
    z.avail_out = static_cast<uInt>(raw.size());
    int result = ::inflate(&z, Z_FINISH);
    std::size_t produced = raw.size() - z.avail_out;
    bool trailing = z.avail_in != 0;
    ::inflateEnd(&z);
    if (result != Z_STREAM_END) return {"inflate " + std::to_string(result), {}, 0, 0, {}};
    if (produced != rowBytes * out.height || trailing) return {"image data size", {}, 0, 0, {}};
    for (std::uint32_t y = 0; y < out.height; ++y) {
        const std::uint8_t* row = &raw[y * rowBytes];
        if (row[0] != 0) return {"filter type of row " + std::to_string(y), {}, 0, 0, {}};
        out.rgb.insert(out.rgb.end(), row + 1, row + rowBytes);
    }
    return out;
}

// A picture of pseudo-random pixels in a buffer laid out like a DIB section, with
// padding bytes after each row and a non-zero fourth byte that the file must leave out.
struct Picture {
    std::uint32_t width, height;
    std::size_t stride;
    bool bottomUp;
    Bytes memory;

    Picture(std::uint32_t w, std::uint32_t h, std::size_t padding, bool bottomUpRows, std::uint32_t seed = 7)
        : width(w), height(h), stride(4 * std::size_t{w} + padding), bottomUp(bottomUpRows), memory(stride * h) {
        for (auto& byte : memory) {
            seed = seed * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(seed >> 24);
        }
    }
    BgrxPixels Pixels() const { return {memory.data(), width, height, stride, bottomUp}; }
    // Red, green, blue of the pixel at (x, y), y counted from the top of the picture.
    Bytes Rgb(std::uint32_t x, std::uint32_t y) const {
        const std::uint8_t* p = &memory[stride * (bottomUp ? height - 1 - y : y) + 4 * std::size_t{x}];
        return {p[2], p[1], p[0]};
    }
};

Bytes Write(const BgrxPixels& pixels, PngCompression compression, bool* ok = nullptr, const PngOptions& options = {}) {
    Bytes file;
    bool written = WritePng(
        pixels, compression,
        [&](const std::uint8_t* data, std::size_t size) {
            file.insert(file.end(), data, data + size);
            return true;
        },
        options);
    if (ok) *ok = written;
    return file;
}

// The first pixel that differs, or "" when every pixel of the file is the picture's.
std::string FirstDifference(const Decoded& decoded, const Picture& picture) {
    if (decoded.width != picture.width || decoded.height != picture.height) return "size";
    for (std::uint32_t y = 0; y < picture.height; ++y)
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint8_t* got = &decoded.rgb[3 * (std::size_t{y} * picture.width + x)];
            if (Bytes(got, got + 3) != picture.Rgb(x, y))
                return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")";
        }
    return "";
}

const PngCompression kAllCompressions[] = {PngCompression::Stored, PngCompression::Rle,
                                           PngCompression::HuffmanOnly, PngCompression::Fastest,
                                           PngCompression::Default};

}  // namespace

TEST(WritePng, EveryPixelReadsBackForEveryShapeRowOrderCompressionAndProcessor) {
    struct Shape {
        std::uint32_t width, height;
        std::size_t padding;
    };
    // Stored, a row of n pixels takes 3n + 1 bytes; a block holds 65535, a chunk two blocks,
    // and the checksums follow every 16 KB. 100x445 and 640x75: the image data runs a little
    // way into a second chunk; 1258 pixels: rows cross the checksums' batches; 28x771: one
    // full block exactly, 28x772 one more row in a second block, 28x1542 one full chunk
    // with the Adler-32 after it; 21845: a row one byte longer than a block; 43690: a row
    // across three blocks and from one chunk into the next.
    const Shape shapes[] = {{1, 1, 0},     {3, 2, 0},    {5, 7, 12},   {1, 300, 4},   {333, 5, 0},
                            {1258, 61, 8}, {100, 445, 0}, {640, 75, 0}, {28, 771, 0},  {28, 772, 4},
                            {28, 1542, 0}, {21845, 2, 0}, {43690, 3, 4}};
    const CpuFeatures features = DetectCpuFeatures();
    for (const PngKernels& kernels : AllPngKernels()) {
        if (!Runs(features, kernels)) {
            std::printf("not run here: %s\n", kernels.name);
            continue;
        }
        PngOptions options;
        options.kernels = &kernels;
        for (const Shape& shape : shapes)
            for (bool bottomUp : {false, true})
                for (PngCompression compression : kAllCompressions) {
                    SCOPED_TRACE(std::string(kernels.name) + " " + std::to_string(shape.width) + "x" +
                                 std::to_string(shape.height) + " padding " + std::to_string(shape.padding) +
                                 (bottomUp ? " bottom-up" : " top-down") + " compression " +
                                 std::to_string(static_cast<int>(compression)));
                    Picture picture(shape.width, shape.height, shape.padding, bottomUp);
                    bool ok = false;
                    Decoded decoded = Decode(Write(picture.Pixels(), compression, &ok, options));
                    EXPECT_TRUE(ok);
                    ASSERT_EQ(decoded.error, "");
                    EXPECT_EQ(FirstDifference(decoded, picture), "");
                }
    }
}

TEST(WritePng, TheWriteIdIsAnAncillaryChunkRightAfterTheHeader) {
    Picture picture(7, 3, 0, false);
    std::uint8_t id[kWriteIdBytes];
    for (std::size_t i = 0; i < kWriteIdBytes; ++i) id[i] = static_cast<std::uint8_t>(0xC0 + i);
    PngOptions options;
    options.writeId = id;
    Decoded decoded = Decode(Write(picture.Pixels(), PngCompression::Stored, nullptr, options));
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.chunks[1].type, kWriteIdChunk);
    EXPECT_EQ(decoded.chunks[1].data, Bytes(id, id + kWriteIdBytes));
    EXPECT_EQ(FirstDifference(decoded, picture), "");
}

TEST(WritePng, AScreenSizedPictureIsSplitIntoSeveralImageDataChunks) {
    Picture picture(1258, 978, 0, false);
    Decoded decoded = Decode(Write(picture.Pixels(), PngCompression::Stored));
    ASSERT_EQ(decoded.error, "");
    EXPECT_GT(decoded.chunks.size(), 3u);
    EXPECT_EQ(FirstDifference(decoded, picture), "");
}

TEST(WritePng, StoredBlocksTakeTheSameSpaceWhateverThePictureShows) {
    // What makes their time the same for a page of text and for a photograph.
    Picture noise(200, 100, 0, false, 1);
    Picture flat(200, 100, 0, false, 1);
    std::fill(flat.memory.begin(), flat.memory.end(), std::uint8_t{0xFF});
    Bytes noiseFile = Write(noise.Pixels(), PngCompression::Stored);
    Bytes flatFile = Write(flat.Pixels(), PngCompression::Stored);
    EXPECT_EQ(noiseFile.size(), flatFile.size());
    EXPECT_GT(noiseFile.size(), 200u * 100u * 3u);
    EXPECT_LT(Write(flat.Pixels(), PngCompression::Default).size(), flatFile.size() / 10);
}

TEST(WritePng, WritesNothingForPixelsItCannotRead) {
    Picture picture(4, 3, 0, false);
    struct Case {
        const char* what;
        BgrxPixels pixels;
    };
    const Case cases[] = {
        {"no bits", {nullptr, 4, 3, 16, false}},
        {"no columns", {picture.memory.data(), 0, 3, 16, false}},
        {"no rows", {picture.memory.data(), 4, 0, 16, false}},
        {"rows shorter than the width", {picture.memory.data(), 4, 3, 15, false}},
        {"width beyond PNG", {picture.memory.data(), 0x80000000u, 1, std::numeric_limits<std::size_t>::max(), false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool ok = true;
        EXPECT_TRUE(Write(c.pixels, PngCompression::Stored, &ok).empty());
        EXPECT_FALSE(ok);
    }
}

TEST(WritePng, StopsAtTheFirstWriteTheSinkRefuses) {
    Picture picture(700, 600, 0, false);  // signature, IHDR, several IDAT chunks, IEND
    std::size_t whole = Write(picture.Pixels(), PngCompression::Stored).size();
    for (std::size_t refused = 0; refused < 5; ++refused) {
        SCOPED_TRACE(refused);
        std::size_t calls = 0, bytes = 0;
        bool ok = WritePng(picture.Pixels(), PngCompression::Stored, [&](const std::uint8_t*, std::size_t size) {
            if (calls++ == refused) return false;
            bytes += size;
            return true;
        });
        EXPECT_FALSE(ok);
        EXPECT_EQ(calls, refused + 1) << "nothing is offered after the refusal";
        EXPECT_LT(bytes, whole);
    }
}

TEST(IsPngPath, TheExtensionDecidesWithoutRegardToCase) {
    struct Case {
        const wchar_t* path;
        bool png;
    };
    const Case cases[] = {
        {L"C:\\Temp\\temp.png", true}, {L"C:\\Temp\\TEMP.PNG", true}, {L"a.Png", true},
        {L"C:\\Temp\\temp.bmp", false}, {L"C:\\Temp\\temp.png.bmp", false}, {L"C:\\a.png\\temp", false},
        {L"C:\\Temp\\png", false}, {L"temp.pngx", false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(IsPngPath(cases[i].path), cases[i].png) << "case " << i;
}
