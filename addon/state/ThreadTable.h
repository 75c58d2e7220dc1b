#pragma once
// A per-thread table, two parallel arrays of keys (thread ids) and values.
// Keys may repeat: Add never checks, Lookup and Remove act on the first match.
// Tabs attach and detach on their own threads and may overlap: every operation runs
// under the table's own lock, so a Lookup never sees a half-shifted array. The table does not own what its values point to.
#include <cstdint>
#include <mutex>
#include <vector>

template <typename Value>
class ThreadTable {
public:
    // Appends the pair at the end. When either array cannot grow, the table stays as it
    // was: the arrays never differ in length.
    void Add(std::uint32_t key, Value value) {
        std::lock_guard<std::mutex> guard(lock_);
        keys_.push_back(key);
        try {
            values_.push_back(value);
        } catch (...) {
            keys_.pop_back();
            throw;
        }
    }

    // The value of the first pair whose key matches, or a null value.
    Value Lookup(std::uint32_t key) const {
        std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            if (keys_[i] == key) return values_[i];
        }
        return Value{};
    }

    // Deletes the first pair whose key matches; the later pairs keep their order.
    void Remove(std::uint32_t key) {
        std::lock_guard<std::mutex> guard(lock_);
        for (std::size_t i = 0; i < keys_.size(); ++i) {
            if (keys_[i] == key) {
                keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(i));
                values_.erase(values_.begin() + static_cast<std::ptrdiff_t>(i));
                return;
            }
        }
    }

    // The number of pairs (the record's signed 32-bit count).
    std::int32_t Count() const {
        std::lock_guard<std::mutex> guard(lock_);
        return static_cast<std::int32_t>(keys_.size());
    }

    // The pair at index (0 .. Count() - 1), for tests and diagnostics.
    std::uint32_t KeyAt(std::int32_t index) const {
        std::lock_guard<std::mutex> guard(lock_);
        return keys_.at(static_cast<std::size_t>(index));
    }
    Value ValueAt(std::int32_t index) const {
        std::lock_guard<std::mutex> guard(lock_);
        return values_.at(static_cast<std::size_t>(index));
    }

private:
    mutable std::mutex lock_;
    std::vector<std::uint32_t> keys_;
    std::vector<Value> values_;
};
