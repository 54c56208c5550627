#include "catalogue/VersionUpdate.h"

#include "catalogue/VendorServices.h"
#include "download/FetchPrimitives.h"
#include "platform/Dialogs.h"
#include "platform/SafeFiles.h"
#include "settings/SettingsFormat.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <filesystem>
#include <memory>
#include <zip.h>

namespace {

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return text;
}

std::optional<QByteArray> readBounded(const QString& path, qint64 limit) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit || file.error() != QFileDevice::NoError) {
        return std::nullopt;
    }
    return bytes;
}

bool isLineBreak(QChar c) {
    return c == QLatin1Char('\n') || c == QLatin1Char('\r');
}

// ---- libzip reading.

struct ArchiveDiscard {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveDiscard>;

struct EntryClose {
    void operator()(zip_file_t* entry) const { zip_fclose(entry); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryClose>;

// The file type in the upper half of a Unix archiver's attributes.
constexpr zip_uint32_t kUnixTypeMask = 0170000;
constexpr zip_uint32_t kUnixRegularFile = 0100000;

// Links, devices and folders recorded by Unix archivers are never files.
bool isSpecialUnixEntry(zip_t* archive, zip_uint64_t index) {
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive, index, 0, &system, &attributes) != 0) {
        return true;
    }
    if (system != ZIP_OPSYS_UNIX) {
        return false;
    }
    const zip_uint32_t type = (attributes >> 16) & kUnixTypeMask;
    return type != 0 && type != kUnixRegularFile;
}

enum class EntryVerdict { Extract, Skip };

EntryVerdict judgeEntry(zip_t* archive, zip_uint64_t index, const zip_stat_t& stat,
                        qint64 bytesSoFar) {
    const QString name = QString::fromUtf8(stat.name);
    const bool knownSize = (stat.valid & ZIP_STAT_SIZE) != 0;
    const bool encrypted =
        (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE;
    if (!IsCollectionEntryName(name) || isSpecialUnixEntry(archive, index) || encrypted ||
        !knownSize || stat.size >= static_cast<zip_uint64_t>(kMaxCollectionEntryBytes) ||
        bytesSoFar + static_cast<qint64>(stat.size) > kMaxCollectionPackageBytes) {
        return EntryVerdict::Skip;
    }
    return EntryVerdict::Extract;
}

// The entry's bytes, never more than the bound whatever its header claims;
// nullopt when it cannot be read whole (bad data, wrong checksum, too long).
std::optional<QByteArray> readEntry(zip_t* archive, zip_uint64_t index) {
    EntryPtr entry(zip_fopen_index(archive, index, 0));
    if (!entry) {
        return std::nullopt;
    }
    QByteArray bytes;
    char buffer[16384];
    zip_int64_t n = 0;
    while ((n = zip_fread(entry.get(), buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<qsizetype>(n));
        if (bytes.size() >= kMaxCollectionEntryBytes) {
            return std::nullopt;
        }
    }
    if (n < 0) {
        return std::nullopt;
    }
    return bytes;
}

// Never through a link planted at the name.
bool writeWhole(const QString& path, const QByteArray& bytes) {
    return platform::WriteFileReplacing(path, bytes);
}

PackageExtraction failed(const QString& why) {
    PackageExtraction result;
    result.error = why;
    return result;
}

// Extracts the wanted entries into folder; the result says which.
PackageExtraction extractInto(zip_t* archive, const QString& folder) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || count > kMaxCollectionEntries) {
        return failed(QStringLiteral("too many entries"));
    }
    PackageExtraction result;
    QSet<QString> names;
    qint64 bytesSoFar = 0;
    for (zip_uint64_t index = 0; index < static_cast<zip_uint64_t>(count); ++index) {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(archive, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_NAME) == 0) {
            return failed(QStringLiteral("unreadable entry %1").arg(index));
        }
        if (judgeEntry(archive, index, stat, bytesSoFar) == EntryVerdict::Skip) {
            ++result.skipped;
            continue;
        }
        const QString name = QString::fromUtf8(stat.name);
        const std::optional<QByteArray> bytes = readEntry(archive, index);
        if (!bytes) {
            return failed(QStringLiteral("damaged entry %1").arg(name));
        }
        if (!writeWhole(QDir(folder).filePath(name), *bytes)) {
            return failed(QStringLiteral("cannot write %1").arg(name));
        }
        bytesSoFar += bytes->size();
        names.insert(name);
    }
    result.ok = true;
    result.names = QStringList(names.begin(), names.end());
    result.names.sort();
    result.extracted = static_cast<int>(result.names.size());
    return result;
}

bool moveInto(const QString& from, const QString& to, const QStringList& names, QString* why) {
    for (const QString& name : names) {
        std::error_code error;
        // rename replaces a file of the same name in one step.
        std::filesystem::rename(QDir(from).filePath(name).toStdString(),
                                QDir(to).filePath(name).toStdString(), error);
        if (error) {
            *why = QStringLiteral("cannot move %1: %2")
                       .arg(name, QString::fromStdString(error.message()));
            return false;
        }
    }
    return true;
}

// The first two fields name the program version and the collections set.
bool namesVersionAndSet(const QStringList& fields) {
    return fields.size() >= 2 && !fields.at(0).isEmpty() && !fields.at(1).isEmpty();
}

} // namespace

