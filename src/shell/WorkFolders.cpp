#include "shell/WorkFolders.h"

#include "platform/Environment.h"
#include "state/RunState.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kWorkFolder = QStringLiteral("Skyglance7_Work");
const QString kSlideFolder = QStringLiteral("Skyglance_SlideShow");
const QString kPhpFolder = QStringLiteral("Skyglance_PHP");
const QString kCollectionsFolder = QStringLiteral("Skyglance_Collections");
const QString kLockFile = QStringLiteral("Skyglance7.lock");
// Enough for any process number and its line end; the rest is not read.
constexpr int kLockFileReadLimit = 32;

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

// The process number at the start of an open lock file, 0 when none.
long long processNamedIn(int fd) {
    char text[kLockFileReadLimit + 1] = {};
    const ssize_t got = ::pread(fd, text, kLockFileReadLimit, 0);
    if (got <= 0) {
        return 0;
    }
    bool ok = false;
    const long long pid = QByteArray(text, static_cast<int>(got)).trimmed().toLongLong(&ok);
    return ok && pid > 0 ? pid : 0;
}

void writeOwnProcess(int fd) {
    const QByteArray line = QByteArray::number(static_cast<long long>(::getpid())) + '\n';
    // Only a note for the next one that finds the folder taken: the lock is
    // the flock, so a failed write changes nothing.
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, line.constData(), line.size(), 0);
    }
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

QString WorkFolderOfThisHome() {
    const platform::HomeDirectory home = platform::findHomeDirectory();
    return formWorkFolderNames(home.drive, home.path, QDir::separator()).work;
}

WorkFolderLock::~WorkFolderLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

WorkFolderLock::Outcome WorkFolderLock::acquire(const QString& workFolder) {
    if (!ensureFolder(workFolder, nullptr)) {
        return Outcome::Unlockable;
    }
    const QByteArray path = QFile::encodeName(QDir(workFolder).filePath(kLockFile));
    // Close-on-exec: the browser engine's helper processes must not inherit
    // the lock and keep it after the program has gone. A link planted at the
    // lock's name is removed, never written through.
    constexpr int kFlags = O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(path.constData(), kFlags, 0644);
    if (fd < 0 && errno == ELOOP && ::unlink(path.constData()) == 0) {
        fd = ::open(path.constData(), kFlags, 0644);
    }
    if (fd < 0) {
        return Outcome::Unlockable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        holder_ = taken ? processNamedIn(fd) : 0;
        ::close(fd);
        return taken ? Outcome::InUse : Outcome::Unlockable;
    }
    writeOwnProcess(fd);
    fd_ = fd;
    return Outcome::Held;
}
