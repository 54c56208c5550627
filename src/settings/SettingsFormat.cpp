#include "settings/SettingsFormat.h"

#include "platform/SafeFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

void appendLine(QByteArray& out, const QString& line) {
    out += line.toUtf8();
    out += kLineEnd;
}

} // namespace

QString displayModeWord(const QString& txtDisplayText) {
    return txtDisplayText == QLatin1String("Full_Screen") ? QStringLiteral("Full_Screen")
                                                          : QStringLiteral("Normal");
}

QByteArray formatSettingsFile(const SettingsValues& values) {
    QByteArray out;
    appendLine(out, values.downloadInterval);
    appendLine(out, values.slideInterval);
    appendLine(out, displayModeWord(values.displayMode));
    if (!values.ownPicturePath.isEmpty()) {
        appendLine(out, values.ownPicturePath);
    }
    out += kLineEnd;
    out += kLineEnd;
    return out;
}

QByteArray formatSelectionFile(const QList<SelectionEntry>& entries) {
    QByteArray out;
    for (const SelectionEntry& entry : entries) {
        appendLine(out, QString::number(entry.row));
        appendLine(out, QString::number(entry.pictureId));
    }
    out += kLineEnd;
    out += kLineEnd;
    return out;
}

QList<SelectionEntry> firstRunSelection() {
    return {{0, 1}, {1, 2}, {2, 3}, {3, 4}};
}

QStringList splitIntoLines(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        text = QString::fromLatin1(bytes);
    }
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) {
            end = text.size();
        }
        QString line = text.mid(start, end - start);
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
        lines.append(line.trimmed());
        start = end + 1;
    }
    return lines;
}

QList<SelectionEntry> selectionEntries(const QStringList& lines) {
    QList<SelectionEntry> entries;
    for (qsizetype i = 0; i < lines.size(); i += 2) {
        const QString& rowLine = lines.at(i);
        if (rowLine.isEmpty()) {
            break;
        }
        bool ok = false;
        const int row = rowLine.toInt(&ok);
        if (!ok) {
            continue;
        }
        SelectionEntry entry;
        entry.row = row;
        entry.pictureId = i + 1 < lines.size() ? lines.at(i + 1).toShort() : int16_t(0);
        entries.append(entry);
    }
    return entries;
}

QList<int> selectionRows(const QStringList& lines) {
    QList<int> rows;
    for (const SelectionEntry& entry : selectionEntries(lines)) {
        rows.append(entry.row);
    }
    return rows;
}

std::optional<double> readNumber(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return std::nullopt;
    }
    bool ok = false;
    double value = locale.toDouble(trimmed, &ok);
    if (!ok) {
        value = QLocale::c().toDouble(trimmed, &ok);
    }
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<QByteArray> readSmallFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    if (file.size() > kMaxSettingsFileBytes) {
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxSettingsFileBytes + 1);
    if (bytes.size() > kMaxSettingsFileBytes || file.error() != QFile::NoError) {
        return std::nullopt;
    }
    return bytes;
}

Unreadable whyUnreadable(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return Unreadable::None;
    }
    if (info.isDir()) {
        return Unreadable::Folder;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.error() == QFile::PermissionsError ? Unreadable::NotPermitted
                                                       : Unreadable::ReadError;
    }
    if (file.size() > kMaxSettingsFileBytes) {
        return Unreadable::TooLarge;
    }
    return readSmallFile(path) ? Unreadable::None : Unreadable::ReadError;
}

// A link planted at a settings file's name is replaced, never written through.
bool writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return platform::WriteFileReplacing(path, bytes, true);
}
