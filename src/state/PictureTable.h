#pragma once

#include <array>
#include <cstddef>

// A picture table: indexes 0 to 2000 (2001 entries). An index outside that
// range never touches the table: a read gives the empty value and a write
// lands in a scratch slot that is thrown away, so a runaway counter cannot
// corrupt memory.
template <typename T> class PictureTable {
public:
    static constexpr int kSize = 2001;
    static constexpr int kLast = kSize - 1;
    // The start-up and reset loops clear entries 0 to 1999 only.
    static constexpr int kClearedByReset = 2000;

    static constexpr bool inRange(int index) { return index >= 0 && index <= kLast; }

    T& operator[](int index) {
        if (!inRange(index)) {
            scratch_ = T{};
            return scratch_;
        }
        return entries_[static_cast<std::size_t>(index)];
    }

    const T& operator[](int index) const {
        if (!inRange(index)) {
            static const T empty{};
            return empty;
        }
        return entries_[static_cast<std::size_t>(index)];
    }

    // Entries 0 to 1999 back to the empty value; entry 2000 is left alone.
    void clearForReset() {
        for (int i = 0; i < kClearedByReset; ++i) {
            entries_[static_cast<std::size_t>(i)] = T{};
        }
    }

    void clearAll() { entries_.fill(T{}); }

    constexpr int size() const { return kSize; }

private:
    std::array<T, kSize> entries_{};
    T scratch_{};
};
