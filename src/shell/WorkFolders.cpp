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

template <std::size_t N>
void SplitFields(const QString& text, std::array<QString, N + 1>& result,
                 const std::function<void()>& tooManyFields) {
    // The extra entry (index n) is cleared too, so it never carries text
    // left over from an earlier line.
    for (QString& entry : result) {
        entry.clear();
    }
    std::size_t field = 0;
    for (const QChar ch : text) {
        if (ch != QLatin1Char('-')) {
            // Text behind the (n+1)-th "-" has no entry to go to.
            if (field <= N) {
                result[field].append(ch);
            }
            continue;
        }
        ++field;
        if (field > N - 1) {
            tooManyFields();
        }
    }
}

template void SplitFields<10>(const QString&, std::array<QString, 11>&,
                              const std::function<void()>&);
template void SplitFields<5>(const QString&, std::array<QString, 6>&, const std::function<void()>&);

QString tooManyParametersMessage() {
    return QStringLiteral("Errore. troppi parametri nella linea di comando file EXE");
}

void Splitta10(RunState& state, const QString& commandLine,
               const std::function<void(const QString&)>& showMessage) {
    SplitFields<10>(commandLine, state.cmdParams, [&] { showMessage(tooManyParametersMessage()); });
}

void Splitta5(RunState& state, const QString& toSplit,
              const std::function<void(const QString&)>& showMessage) {
    SplitFields<5>(toSplit, state.copyrightFields,
                   [&] { showMessage(tooManyParametersMessage()); });
}

bool ApplyCommandLineOptions(RunState& state) {
    bool localhost = false;
    for (int i = 0; i <= 9; ++i) {
        const QString& param = state.cmdParams[static_cast<std::size_t>(i)];
        if (param == QLatin1String("DEBUG_CODE")) {
            state.flagDebugCode = 1;
        } else if (param == QLatin1String("LOCALHOST")) {
            localhost = true;
        } else if (param == QLatin1String("NOSILENT")) {
            state.flagSilent = 0;
        }
    }
    return localhost;
}

QString commandLineText(const QStringList& arguments) {
    return arguments.mid(1).join(QLatin1Char(' '));
}
