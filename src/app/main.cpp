#include "app/ShowAssembly.h"
#include "browser/Browser.h"
#include "catalogue/VendorServices.h"
#include "platform/Dialogs.h"
#include "platform/Widgets.h"
#include "shell/FormPicture.h"
#include "shell/WorkFolders.h"
#include "state/CommandLine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// The exit status of a second program on a work folder already in use; the
// user unit does not restart on it.
constexpr int kExitWorkFolderInUse = 3;

const char kHelpText[] =
    "Usage: skyglance [-OPTION[-OPTION...]]\n"
    "       skyglance --help | -h | --version | -V\n"
    "\n"
    "A full-screen weather slide show.\n"
    "\n"
    "Options, joined by \"-\" in one argument (e.g. skyglance -LOCALHOST-NOSILENT):\n"
    "  DEBUG_CODE   open the diagnostics window\n"
    "  LOCALHOST    use the catalogue service on this machine (127.0.0.1, on the\n"
    "               site's port, else on 8080, where the packaged service listens)\n"
    "  NOSILENT     let the web views show their script dialogs\n"
    "  QUIET        refresh off screen: the slides on show keep playing, the new\n"
    "               ones follow when the refresh ends\n"
    "  SITE=ADDRESS root of the vendor site, e.g. -SITE=http://127.0.0.1:8080;\n"
    "               above SKYGLANCE_SITE (an address with a \"-\" goes there)\n"
    "\n"
    "Environment:\n"
    "  SKYGLANCE_SITE         root of the vendor site, e.g. http://127.0.0.1:8080; the\n"
    "                         user unit and the autostart entry read it from\n"
    "                         /etc/default/skyglance\n"
    "  SKYGLANCE_TIME_SCALE   scales every fixed wait and timer interval\n"
    "  SKYGLANCE_QUIET        1: as the QUIET option (the packaged units set it)\n"
    "  SKYGLANCE_SNAPSHOT     a folder that receives a PNG of the window after every\n"
    "                         slide (latest.png and slide-NNNNNN.png)\n"
    "  SKYGLANCE_PRINT_SLIDES 1: one line per slide on standard output\n"
    "  SKYGLANCE_PICTURE_BUDGET_MB memory for decoded pictures in megabytes\n"
    "                         (default 512)\n"
    "  SKYGLANCE_STATUS_ADDR  host:port (or a port, on loopback) of a read-only status\n"
    "                         page, with the same as JSON at /status.json\n"
    "  SKYGLANCE_STATUS_TOKEN the token the status page asks for when it listens\n"
    "                         beyond loopback (?token=, Authorization: Bearer or\n"
    "                         X-Skyglance-Token); without it the page stays off there\n"
    "  SKYGLANCE_FLEET        address of a fleet service (http://host:port, https://..)\n"
    "                         to report to at most once a minute (POST /fleet/report)\n"
    "  SKYGLANCE_FLEET_TOKEN  the screen's token for the fleet service\n"
    "  SKYGLANCE_SCREEN_NAME  the screen's name in its reports (default: host name)\n"
    "\n"
    "Work folders (settings and downloaded pictures), under the home directory:\n"
    "  Skyglance7_Work, Skyglance_SlideShow, Skyglance_PHP, Skyglance_Collections;\n"
    "  one program at a time per home: a second one ends with status 3\n";

// Answers --help and --version before the QApplication exists, so they work
// without a display. Only these exact words count: the "-"-joined options
// keep their meaning. Returns true when one was answered.
bool answeredInfoFlag(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            std::fputs(kHelpText, stdout);
            return true;
        }
        if (std::strcmp(arg, "--version") == 0 || std::strcmp(arg, "-V") == 0) {
            std::printf("skyglance %s\n", SKYGLANCE_VERSION);
            return true;
        }
    }
    return false;
}

// The SITE= option goes on as SKYGLANCE_SITE, above the environment's own
// value, before anything forms a vendor address. A split of its own: the
// start-up's split is the one that reports too many parameters.
void applySiteOption(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    CommandLineParams params;
    SplitFields<10>(commandLineText(arguments), params, [] {});
    const QString site = SiteOptionOf(params);
    if (!site.isEmpty()) {
        qputenv(kSiteEnvironmentVariable, site.toUtf8());
    }
}

