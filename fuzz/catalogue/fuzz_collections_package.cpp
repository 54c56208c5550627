// Any bytes as the downloaded collections package, extracted into a scratch
// collections folder. Beyond "no crash": nothing is written beside that
// folder (no entry name climbs out of it), the folder ends up holding only
// plain collection files within the size bounds, exactly the ones reported,
// and a damaged package leaves it as it was (empty here).

#include "catalogue/VersionUpdate.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

struct Scratch {
    // In memory when it can be, so a run costs no disk writes.
    QTemporaryDir root{QDir(QStringLiteral("/dev/shm")).exists()
                           ? QStringLiteral("/dev/shm/fuzz-collections-XXXXXX")
                           : QDir::tempPath() + QStringLiteral("/fuzz-collections-XXXXXX")};
    QString package = root.filePath(QStringLiteral("package.zip"));
    QString collections = root.filePath(QStringLiteral("Skyglance_Collections"));
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

QStringList everythingIn(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

void checkNothingBesideTheFolder(const Scratch& s) {
    check(everythingIn(s.root.path()) ==
          QStringList({QStringLiteral("Skyglance_Collections"), QStringLiteral("package.zip")}));
}

void checkFolderHolds(const Scratch& s, const PackageExtraction& result) {
    const QStringList present = everythingIn(s.collections);
    if (!result.ok) {
        check(present.isEmpty());
        return;
    }
    check(present == result.names && result.extracted == result.names.size());
    qint64 total = 0;
    for (const QString& name : present) {
        const QFileInfo info(QDir(s.collections).filePath(name));
        check(IsCollectionEntryName(name) && info.isFile() && !info.isSymLink());
        check(info.size() < kMaxCollectionEntryBytes);
        total += info.size();
    }
    check(total <= kMaxCollectionPackageBytes);
}

void emptyFolder(const QString& folder) {
    QDir dir(folder);
    dir.removeRecursively();
    check(QDir().mkpath(folder));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Scratch& s = scratch();
    check(s.root.isValid());
    emptyFolder(s.collections);
    QFile package(s.package);
    check(package.open(QIODevice::WriteOnly | QIODevice::Truncate));
    check(package.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
          static_cast<qint64>(size));
    package.close();

    const PackageExtraction result = ExtractCollectionsPackage(s.package, s.collections);
    checkNothingBesideTheFolder(s);
    checkFolderHolds(s, result);
    return 0;
}
