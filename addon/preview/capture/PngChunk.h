#pragma once
// A PNG chunk in one piece of memory: 4 bytes of length, 4 of type, the data and 4 of CRC,
// so that each chunk reaches the sink in one call. Its CRC can be brought up to date in
// steps while the data is filled, each step over bytes still in the cache.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "PngKernels.h"
#include "PngWriter.h"

inline void PutBigEndian(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

class PngChunk {
public:
    // Not cleared: every byte sent is written first.
    PngChunk(const char (&type)[5], std::size_t capacity, ChecksumFunction crc32)
        : bytes_(new std::uint8_t[8 + capacity + 4]), capacity_(capacity), crc32_(crc32) {
        std::copy(type, type + 4, bytes_.get() + 4);
        typeCrc_ = crc32_(0, bytes_.get() + 4, 4);
        crc_ = typeCrc_;
    }
    std::uint8_t* data() { return bytes_.get() + 8; }
    std::size_t capacity() const { return capacity_; }

    // Takes the CRC over the data up to size (not beyond what was filled).
    void ChecksumUpTo(std::size_t size) {
        if (size > checked_) crc_ = crc32_(crc_, data() + checked_, size - checked_);
        checked_ = size;
    }
    // Sends the first size bytes of data as the chunk and starts the next one empty.
    bool Send(const PngSink& sink, std::size_t size) {
        ChecksumUpTo(size);
        PutBigEndian(bytes_.get(), static_cast<std::uint32_t>(size));
        PutBigEndian(data() + size, crc_);
        crc_ = typeCrc_;
        checked_ = 0;
        return sink(bytes_.get(), 12 + size);
    }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_;
    ChecksumFunction crc32_;
    std::uint32_t typeCrc_ = 0;
    std::uint32_t crc_ = 0;
    std::size_t checked_ = 0;  // data bytes the CRC has taken
};
