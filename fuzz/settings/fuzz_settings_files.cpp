// The settings and selection files as they come from disk: any bytes must
// read without a crash, and a file written from what was read reads back the
// same.
#include "settings/SettingsFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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
    return 0;
}
