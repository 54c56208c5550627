#include "ZipWriter.h"

#include <cstdio>
#include <memory>
#include <zip.h>

namespace skyglance::catalogue {
namespace {

struct SourceFree {
    void operator()(zip_source_t* source) const { zip_source_free(source); }
};
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

// Adds every entry to an archive writing into target; false on any failure
// (the archive is then discarded).
bool writeEntries(zip_source_t* target, const auto& entries) {
    zip_error_t error;
    zip_error_init(&error);
    zip_t* archive = zip_open_from_source(target, ZIP_TRUNCATE, &error);
    zip_error_fini(&error);
    if (archive == nullptr) {
        return false;
    }
    for (const auto& entry : entries) {
        // The bytes live in entries_ until zip_close has read them.
        zip_source_t* data = zip_source_buffer(archive, entry.bytes.data(), entry.bytes.size(), 0);
        const zip_int64_t index =
            data == nullptr ? -1
                            : zip_file_add(archive, entry.name.c_str(), data, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(data);
            zip_discard(archive);
            return false;
        }
        const auto mtime = static_cast<time_t>(entry.modified.toSecsSinceEpoch());
        zip_file_set_mtime(archive, static_cast<zip_uint64_t>(index), mtime, 0);
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        return false;
    }
    return true;
}

std::string readAll(zip_source_t* source) {
    if (zip_source_open(source) != 0) {
        return {};
    }
    std::string out;
    char buffer[16384];
    zip_int64_t n = 0;
    while ((n = zip_source_read(source, buffer, sizeof buffer)) > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
    }
    zip_source_close(source);
    return n < 0 ? std::string() : out;
}

} // namespace

void ZipWriter::add(const std::string& name, const std::string& bytes, const QDateTime& modified) {
    entries_.push_back({name, bytes, modified});
}

std::string ZipWriter::finish() const {
    zip_error_t error;
    zip_error_init(&error);
    SourcePtr target(zip_source_buffer_create(nullptr, 0, 0, &error));
    zip_error_fini(&error);
    if (!target) {
        return {};
    }
    // The archive releases its source on close; keep ours to read the result.
    zip_source_keep(target.get());
    if (!writeEntries(target.get(), entries_)) {
        return {};
    }
    return readAll(target.get());
}

} // namespace skyglance::catalogue
