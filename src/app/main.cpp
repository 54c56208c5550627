#include "platform/Dialogs.h"
#include "shell/FormPicture.h"
#include "shell/CommandLine.h"
#include "shell/WorkFolders.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Skyglance"));
    // The program ends by its own quit paths, not when a message box closes
    // after the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    FormPicture::Options options;
    options.commandLine = commandLineText(QCoreApplication::arguments());
    FormPicture form(options);
    QObject::connect(&form, &FormPicture::programEnded, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    form.showFullScreen();
    if (!form.Form_Load()) {
        return 1;
    }
    if (qEnvironmentVariableIsSet("SKYGLANCE_REPORT_STARTUP")) {
        QTimer::singleShot(0, &form, [&sinceStart] {
            std::fprintf(stderr, "window shown after %lld ms\n",
                         static_cast<long long>(sinceStart.elapsed()));
        });
    }
    return QApplication::exec();
}
