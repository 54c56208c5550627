// Feeds arbitrary bytes to the collection-file reader, and turns them into
// entry texts that are saved and read back: every saved file must read back
// with one code per ticked entry.

#include "catalogue/Collections.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    if (const auto codes = ReadCollectionCodes(bytes)) {
        for (const QString& code : *codes) {
            check(!code.startsWith(QLatin1Char(' ')) && !code.endsWith(QLatin1Char(' ')));
        }
    }

    const QStringList entries = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    const QDateTime when(QDate(2021, 3, 3), QTime(9, 5, 7));
    const auto saved = ReadCollectionCodes(FormatCollectionFile(when, entries));
    check(saved.has_value() && saved->size() == entries.size());
    return 0;
}
