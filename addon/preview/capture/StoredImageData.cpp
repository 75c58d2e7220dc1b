#include "StoredImageData.h"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kMostInBlock = 65535;
// A chunk holds whole blocks: a row that crosses from one block to the next is the only
// one that takes a detour through a row of its own.
constexpr std::size_t kBlocksPerChunk = 2;
constexpr std::size_t kChunkCapacity = 2 + kBlocksPerChunk * (5 + kMostInBlock) + 4;
// The checksums follow the conversion at about this distance: the converted bytes are
// still in the first-level cache.
constexpr std::size_t kBatchBytes = 16 * 1024;

// The zlib stream of stored blocks laid into IDAT chunks: its header, each block's
// header before its bytes, the Adler-32 at the end.
class StoredStream {
public:
    StoredStream(std::uint64_t rawBytes, const PngKernels& kernels, const PngSink& sink)
        : chunk_("IDAT", kChunkCapacity, kernels.crc32), adler32_(kernels.adler32), sink_(sink), rawLeft_(rawBytes) {
        at_ = chunk_.data();
        *at_++ = 0x78;  // deflate with a 32 KB window
        *at_++ = 0x01;  // no dictionary, the fastest level; a multiple of 31 with the byte before
        rawFrom_ = at_;
    }

    // Room at at() for up to want bytes of the current block, starting the next block (and
    // chunk) when it is full: at least 1 while bytes are left, 0 once the sink refused.
    std::size_t Room(std::size_t want) {
        if (blockLeft_ == 0 && !StartBlock()) return 0;
        return want < blockLeft_ ? want : blockLeft_;
    }
    std::uint8_t* at() const { return at_; }
    void Advance(std::size_t size) {
        at_ += size;
        blockLeft_ -= size;
        rawLeft_ -= size;
        if (static_cast<std::size_t>(at_ - rawFrom_) >= kBatchBytes) Checksum();
    }
    // Ends the stream with its Adler-32 and sends the last chunk.
    bool Finish() {
        if (failed_) return false;
        Checksum();
        PutBigEndian(at_, adler_);
        at_ += 4;
        return chunk_.Send(sink_, Filled());
    }

private:
    std::size_t Filled() { return static_cast<std::size_t>(at_ - chunk_.data()); }

    void Checksum() {
        adler_ = adler32_(adler_, rawFrom_, static_cast<std::size_t>(at_ - rawFrom_));
        rawFrom_ = at_;
        chunk_.ChecksumUpTo(Filled());
    }

    bool StartBlock() {
        if (failed_) return false;
        Checksum();
        if (blocksInChunk_ == kBlocksPerChunk) {
            failed_ = !chunk_.Send(sink_, Filled());
            if (failed_) return false;
            at_ = chunk_.data();
            blocksInChunk_ = 0;
        }
        const bool last = rawLeft_ <= kMostInBlock;
        const auto size = static_cast<std::uint16_t>(last ? rawLeft_ : kMostInBlock);
        at_[0] = last ? 1 : 0;  // BFINAL, and BTYPE 00: stored
        at_[1] = static_cast<std::uint8_t>(size);
        at_[2] = static_cast<std::uint8_t>(size >> 8);
        at_[3] = static_cast<std::uint8_t>(~size);
        at_[4] = static_cast<std::uint8_t>(~size >> 8);
        at_ += 5;
        rawFrom_ = at_;
        blockLeft_ = size;
        ++blocksInChunk_;
        return true;
    }

    PngChunk chunk_;
    ChecksumFunction adler32_;
    const PngSink& sink_;
    std::uint64_t rawLeft_;
    std::uint8_t* at_ = nullptr;
    std::uint8_t* rawFrom_ = nullptr;  // the first byte the Adler-32 has not taken
    std::uint32_t adler_ = 1;
    std::size_t blockLeft_ = 0;
    std::size_t blocksInChunk_ = 0;
    bool failed_ = false;
};

}  // namespace

bool WriteStoredImageData(const BgrxPixels& pixels, const PngKernels& kernels, const PngSink& sink) {
    const std::size_t rowBytes = 1 + std::size_t{3} * pixels.width;
    StoredStream stream(std::uint64_t{rowBytes} * pixels.height, kernels, sink);
    std::vector<std::uint8_t> crossing(rowBytes);
    for (std::uint32_t y = 0; y < pixels.height; ++y) {
        if (stream.Room(rowBytes) == rowBytes) {
            std::uint8_t* row = stream.at();
            row[0] = 0;  // filter type None
            kernels.convertRow(pixels.Row(y), pixels.width, row + 1);
            stream.Advance(rowBytes);
            continue;
        }
        crossing[0] = 0;
        kernels.convertRow(pixels.Row(y), pixels.width, crossing.data() + 1);
        for (std::size_t done = 0; done < rowBytes;) {
            const std::size_t part = stream.Room(rowBytes - done);
            if (part == 0) return false;
            std::memcpy(stream.at(), crossing.data() + done, part);
            stream.Advance(part);
            done += part;
        }
    }
    return stream.Finish();
}