QStringList VersionFileFields(const QByteArray& bytes) {
    QString text = decodeText(bytes);
    while (!text.isEmpty() && isLineBreak(text.back())) {
        text.chop(1);
    }
    if (text.trimmed().isEmpty()) {
        return {};
    }
    QStringList fields;
    QString current;
    bool inQuotes = false;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                inQuotes = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(',') || isLineBreak(c)) {
            fields.append(quoted ? current : current.trimmed());
            current.clear();
            quoted = false;
            if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == '\n') {
                ++i;
            }
        } else if (c == QLatin1Char('"') && !quoted && current.trimmed().isEmpty()) {
            current.clear();
            inQuotes = true;
            quoted = true;
        } else if (!quoted) {
            // Anything between a closing quote and the separator is not part
            // of the value.
            current += c;
        }
    }
    fields.append(quoted ? current : current.trimmed());
    return fields;
}

std::optional<VersionCheckResult> EvaluateVersionFile(const QStringList& versionFields,
                                                      const QString& localCollectionSet) {
    if (!namesVersionAndSet(versionFields)) {
        return std::nullopt;
    }
    VersionCheckResult result;
    const QString& newest = versionFields.at(0);
    if (newest == QLatin1String(kProgramVersionName)) {
        result.Aggiornare = QStringLiteral(" ");
        result.whoWeAreColour = kWhoWeAreCurrentColour;
    } else {
        result.Aggiornare = QStringLiteral("\r\n") + newest + QStringLiteral(" AVAILABLE");
        result.whoWeAreColour = kWhoWeAreOutdatedColour;
    }
    result.collectionsUpdate = localCollectionSet != versionFields.at(1);
    if (result.collectionsUpdate) {
        result.Aggiornare += QStringLiteral(" - COLLECTIONS AVAILABLE");
    }
    return result;
}

bool IsCollectionEntryName(const QString& name) {
    constexpr qsizetype kMaxNameLength = 200;
    if (name.isEmpty() || name.size() > kMaxNameLength || name.startsWith(QLatin1Char('.'))) {
        return false;
    }
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c == QChar(0x7F) || c == QLatin1Char('/') ||
            c == QLatin1Char('\\') || c == QLatin1Char(':')) {
            return false;
        }
    }
    return name.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive) ||
           name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive);
}

PackageExtraction ExtractCollectionsPackage(const QString& archivePath,
                                            const QString& collectionsDir) {
    int openError = 0;
    ArchivePtr archive(zip_open(QFile::encodeName(archivePath).constData(),
                                ZIP_RDONLY | ZIP_CHECKCONS, &openError));
    if (!archive) {
        return failed(
            QStringLiteral("not a readable zip archive (libzip error %1)").arg(openError));
    }
    // Inside the collections folder, so the final move is a rename on the same
    // file system.
    QTemporaryDir staging(QDir(collectionsDir).filePath(QStringLiteral(".package-XXXXXX")));
    if (!staging.isValid()) {
        return failed(QStringLiteral("cannot create a staging folder in %1").arg(collectionsDir));
    }
    PackageExtraction result = extractInto(archive.get(), staging.path());
    if (result.ok && !moveInto(staging.path(), collectionsDir, result.names, &result.error)) {
        result.ok = false;
    }
    return result;
}

QString VersionUpdateTexts::collectionsUpgraded(int lingua) {
    return Translations::in(lingua).translate(
        "VersionUpdateTexts", "Collections Upgraded - Automatic collections-files extraction");
}

VersionUpdate::VersionUpdate(RunState& state, platform::Dialogs& dialogs, FetchPrimitives& fetch,
                             const VendorServices& services, QObject* parent)
    : QObject(parent), state_(state), dialogs_(dialogs), fetch_(fetch), services_(services) {}

QString VersionUpdate::versionFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kVersionFileName);
}

QString VersionUpdate::localMarkPath() const {
    return state_.Skyglance_Collections_Dir + QDir::separator() +
           QLatin1String(kLocalCollectionMarkName);
}

QString VersionUpdate::packagePath() const {
    return state_.Skyglance_Collections_Dir + QDir::separator() +
           QLatin1String(kCollectionsPackageName);
}

QString VersionUpdate::localCollectionSet() {
    if (!QFileInfo::exists(localMarkPath())) {
        writeFileAtomically(localMarkPath(), QByteArray(kFirstCollectionSet));
    }
    const std::optional<QByteArray> bytes = readBounded(localMarkPath(), kMaxVersionFileBytes);
    return bytes ? VersionFileFields(*bytes).value(0) : QString();
}

void VersionUpdate::CheckVersion() {
    if (!fetch_.DownloadFile(services_.versionFileAddress(state_.cmdParams), versionFilePath(),
                             QStringLiteral(".html"))) {
        return;
    }
    const std::optional<QByteArray> bytes = readBounded(versionFilePath(), kMaxVersionFileBytes);
    const QStringList fields = bytes ? VersionFileFields(*bytes) : QStringList();
    if (!namesVersionAndSet(fields)) {
        // Not a version file: no notice, and no package on its word.
        flagCollectionsUpdate = kFalse;
        return;
    }
    const std::optional<VersionCheckResult> result =
        EvaluateVersionFile(fields, localCollectionSet());
    state_.Aggiornare = result->Aggiornare;
    whoWeAreColour_ = result->whoWeAreColour;
    emit whoWeAreColourDecided(whoWeAreColour_);
    flagCollectionsUpdate = result->collectionsUpdate ? kTrue : kFalse;
}

void VersionUpdate::UpdateCollections() {
    if (flagCollectionsUpdate == kFalse) {
        return;
    }
    if (!fetch_.DownloadFile(services_.collectionsAddress(state_.cmdParams), packagePath(),
                             QStringLiteral(".exe"))) {
        return;
    }
    dialogs_.message(VersionUpdateTexts::collectionsUpgraded(state_.Lingua), QString());
    // The package is an archive of collection files, never a program to run.
    lastExtraction_ = ExtractCollectionsPackage(packagePath(), state_.Skyglance_Collections_Dir);
    QFile::remove(packagePath());
}
