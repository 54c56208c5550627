#include "ZipWriter.h"

#include <algorithm>
#include <array>

namespace skyglance::catalogue {
namespace {

std::array<std::uint32_t, 256> makeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1u) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        }
        table[n] = c;
    }
    return table;
}

void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xffu);
    out += static_cast<char>((value >> 8) & 0xffu);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xffffu);
    put16(out, value >> 16);
}

} // namespace

std::uint32_t crc32(const std::string& bytes) {
    static const auto table = makeCrcTable();
    std::uint32_t c = 0xffffffffu;
    for (unsigned char b : bytes) {
        c = table[(c ^ b) & 0xffu] ^ (c >> 8);
    }
    return c ^ 0xffffffffu;
}

void ZipWriter::add(const std::string& name, const std::string& bytes, const QDateTime& modified) {
    Entry entry;
    entry.name = name;
    entry.crc = crc32(bytes);
    entry.size = static_cast<std::uint32_t>(bytes.size());
    entry.offset = static_cast<std::uint32_t>(body_.size());
    const QDate d = modified.date();
    const QTime t = modified.time();
    entry.dosTime =
        static_cast<std::uint16_t>((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
    entry.dosDate = static_cast<std::uint16_t>(((std::max(d.year(), 1980) - 1980) << 9) |
                                               (d.month() << 5) | d.day());
    put32(body_, 0x04034b50u); // local file header
    put16(body_, 20);          // version needed: 2.0
    put16(body_, 0);           // flags
    put16(body_, 0);           // method: stored
    put16(body_, entry.dosTime);
    put16(body_, entry.dosDate);
    put32(body_, entry.crc);
    put32(body_, entry.size);
    put32(body_, entry.size);
    put16(body_, static_cast<std::uint32_t>(name.size()));
    put16(body_, 0); // no extra field
    body_ += name;
    body_ += bytes;
    entries_.push_back(entry);
}

std::string ZipWriter::finish() const {
    std::string out = body_;
    const auto directoryOffset = static_cast<std::uint32_t>(out.size());
    for (const Entry& entry : entries_) {
        put32(out, 0x02014b50u); // central directory header
        put16(out, 20);          // made by: 2.0
        put16(out, 20);          // version needed
        put16(out, 0);
        put16(out, 0);
        put16(out, entry.dosTime);
        put16(out, entry.dosDate);
        put32(out, entry.crc);
        put32(out, entry.size);
        put32(out, entry.size);
        put16(out, static_cast<std::uint32_t>(entry.name.size()));
        put16(out, 0); // extra
        put16(out, 0); // comment
        put16(out, 0); // disk
        put16(out, 0); // internal attributes
        put32(out, 0); // external attributes
        put32(out, entry.offset);
        out += entry.name;
    }
    const auto directorySize = static_cast<std::uint32_t>(out.size()) - directoryOffset;
    put32(out, 0x06054b50u); // end of central directory
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(entries_.size()));
    put16(out, static_cast<std::uint32_t>(entries_.size()));
    put32(out, directorySize);
    put32(out, directoryOffset);
    put16(out, 0);
    return out;
}

} // namespace skyglance::catalogue
