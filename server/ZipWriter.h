#pragma once

#include <QDateTime>
#include <string>
#include <vector>

namespace skyglance::catalogue {

// A zip archive built in memory with libzip: a handful of small files that any
// unzip tool (and the client's libzip reader) reads.
class ZipWriter {
public:
    void add(const std::string& name, const std::string& bytes, const QDateTime& modified);
    // The whole archive; empty when libzip fails (out of memory).
    std::string finish() const;

private:
    struct Entry {
        std::string name;
        std::string bytes;
        QDateTime modified;
    };
    std::vector<Entry> entries_;
};

} // namespace skyglance::catalogue
