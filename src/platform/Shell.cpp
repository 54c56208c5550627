#include "Shell.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace platform {

Shell::Result Shell::openUrl(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid()) {
        return {false, QStringLiteral("invalid address: %1").arg(address)};
    }
    if (QDesktopServices::openUrl(url)) {
        return {true, {}};
    }
    // Platforms without desktop services (offscreen, kiosk sessions) still
    // have the user's browser named in BROWSER, or xdg-open.
    const QString browser = qEnvironmentVariable("BROWSER");
    for (const QString& program : {browser, QStandardPaths::findExecutable("xdg-open")}) {
        if (!program.isEmpty() && QProcess::startDetached(program, {url.toString()})) {
            return {true, {}};
        }
    }
    return {false, QStringLiteral("no program opens %1").arg(address)};
}

Shell::Result Shell::startProgram(const QString& program, const QStringList& arguments,
                                  const QString& workingFolder) {
    if (!QFileInfo(program).isExecutable()) {
        return {false, QStringLiteral("not an executable program: %1").arg(program)};
    }
    if (!QProcess::startDetached(program, arguments, workingFolder)) {
        return {false, QStringLiteral("could not start %1").arg(program)};
    }
    return {true, {}};
}

} // namespace platform
