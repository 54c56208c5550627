// The show on a Wayland screen: Debian's weston compositor, headless, the
// real program through Qt's Wayland support and the real catalogue service.
// What the screen shows is read from the compositor itself.
#include "CatalogueServiceLauncher.h"
#include "DemoHome.h"
#include "FileHelpers.h"
#include "ProgramHarness.h"
#include "app/ShowAssembly.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "platform/Widgets.h"
#include "run/Supervisor.h"
#include "shell/FormPicture.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <csignal>
#include <sys/types.h>

namespace {

const QString kSocket = QStringLiteral("skyglance-test");

// weston on a 1920 x 1080 output that draws in memory, in a runtime folder
// of its own; its screenshots need its debug extension. Started before the
// test's own application, whose windows go there as well.
class Weston {
public:
    ~Weston() {
        if (pid_ > 0) {
            ::kill(static_cast<pid_t>(pid_), SIGTERM);
        }
    }

    static bool installed() {
        return !QStandardPaths::findExecutable(QStringLiteral("weston")).isEmpty() &&
               !QStandardPaths::findExecutable(QStringLiteral("weston-screenshooter")).isEmpty();
    }

    bool start() {
        QFile::setPermissions(runtime(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcess process;
        process.setProcessEnvironment(environment());
        process.setStandardOutputFile(runtime() + "/weston.log");
        process.setStandardErrorFile(runtime() + "/weston.log");
        process.setProgram(QStringLiteral("weston"));
        process.setArguments({QStringLiteral("--backend=headless-backend.so"),
                              QStringLiteral("--use-pixman"), QStringLiteral("--debug"),
                              QStringLiteral("--socket=") + kSocket, QStringLiteral("--width=1920"),
                              QStringLiteral("--height=1080"), QStringLiteral("--idle-time=0")});
        if (!process.startDetached(&pid_)) {
            return false;
        }
        for (int i = 0; i < 300 && !QFile::exists(runtime() + "/" + kSocket); ++i) {
            QThread::msleep(50);
        }
        return QFile::exists(runtime() + "/" + kSocket);
    }

    QString runtime() const { return dir_.path(); }

    // The whole output as the compositor last drew it.
    QImage screenshot() const {
        QTemporaryDir folder;
        QProcess shooter;
        shooter.setProcessEnvironment(environment());
        shooter.setWorkingDirectory(folder.path());
        shooter.start(QStringLiteral("weston-screenshooter"), {});
        shooter.waitForFinished(15000);
        const QStringList shots = QDir(folder.path()).entryList({QStringLiteral("*.png")});
        return shots.isEmpty() ? QImage() : QImage(folder.filePath(shots.first()));
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.insert(QStringLiteral("WAYLAND_DISPLAY"), kSocket);
        return env;
    }

private:
    QTemporaryDir dir_;
    qint64 pid_ = 0;
};

// The program on weston's screen, against the service at `site`.
void runOnWeston(ProgramHarness& program, const QString& home, const Weston& weston,
                 const QString& site) {
    program.setHome(home);
    program.setEnv("QT_QPA_PLATFORM", "wayland");
    program.setEnv("XDG_RUNTIME_DIR", weston.runtime());
    program.setEnv("WAYLAND_DISPLAY", kSocket);
    program.setEnv("SKYGLANCE_SITE", site);
    program.setEnv("BROWSER", "/bin/true"); // the sponsor page at the end
}

// The share of pixels in `area` of `image` that are light grey to white: the
// frames of the diagnostics, where the show is black.
double lightShare(const QImage& image, const QRect& area) {
    int light = 0;
    int all = 0;
    for (int y = area.top(); y <= area.bottom(); y += 4) {
        for (int x = area.left(); x <= area.right(); x += 4) {
            const QColor c = image.pixelColor(x, y);
            light += c.red() > 200 && c.green() > 200 && c.blue() > 200 ? 1 : 0;
            ++all;
        }
    }
    return all == 0 ? 0.0 : double(light) / all;
}

// The share of pixels in `area` that `a` and `b` have alike.
double sameShare(const QImage& a, const QImage& b, const QRect& area) {
    int same = 0;
    int all = 0;
    for (int y = area.top(); y <= area.bottom(); y += 2) {
        for (int x = area.left(); x <= area.right(); x += 2) {
            same += a.pixelColor(x, y).rgb() == b.pixelColor(x, y).rgb() ? 1 : 0;
            ++all;
        }
    }
    return all == 0 ? 0.0 : double(same) / all;
}

// How many colours `area` of `image` holds: a weather picture has hundreds,
// a logo or an empty screen a few.
int colours(const QImage& image, const QRect& area) {
    QSet<QRgb> seen;
    for (int y = area.top(); y <= area.bottom(); y += 3) {
        for (int x = area.left(); x <= area.right(); x += 3) {
            seen.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

// The processes whose parent is `pid`: the browser engine's among them.
QList<qint64> childrenOf(qint64 pid) {
    QList<qint64> children;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile status(QStringLiteral("/proc/%1/status").arg(entry));
        if (!status.open(QIODevice::ReadOnly)) {
            continue;
        }
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("PPid:") && line.mid(5).trimmed().toLongLong() == pid) {
                children << entry.toLongLong();
            }
        }
    }
    return children;
}

} // namespace

class TestWayland : public QObject {
    Q_OBJECT
public:
    explicit TestWayland(const Weston* weston) : weston_(weston) {}

private slots:
    void init();
    void showAndItsDiagnosticsAreOnScreenAndTermEndsIt();
    void panelOpensOverTheShowAndQuitsFromThere();

private:
    const Weston* weston_;
};

void TestWayland::init() {
    if (!Weston::installed()) {
        QSKIP("weston is not installed (scripts/install-deps.sh installs it)");
    }
    QVERIFY2(weston_ != nullptr, "weston did not start");
}

void TestWayland::showAndItsDiagnosticsAreOnScreenAndTermEndsIt() {
    const Weston& weston = *weston_;
    CatalogueServiceLauncher service;
    QVERIFY2(service.start(), qPrintable(service.why()));
    QTemporaryDir home;
    QTemporaryDir snapshots;
    // Two maps, a radar loop and a forecast page, captured while the show runs.
    seedDemoHome(home.path(), {"0", "1", "1", "2", "2", "3", "4", "5"});

    ProgramHarness program;
    runOnWeston(program, home.path(), weston, service.site);
    program.setEnv("SKYGLANCE_TIME_SCALE", "0.1");
    program.setEnv("SKYGLANCE_SNAPSHOT", snapshots.path());
    program.setEnv("SKYGLANCE_PRINT_SLIDES", "1");
    program.start({QStringLiteral("-DEBUG_CODE")});

    // Every slide of the selection, the page among them, and the first map
    // again.
    QTRY_VERIFY2_WITH_TIMEOUT(program.out().count("slide 0 kind") >= 2, program.err().constData(),
                              120000);
    QVERIFY(program.out().contains("slide 3 kind"));
    // On the compositor's own screen, while the maps and the loop play: the
    // full-screen show, and the diagnostics in front of it across the top,
    // where the show has its black margin.
    const QImage screen = weston.screenshot();
    QCOMPARE(screen.size(), QSize(1920, 1080));
    const QRect picture(400, 560, 1100, 380); // below the diagnostics, above the bar
    QVERIFY2(colours(screen, picture) > 100, "the screen shows no picture");
    QVERIFY2(lightShare(screen, QRect(0, 0, 260, 480)) > 0.5,
             "the diagnostics are not on the screen");
    // Still full screen after the page capture: the screen's top rows are
    // the window's, not a title bar's.
    const QImage latest(snapshots.filePath("latest.png"));
    QVERIFY2(sameShare(screen, latest, QRect(0, 0, 640, 24)) > 0.9, "the show left full screen");
    const QImage snapshot(snapshots.filePath("slide-000001.png")); // the first map
    QCOMPARE(snapshot.size(), QSize(1920, 1080));
    QVERIFY2(colours(snapshot, picture) > 100, "the slide has no picture in it");

    // Ended as a service manager ends it, the program takes the browser
    // engine's processes with it and says nothing about Wayland on the way.
    const QList<qint64> helpers = childrenOf(program.process().processId());
    program.process().terminate();
    QVERIFY(program.waitForEnd(10000));
    QTRY_VERIFY_WITH_TIMEOUT(
        std::none_of(helpers.begin(), helpers.end(),
                     [](qint64 pid) { return QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }),
        10000);
    QVERIFY2(!program.err().contains("wayland") && !program.err().contains("Wayland"),
             program.err().constData());

    // Started again on the same home (the work folder free again), with a
    // selection the service refuses: the program's own quit, in order.
    QStringList tooMany;
    for (int i = 0; i <= 2000; ++i) {
        tooMany << "0"
                << "1";
    }
    seedDemoHome(home.path(), tooMany);
    ProgramHarness again;
    runOnWeston(again, home.path(), weston, service.site);
    again.start({QStringLiteral("-DEBUG_CODE")});
    QVERIFY2(again.endsCleanly(60000), again.err().constData());
    QVERIFY(again.err().contains("catalogue request refused"));
    QVERIFY2(!again.err().contains("wayland") && !again.err().contains("Wayland"),
             again.err().constData());
}

// Whether `part` is drawn somewhere in `screen`: where the compositor puts a
// window of its own is for the compositor to say.
bool contains(const QImage& screenImage, const QImage& partImage) {
    const QImage screen = screenImage.convertToFormat(QImage::Format_RGB32);
    const QImage part = partImage.convertToFormat(QImage::Format_RGB32);
    const QPoint middle(part.width() / 2, part.height() / 2);
    for (int y = 0; y + part.height() <= screen.height(); ++y) {
        for (int x = 0; x + part.width() <= screen.width(); ++x) {
            if (screen.pixel(x, y) == part.pixel(0, 0) &&
                screen.pixel(QPoint(x, y) + middle) == part.pixel(middle) &&
                sameShare(screen.copy(QRect(QPoint(x, y), part.size())), part, part.rect()) > 0.9) {
                return true;
            }
        }
    }
    return false;
}

// The person at the screen answering the program's next message box once the
// compositor shows it as the program drew it (or after a few seconds): a box
// waits in an event loop of its own, so it is looked for from a timer.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(const Weston& weston) : weston_(weston) {
        connect(&look_, &QTimer::timeout, this, &BoxAnswerer::look);
        look_.start(100);
    }
    bool answered = false;
    bool onScreen = false;

private:
    void look() {
        QMessageBox* box = nullptr;
        for (QWidget* widget : QApplication::allWidgets()) {
            if (auto* b = qobject_cast<QMessageBox*>(widget); b != nullptr && b->isVisible()) {
                box = b;
            }
        }
        if (box == nullptr) {
            return;
        }
        // A window of its own may take the compositor a moment to show.
        onScreen = contains(weston_.screenshot(), box->grab().toImage());
        if (onScreen || ++tries_ > 30) {
            look_.stop();
            QTest::mouseClick(box->buttons().constFirst(), Qt::LeftButton);
            answered = true;
        }
    }

