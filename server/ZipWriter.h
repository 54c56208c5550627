#pragma once

#include <QDateTime>
#include <cstdint>
#include <string>
#include <vector>

namespace skyglance::catalogue {

std::uint32_t crc32(const std::string& bytes);

// A zip archive of stored (uncompressed) entries, built in memory; enough for
// a handful of small text files that any unzip tool reads.
class ZipWriter {
public:
    void add(const std::string& name, const std::string& bytes, const QDateTime& modified);
    std::string finish() const;

private:
    struct Entry {
        std::string name;
        std::uint32_t crc;
        std::uint32_t size;
        std::uint32_t offset;
        std::uint16_t dosTime;
        std::uint16_t dosDate;
    };
    std::vector<Entry> entries_;
    std::string body_;
};

} // namespace skyglance::catalogue
