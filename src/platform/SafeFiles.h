#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace platform {

// Files of the work folders are written and removed without following
// symbolic links: a link planted at a name the program writes would
// otherwise have server-chosen bytes land in whatever it points to.

// A file that takes the place of whatever stands at its name when committed:
// written under a fresh name beside it (created exclusively, never through a
// link), then renamed over the name. A link at the name is replaced itself;
// its target is never touched. Uncommitted, the fresh file goes again and an
// older file of the name stays as it was.
class ReplacingFile {
public:
    explicit ReplacingFile(QString path);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // mode: of the new file, narrowed by the umask (0600 for secrets).
    bool open(int mode = 0666);
    // Open for writing after open() succeeded.
    QFile& device() { return file_; }
    // durable: the bytes reach the disk before the rename.
    bool commit(bool durable = false);
    void cancel();
    QString errorString() const { return error_; }

private:
    QString path_;
    QString temporary_;
    QFile file_;
    QString error_;
};

// bytes as the whole content of path, by way of a ReplacingFile.
bool WriteFileReplacing(const QString& path, const QByteArray& bytes, bool durable = false,
                        int mode = 0666);

// A copy of source (any file Qt reads, resources included) at target, by way
// of a ReplacingFile.
bool CopyFileReplacing(const QString& source, const QString& target, bool durable = false);

// Removes what stands at path: a file or a link is unlinked, a folder is
// emptied of its own entries, subfolders likewise, never descending through a
// link, and then removed. True when nothing stands at path any more.
bool RemoveTree(const QString& path);

// Makes the folder path afresh; false when anything (a link included) already
// stands at that name.
bool MakeFreshFolder(const QString& path);

} // namespace platform