// Takes the work folder for this process; false, with a line on standard
// error, when another program holds it. A folder that cannot be made is left
// to the start-up, which reports it on the screen.
bool tookWorkFolder(WorkFolderLock& lock) {
    const QString folder = WorkFolderOfThisHome();
    if (lock.acquire(folder) != WorkFolderLock::Outcome::InUse) {
        return true;
    }
    const QString holder =
        lock.holder() > 0 ? QStringLiteral(" (process %1)").arg(lock.holder()) : QString();
    std::fprintf(stderr,
                 "skyglance: the work folder %s is in use by another Skyglance%s; "
                 "this one ends\n",
                 qPrintable(folder), qPrintable(holder));
    return false;
}

// Downloads, copies and the browser engine all take descriptors; the soft
// limit (often 1024) goes up to the hard one. Nothing here uses select(), so
// high descriptors are safe; the cap keeps children that close every
// descriptor up to the limit quick.
void raiseDescriptorLimit() {
    constexpr rlim_t kEnough = 65536;
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return;
    }
    const rlim_t wanted = std::min(limit.rlim_max, kEnough);
    if (wanted > limit.rlim_cur) {
        limit.rlim_cur = wanted;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

// Pictures are decoded on short-lived worker threads. Left to itself the C
// library gives them arenas of their own and, once a big picture has been
// freed, keeps later ones of that size in those arenas instead of mapping
// them; a show that runs for weeks would hold tens of megabytes more. Big
// blocks are mapped (and given back when freed) and the arenas are few.
void keepPictureMemoryReturnable() {
#ifdef __GLIBC__
    constexpr int kArenas = 2;
    constexpr int kMappedFromBytes = 1024 * 1024;
    mallopt(M_ARENA_MAX, kArenas);
    mallopt(M_MMAP_THRESHOLD, kMappedFromBytes);
#endif
}

// With SKYGLANCE_STALL_PROBE set, a 10 ms timer measures the longest time the
// UI thread left it waiting and says so on standard error at each new longest
// (benchmarks read the last line). It starts with the event loop, after the
// window is built.
void startStallProbe(QObject* parent) {
    constexpr int kTickMs = 10;
    constexpr qint64 kWorthSayingMs = 50;
    auto* timer = new QTimer(parent);
    timer->setTimerType(Qt::PreciseTimer);
    auto* since = new QElapsedTimer;
    since->start();
    QObject::connect(timer, &QTimer::timeout, parent, [since, longest = qint64(0)]() mutable {
        const qint64 gap = since->restart();
        if (gap > longest && gap >= kWorthSayingMs) {
            longest = gap;
            std::fprintf(stderr, "skyglance: longest UI stall %lld ms\n",
                         static_cast<long long>(longest));
        }
    });
    QObject::connect(timer, &QObject::destroyed, [since] { delete since; });
    timer->start(kTickMs);
}

} // namespace

int main(int argc, char* argv[]) {
    if (answeredInfoFlag(argc, argv)) {
        return 0;
    }
    applySiteOption(argc, argv);
    raiseDescriptorLimit();
    keepPictureMemoryReturnable();
    platform::WarnWhenRunningAsRoot();
    WorkFolderLock workFolderLock;
    if (!tookWorkFolder(workFolderLock)) {
        return kExitWorkFolderInUse;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    platform::drawThroughGraphicsStackUnderWayland();
    QApplication::setApplicationName(QStringLiteral("Skyglance"));
    // The program ends by its own quit paths, not when a message box closes
    // after the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    FormPicture::Options options;
    options.commandLine = commandLineText(QCoreApplication::arguments());
    const std::unique_ptr<FormPicture> window = ShowAssembly::build(options);
    FormPicture& form = *window;
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
    if (qEnvironmentVariableIsSet("SKYGLANCE_STALL_PROBE")) {
        QTimer::singleShot(0, &app, [&app] { startStallProbe(&app); });
    }
    return QApplication::exec();
}