    const Weston& weston_;
    QTimer look_;
    int tries_ = 0;
};

// The person at the screen opens the panel from the show, answers the
// program's boxes and ends the program from the panel, the show built as the
// program builds it, with its own message boxes, on weston.
void TestWayland::panelOpensOverTheShowAndQuitsFromThere() {
    CatalogueServiceLauncher service;
    QVERIFY2(service.start(), qPrintable(service.why()));
    TemporaryHome home;
    seedDemoHome(home.path(), {"0", "1", "1", "2"});
    qputenv("SKYGLANCE_SITE", service.site.toUtf8());
    platform::setTimeScale(0.1);
    const std::unique_ptr<FormPicture> form = ShowAssembly::build({});
    QSignalSpy shown(form.get(), &FormPicture::slideShown);
    QSignalSpy ended(form.get(), &FormPicture::programEnded);
    form->showFullScreen();
    QVERIFY(form->Form_Load());
    form->state.appPath = ProgramHarness::folder();
    QTRY_VERIFY_WITH_TIMEOUT(shown.size() >= 1, 60000);

    // Opening the panel brings the collections up to date, and says so.
    BoxAnswerer told(*weston_);
    QTest::mouseClick(form->statusBar().btSetup, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(told.answered, 30000);
    QVERIFY2(told.onScreen, "the box is not on the screen");
    QTRY_COMPARE_WITH_TIMEOUT(form->supervisor().pending(), Command::PanelShown, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(form->panel().SSTCfg_cmdConferma->isEnabled(), 10000);
    // The compositor shows the panel as the program drew it.
    QTest::qWait(500);
    const QRect panel = form->panel().SSTCfg->geometry();
    const QImage drawn = form->grab().toImage();
    const QImage onScreen = weston_->screenshot();
    QCOMPARE(onScreen.size(), drawn.size());
    QVERIFY2(sameShare(drawn, onScreen, panel) > 0.9, "the panel is not on the screen");

    BoxAnswerer farewell(*weston_);
    QTest::mouseClick(form->panel().SSTCfg_ExitProgram, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(farewell.answered, 30000);
    QVERIFY2(farewell.onScreen, "the end message is not on the screen");
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
    QVERIFY(!form->isVisible());
}

int main(int argc, char** argv) {
    Weston weston;
    const bool westonUp = Weston::installed() && weston.start();
    if (westonUp) {
        const QProcessEnvironment env = weston.environment();
        qputenv("QT_QPA_PLATFORM", "wayland");
        qputenv("XDG_RUNTIME_DIR", env.value(QStringLiteral("XDG_RUNTIME_DIR")).toUtf8());
        qputenv("WAYLAND_DISPLAY", kSocket.toUtf8());
    }
    QApplication app(argc, argv);
    platform::drawThroughGraphicsStackUnderWayland(); // as the program does
    TestWayland test(westonUp ? &weston : nullptr);
    return QTest::qExec(&test, argc, argv);
}
#include "test_wayland.moc"
