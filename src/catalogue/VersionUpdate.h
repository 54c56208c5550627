#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

class FetchPrimitives;
class VendorServices;
struct RunState;
namespace platform {
class Dialogs;
}

// ---- Pure rules of the version file, the local mark and the package.

inline constexpr auto kProgramVersionName = "Skyglance_7.8.12";
inline constexpr auto kVersionFileName = "currentversion.html";
inline constexpr auto kLocalCollectionMarkName = "LocalCollection.dat";
inline constexpr auto kFirstCollectionSet = "Collection_001";
inline constexpr auto kCollectionsPackageName = "collections.exe";

// Background colours of whoWeAre (0x00BBGGRR): this version is the newest
// (red, green and blue 64 each), or a newer one exists.
inline constexpr uint32_t kWhoWeAreCurrentColour = 0x00404040;
inline constexpr uint32_t kWhoWeAreOutdatedColour = 0x000000FF;

// A version file or a local mark larger than this is not one and is ignored.
inline constexpr qint64 kMaxVersionFileBytes = 64 * 1024;

// The fields of a version file or a local mark: separated by a comma or a line
// break (CR LF, CR or LF), blanks around a field removed, a field in double
// quotes without its quotes. Line breaks at the end start no field.
QStringList VersionFileFields(const QByteArray& bytes);

// What a check decides from the version file's fields and the local mark.
struct VersionCheckResult {
    QString Aggiornare;
    uint32_t whoWeAreColour = kWhoWeAreCurrentColour;
    bool collectionsUpdate = false;
};

// nullopt for a version file with fewer than two non-empty fields: such a
// file decides nothing.
std::optional<VersionCheckResult> EvaluateVersionFile(const QStringList& versionFields,
                                                      const QString& localCollectionSet);

// ---- The collections package: a zip archive, never run.

// Each extracted file is smaller than this.
inline constexpr qint64 kMaxCollectionEntryBytes = 1024 * 1024;
// Bounds on the whole archive, so a hostile one costs little.
inline constexpr qint64 kMaxCollectionEntries = 4096;
inline constexpr qint64 kMaxCollectionPackageBytes = 64 * 1024 * 1024;

// A plain file name (no folder part, no "..", not absolute, no drive, no
// control character, not hidden) ending in ".xml" or ".dat" in any letter
// case; "LocalCollection.dat" is one of them.
bool IsCollectionEntryName(const QString& name);

struct PackageExtraction {
    bool ok = false;   // false: the archive is damaged and nothing changed
    int extracted = 0; // files now in the collections folder
    int skipped = 0;   // entries left out (names, links, sizes, folders)
    QStringList names; // the extracted file names
    QString error;     // why it failed
};

// Extracts the collection files of the archive into collectionsDir: first into
// a temporary folder inside it, then moved over files of the same name, so a
// damaged archive changes nothing.
PackageExtraction ExtractCollectionsPackage(const QString& archivePath,
                                            const QString& collectionsDir);

// The messages of the update, by language.
struct VersionUpdateTexts {
    static QString collectionsUpgraded(int lingua);
};

// The version check at start and panel opening, and the collections update.
class VersionUpdate : public QObject {
    Q_OBJECT
public:
    VersionUpdate(RunState& state, platform::Dialogs& dialogs, FetchPrimitives& fetch,
                  const VendorServices& services, QObject* parent = nullptr);

    // True (-1) while the vendor's collections set differs from the local mark.
    int16_t flagCollectionsUpdate = 0;

    // Fetches the version file and sets Aggiornare, the colour of whoWeAre and
    // flagCollectionsUpdate. A failed fetch, or a file with fewer than two
    // fields, changes nothing but clears flagCollectionsUpdate on the latter.
    void CheckVersion();

    // When flagCollectionsUpdate is set: fetches the collections package, tells
    // the user, and extracts its collection files into the collections folder.
    void UpdateCollections();

    uint32_t whoWeAreColour() const { return whoWeAreColour_; }
    const PackageExtraction& lastExtraction() const { return lastExtraction_; }

    QString versionFilePath() const;
    QString localMarkPath() const;
    QString packagePath() const;

signals:
    // A version file decided the background of the status text whoWeAre
    // (0x00BBGGRR), told at every such check; also kept in whoWeAreColour().
    void whoWeAreColourDecided(uint32_t colour);

private:
    QString localCollectionSet();

    RunState& state_;
    platform::Dialogs& dialogs_;
    FetchPrimitives& fetch_;
    const VendorServices& services_;
    uint32_t whoWeAreColour_ = kWhoWeAreCurrentColour;
    PackageExtraction lastExtraction_;
};
