#include "platform/SafeFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kCreateAttempts = 100;
// Work folders are flat; anything deeper than this is not ours to remove.
constexpr int kMostFolderDepth = 16;
constexpr qint64 kCopyChunk = 64 * 1024;

QString lastSystemError() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A name beside path that nobody uses: hidden, and ending in ".part" so that
// no pattern of the program's own files takes it for one of them.
QString freshNameBeside(const QString& path) {
    const QFileInfo info(path);
    const QString suffix = QString::number(QRandomGenerator::global()->generate64(), 36);
    return info.dir().filePath(QLatin1Char('.') + info.fileName() + QLatin1Char('.') + suffix +
                               QStringLiteral(".part"));
}

bool isFolderWithoutFollowing(int folderFd, const char* name) {
    struct stat status {};
    return ::fstatat(folderFd, name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(status.st_mode);
}

QList<QByteArray> entryNames(int folderFd) {
    QList<QByteArray> names;
    const int listFd = ::dup(folderFd);
    if (listFd < 0) {
        return names;
    }
    DIR* folder = ::fdopendir(listFd);
    if (folder == nullptr) {
        ::close(listFd);
        return names;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..") {
            names.append(name);
        }
    }
    ::closedir(folder);
    return names;
}

bool removeEntriesOf(int folderFd, int depth);

bool removeEntry(int folderFd, const QByteArray& name, int depth) {
    if (!isFolderWithoutFollowing(folderFd, name.constData())) {
        return ::unlinkat(folderFd, name.constData(), 0) == 0 || errno == ENOENT;
    }
    if (depth >= kMostFolderDepth) {
        return false;
    }
    // O_NOFOLLOW: a folder swapped for a link meanwhile is not opened.
    const int sub =
        ::openat(folderFd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) {
        return false;
    }
    const bool emptied = removeEntriesOf(sub, depth + 1);
    ::close(sub);
    return emptied && ::unlinkat(folderFd, name.constData(), AT_REMOVEDIR) == 0;
}

bool removeEntriesOf(int folderFd, int depth) {
    bool all = true;
    for (const QByteArray& name : entryNames(folderFd)) {
        all = removeEntry(folderFd, name, depth) && all;
    }
    return all;
}

} // namespace

ReplacingFile::ReplacingFile(QString path) : path_(std::move(path)) {}

ReplacingFile::~ReplacingFile() {
    cancel();
}

bool ReplacingFile::open(int mode) {
    cancel();
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        const QString candidate = freshNameBeside(path_);
        // O_EXCL refuses any name that exists, a link included; the mode is
        // narrowed by the umask as for any new file.
        const int fd =
            ::open(QFile::encodeName(candidate).constData(),
                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
        if (fd < 0 && errno == EEXIST) {
            continue;
        }
        if (fd < 0) {
            error_ = lastSystemError();
            return false;
        }
        temporary_ = candidate;
        if (!file_.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
            ::close(fd);
            error_ = file_.errorString();
            cancel();
            return false;
        }
        return true;
    }
    error_ = QStringLiteral("no free name beside %1").arg(path_);
    return false;
}

bool ReplacingFile::commit(bool durable) {
    if (temporary_.isEmpty() || !file_.isOpen()) {
        return false;
    }
    bool written = file_.flush() && file_.error() == QFileDevice::NoError;
    if (written && durable && ::fsync(file_.handle()) != 0) {
        written = false;
    }
    if (!written) {
        error_ = file_.errorString();
        cancel();
        return false;
    }
    file_.close();
    // rename() works on the entry itself: a link at the name is replaced.
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(path_).constData()) !=
        0) {
        error_ = lastSystemError();
        cancel();
        return false;
    }
    temporary_.clear();
    return true;
}

void ReplacingFile::cancel() {
    if (file_.isOpen()) {
        file_.close();
    }
    if (!temporary_.isEmpty()) {
        ::unlink(QFile::encodeName(temporary_).constData());
        temporary_.clear();
    }
}

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, bool durable, int mode) {
    ReplacingFile file(path);
    return file.open(mode) && file.device().write(bytes) == bytes.size() && file.commit(durable);
}

bool CopyFileReplacing(const QString& source, const QString& target, bool durable) {
    QFile from(source);
    if (!from.open(QIODevice::ReadOnly)) {
        return false;
    }
    ReplacingFile to(target);
    if (!to.open()) {
        return false;
    }
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(kCopyChunk);
        if (chunk.isEmpty() || to.device().write(chunk) != chunk.size()) {
            return false;
        }
    }
    return to.commit(durable);
}

bool RemoveTree(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISDIR(status.st_mode)) {
        return ::unlink(name.constData()) == 0 || errno == ENOENT;
    }
    const int folder = ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folder < 0) {
        return false;
    }
    const bool emptied = removeEntriesOf(folder, 0);
    ::close(folder);
    return emptied && ::rmdir(name.constData()) == 0;
}

bool MakeFreshFolder(const QString& path) {
    return ::mkdir(QFile::encodeName(path).constData(), 0777) == 0;
}

} // namespace platform
