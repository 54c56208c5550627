// The version file comes from the vendor's server and the local mark from
// disk: any bytes must split into fields without a crash, the check must
// decide as the fields say, and a file written the way the service writes it
// must read back field for field.

#include "catalogue/VersionUpdate.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A field the service could write between commas: no separator, no quote, no
// blank at either end, not empty.
bool isPlainField(const QString& field) {
    return !field.isEmpty() && field == field.trimmed() && !field.contains(QLatin1Char(',')) &&
           !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n')) &&
           !field.contains(QLatin1Char('\r')) && !field.startsWith(QChar(0xFEFF));
}

void checkDecision(const QStringList& fields, const QString& localSet) {
    const auto result = EvaluateVersionFile(fields, localSet);
    const bool decides = fields.size() >= 2 && !fields.at(0).isEmpty() && !fields.at(1).isEmpty();
    check(result.has_value() == decides);
    if (!result) {
        return;
    }
    const bool current = fields.at(0) == QLatin1String(kProgramVersionName);
    check(result->whoWeAreColour == (current ? kWhoWeAreCurrentColour : kWhoWeAreOutdatedColour));
    check(current || result->Aggiornare.startsWith(QStringLiteral("\r\n") + fields.at(0)));
    check(result->collectionsUpdate == (localSet != fields.at(1)));
}

void checkServiceFileReadsBack(const QStringList& fields) {
    QStringList plain;
    for (const QString& field : fields) {
        if (isPlainField(field)) {
            plain.append(field);
        }
    }
    if (plain.isEmpty()) {
        return;
    }
    check(VersionFileFields(plain.join(QLatin1Char(',')).toUtf8() + "\r\n") == plain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The program never reads more of either file than this.
    if (size > static_cast<size_t>(kMaxVersionFileBytes)) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList fields = VersionFileFields(bytes);
    qsizetype chars = 0;
    for (const QString& field : fields) {
        chars += field.size();
    }
    check(chars <= bytes.size());
    check(fields.size() <= bytes.size() + 1);

    // The same bytes as the local mark: its first field names the set.
    checkDecision(fields, fields.value(0));
    checkDecision(fields, QLatin1String(kFirstCollectionSet));
    checkServiceFileReadsBack(fields);
    return 0;
}
