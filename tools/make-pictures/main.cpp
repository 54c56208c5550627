// make-pictures OUTDIR: draws the program's own pictures into OUTDIR, one
// PNG per control that shows it (the configuration panel's icons and tab
// backgrounds among them), and the GIF placeholder that is copied
// beside the program.
// make-pictures --icons OUTDIR: draws the desktop icon as a hicolor theme
// tree (OUTDIR/hicolor/NxN/apps/skyglance.png); the build runs this one.
#include "artwork.h"
#include "gifwriter.h"
#include "icons.h"
#include "panelart.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>
#include <functional>
#include <vector>

namespace {

struct Picture {
    QString fileName;
    std::function<QImage()> draw;
};

const QSize placeholderSize(640, 480);

std::vector<Picture> pngPictures() {
    using namespace Artwork;
    return {
        {QStringLiteral("ImageLogo.png"), programLogo},
        {QStringLiteral("btSetup.png"), setupButton},
        {QStringLiteral("btWait.png"), waitSign},
        {QStringLiteral("btLogo.png"), logoBar},
        {QStringLiteral("btTermina.png"), exitButton},
        {QStringLiteral("btHelp.png"), helpButton},
        {QStringLiteral("BtAnimation.png"), animationSign},
        {QStringLiteral("ImageConnesso.png"), connectedIcon},
        {QStringLiteral("ImageDisconnesso.png"), disconnectedIcon},
        {QStringLiteral("ErrLoadPicture.png"), resourceNotAvailable},
        {QStringLiteral("MessaggioAggiornate.png"), picturesUpdatedNotice},
    };
}

QTextStream& errors() {
    static QTextStream stream(stderr);
    return stream;
}

bool writePng(const QDir& folder, const Picture& picture) {
    const QString path = folder.filePath(picture.fileName);
    // Compression 9: the files are committed, so smaller is worth the time.
    if (picture.draw().save(path, "PNG", 0))
        return true;
    errors() << "make-pictures: cannot write " << path << Qt::endl;
    return false;
}

bool writePlaceholderGif(const QDir& folder) {
    const QString path = folder.filePath(QStringLiteral("pic_not_available.gif"));
    const QString failure = writeGif(Artwork::pictureNotAvailable(placeholderSize), path);
    if (failure.isEmpty())
        return true;
    errors() << "make-pictures: cannot write " << path << ": " << failure << Qt::endl;
    return false;
}

int writeIcons(const QString& outDir) {
    const QString failure = Icons::writeIconTheme(outDir);
    if (failure.isEmpty())
        return 0;
    errors() << "make-pictures: " << failure << Qt::endl;
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // Drawing needs no screen; the tool runs in builds without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() == 3 && arguments.at(1) == QLatin1String("--icons"))
        return writeIcons(arguments.at(2));
    if (arguments.size() != 2) {
        errors() << "usage: make-pictures OUTDIR | make-pictures --icons OUTDIR" << Qt::endl;
        return 2;
    }
    const QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        errors() << "make-pictures: cannot create " << folder.path() << Qt::endl;
        return 1;
    }
    if (!Artwork::loadFonts()) {
        errors() << "make-pictures: the DejaVu fonts are missing (fonts-dejavu-core)" << Qt::endl;
        return 1;
    }
    bool allWritten = writePlaceholderGif(folder);
    for (const Picture& picture : pngPictures())
        allWritten = writePng(folder, picture) && allWritten;
    for (const PanelArt::Picture& picture : PanelArt::pictures())
        allWritten = writePng(folder, {picture.fileName, picture.draw}) && allWritten;
    return allWritten ? 0 : 1;
}
