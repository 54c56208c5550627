// The settings, selection, town, proxy and language files as they come from
// disk: any bytes must read without a crash, and a file written from what was
// read reads back the same.
#include "settings/Connection.h"
#include "settings/HomeTown.h"
#include "settings/LanguageChoice.h"
#include "settings/SettingsFormat.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// A complete town file read, written and read again gives the same values; a
// short one never has more values than the file has lines.
void checkTownFile(const QByteArray& bytes) {
    const TownFileRead read = parseTownFile(bytes);
    if (read.params.size() > kTownParamCount) {
        std::abort();
    }
    if (!read.complete()) {
        return;
    }
    TownValues values;
    std::copy(read.params.cbegin(), read.params.cend(), values.params.begin());
    values.fahrenheit = *read.fahrenheit;
    const TownFileRead again = parseTownFile(formatTownFile(values));
    if (again.params != read.params || again.fahrenheit != read.fahrenheit) {
        std::abort();
    }
}

// A proxy read from the file and written again reads back the same, unless
// its password holds a character the file cannot (which a write refuses).
void checkProxyFile(const QByteArray& bytes) {
    const platform::ProxySetting read = parseProxyFile(bytes);
    if (TransformPassword(TransformPassword(read.password)) != read.password) {
        std::abort();
    }
    if (!read.enabled || unstorablePasswordChar(read.password)) {
        return;
    }
    const platform::ProxySetting again = parseProxyFile(formatProxyFile(read));
    if (!again.enabled || again.address != read.address || again.port != read.port ||
        again.userName != read.userName || again.password != read.password) {
        std::abort();
    }
}

void checkLanguageFile(const QByteArray& bytes) {
    const std::optional<int16_t> lingua = parseLanguageFile(bytes);
    if (lingua && parseLanguageFile(formatLanguageFile(*lingua)) != lingua) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > static_cast<size_t>(kMaxSettingsFileBytes)) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList lines = splitIntoLines(bytes);
    const QList<int> rows = selectionRows(lines);

    QList<SelectionEntry> entries;
    for (int row : rows) {
        entries.append({row, static_cast<int16_t>(row)});
    }
    const QList<int> again = selectionRows(splitIntoLines(formatSelectionFile(entries)));
    QList<int> expected;
    for (int row : rows) {
        expected.append(row);
    }
    if (again != expected) {
        std::abort();
    }

    const auto line = [&lines](int n) { return n < lines.size() ? lines.at(n) : QString(); };
    const SettingsValues values{line(0), line(1), line(2), line(3)};
    const QStringList back = splitIntoLines(formatSettingsFile(values));
    // Values without line breaks survive a write and a read.
    if (!values.downloadInterval.contains(QLatin1Char('\r')) &&
        back.value(0) != values.downloadInterval) {
        std::abort();
    }
    (void)readNumber(line(0));
    checkTownFile(bytes);
    checkProxyFile(bytes);
    checkLanguageFile(bytes);
    return 0;
}
