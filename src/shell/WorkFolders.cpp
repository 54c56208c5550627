#include "shell/WorkFolders.h"

#include "platform/Environment.h"
#include "shell/RunState.h"

#include <QDir>

namespace {

const QString kWorkFolder = QStringLiteral("Skyglance7_Work");
const QString kSlideFolder = QStringLiteral("Skyglance_SlideShow");
const QString kPhpFolder = QStringLiteral("Skyglance_PHP");
const QString kCollectionsFolder = QStringLiteral("Skyglance_Collections");

bool ensureFolder(const QString& folder, QString* failedFolder) {
    // Only the last folder of the path is created; the home must exist.
    QDir dir(folder);
    if (dir.exists()) {
        return true;
    }
    QDir parent = QFileInfo(QDir::cleanPath(QDir::fromNativeSeparators(folder))).dir();
    if (parent.exists() && parent.mkdir(QFileInfo(QDir::fromNativeSeparators(folder)).fileName())) {
        return true;
    }
    if (failedFolder != nullptr) {
        *failedFolder = folder;
    }
    return false;
}

} // namespace

WorkFolderNames formWorkFolderNames(const QString& homeDrive, const QString& homePath,
                                    QChar separator) {
    const QString base = homeDrive + homePath + separator;
    return {base + kWorkFolder, base + kSlideFolder, base + kPhpFolder, base + kCollectionsFolder};
}

bool SetWorkFolders(RunState& state, QString* failedFolder) {
    const platform::HomeDirectory home = platform::findHomeDirectory();
    state.Home_Drive = home.drive;
    state.Home_Path = home.path;
    const WorkFolderNames names =
        formWorkFolderNames(state.Home_Drive, state.Home_Path, QDir::separator());
    state.Skyglance_Work_Dir = names.work;
    if (!ensureFolder(state.Skyglance_Work_Dir, failedFolder)) {
        return false;
    }
    state.Skyglance_PHP_Dir = names.php;
    state.Skyglance_Slide_Dir = names.slide;
    if (!ensureFolder(state.Skyglance_Slide_Dir, failedFolder) ||
        !ensureFolder(state.Skyglance_PHP_Dir, failedFolder)) {
        return false;
    }
    state.Skyglance_Collections_Dir = names.collections;
    if (!ensureFolder(state.Skyglance_Collections_Dir, failedFolder)) {
        return false;
    }
    // The collection file dialogs open in the current directory.
    QDir::setCurrent(state.Skyglance_Collections_Dir);
    return true;
}

void SetDerivedNames(RunState& state) {
    state.WORK_PATH_FILE_LIST = state.Skyglance_Work_Dir.trimmed() + QDir::separator();
    state.imgFileBase =
        state.Skyglance_Work_Dir + QDir::separator() + QStringLiteral("Skyglance7_Img");
}
