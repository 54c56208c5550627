// The show as seen from outside its window: the program run as a service
// manager runs it, its standard error, its status page and its reports to
// the fleet service, and a service that gives only part of the catalogue
// through the real nginx in front.
#include "ShowRuns.h"

#include <QJsonArray>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The program itself, as a service manager starts it: offscreen, nobody at
// the screen, its standard error collected.
class ProgramRun : public ProgramHarness {
public:
    ProgramRun(const QString& home, const QString& site, const QString& timeScale,
               const QString& statusAddress = {}, const QString& statusToken = {},
               const QList<std::pair<QString, QString>>& more = {}) {
        setHome(home);
        setEnv("SKYGLANCE_SITE", site);
        setEnv("SKYGLANCE_TIME_SCALE", timeScale);
        setEnv("QT_QPA_PLATFORM", "offscreen");
        setEnv("BROWSER", "/bin/true"); // the sponsor page at the end
        if (!statusAddress.isEmpty()) {
            setEnv("SKYGLANCE_STATUS_ADDR", statusAddress);
        }
        unsetEnv("SKYGLANCE_STATUS_TOKEN");
        if (!statusToken.isEmpty()) {
            setEnv("SKYGLANCE_STATUS_TOKEN", statusToken);
        }
        for (const auto& [name, value] : more) {
            setEnv(name, value);
        }
        start();
    }
};

// The status page's answer to a GET of target (with one header when given):
// its status code and body; 0 when none came within the deadline.
std::pair<int, QByteArray> askStatusPage(quint16 port, const QString& target,
                                         const QByteArray& header = {},
                                         const QByteArray& value = {}) {
    QNetworkAccessManager net;
    QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(target)));
    if (!header.isEmpty()) {
        request.setRawHeader(header, value);
    }
    std::unique_ptr<QNetworkReply> reply(net.get(request));
    QDeadlineTimer deadline(10000);
    while (!reply->isFinished() && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
}

// The service's answer to a request (with a body: a POST): its status code
// and body; 0 when none came within the deadline.
std::pair<int, QByteArray> askService(QNetworkRequest request, const QByteArray& body = {}) {
    QNetworkAccessManager net;
    std::unique_ptr<QNetworkReply> reply(body.isEmpty() ? net.get(request)
                                                        : net.post(request, body));
    QDeadlineTimer deadline(10000);
    while (!reply->isFinished() && !deadline.hasExpired()) {
        QTest::qWait(20);
    }
    return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
}

// The screen's tile on the fleet page, as /fleet.json gives it.
QJsonObject fleetScreen(const QString& site, const QByteArray& password, const QString& name) {
    QNetworkRequest request(QUrl(site + "/fleet.json"));
    request.setRawHeader("Authorization", "Basic " + ("fleet:" + password).toBase64());
    for (const QJsonValue& screen : QJsonDocument::fromJson(askService(request).second).array()) {
        if (screen["name"].toString() == name) {
            return screen.toObject();
        }
    }
    return {};
}

// The lines of standard error that tell of fleet reports not stored.
QList<QByteArray> fleetRefusals(const QByteArray& err) {
    QList<QByteArray> told;
    for (const QByteArray& line : err.split('\n')) {
        if (line.startsWith("skyglance: fleet report not stored: ")) {
            told << line;
        }
    }
    return told;
}

QJsonObject statusJson(quint16 port) {
    return QJsonDocument::fromJson(askStatusPage(port, "/status.json").second).object();
}

// A bare TCP connection to a loopback port; -1 when it cannot be had.
int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the other end has closed the connection; what it said before is
// read and dropped.
bool closedByPeer(int fd) {
    char bytes[512];
    while (true) {
        const ssize_t n = ::recv(fd, bytes, sizeof bytes, MSG_DONTWAIT);
        if (n <= 0) {
            return n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
        }
    }
}

// The sockets of a process bound to a local TCP port: a listener and the
// connections it accepted.
int socketsOnPort(qint64 pid, quint16 port) {
    const QByteArray local = ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    QSet<QByteArray> inodes;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        for (const QByteArray& line : readFile(table).split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 9 && fields[1].endsWith(local)) {
                inodes << "socket:[" + fields[9] + "]";
            }
        }
    }
    int count = 0;
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd : QDir(fds).entryList(QDir::System)) {
        char target[64] = {};
        const QByteArray path = QFile::encodeName(fds + "/" + fd);
        if (::readlink(path.constData(), target, sizeof target - 1) > 0 &&
            inodes.contains(target)) {
            ++count;
        }
    }
    return count;
}

// The real nginx in front of the service, answering one catalogue column
// its own way (rule): a service that gives only part of the catalogue.
class Front : public NginxFront {
public:
    explicit Front(const QString& site) : site_(site) {}
    bool start(const QString& rule) {
        return NginxFront::start(
            QStringLiteral("server { listen 127.0.0.1:%1; location / { %2 proxy_pass %3; } }")
                .arg(port())
                .arg(rule, site_));
    }

private:
    QString site_;
};

} // namespace

// Opening the panel while the service gives part of the catalogue (a column
// refused, a column short), and while it is gone: the saved ticks stay byte for byte through Save,
// Start and the quit, the panel says why, and Start goes on with the saved ones.
void TestShowRuns::incompleteCatalogueKeepsSavedSelection() {
    if (QStandardPaths::findExecutable("nginx").isEmpty()) {
        QSKIP("nginx is not installed");
    }
    auto service = std::make_unique<Service>();
    auto front = std::make_unique<Front>(service->site);
    QVERIFY(front->start("if ($arg_x00 = x6666) { return 500; }"));
    seedDemoHome(home_->path(), kSelection);
    const QByteArray saved = readFile(work("Skyglance7_Picture_List.dat"));
    startProgram(front->site());
    waitForSlides(2);

    const auto openPanelAndSave = [&] {
        form_->btSetup_Click();
        QTRY_COMPARE_WITH_TIMEOUT(form_->supervisor().pending(), Command::PanelShown, 60000);
        QVERIFY(!form_->panel().FormWait->isVisible());
        QVERIFY(form_->panel().WizardText->isVisible());
        QCOMPARE(form_->panel().WizardText->text(), CatalogueUnavailableText(1));
        form_->panel().ShowTab(2);
        QLabel* line = form_->selectionTable().CatalogueUnavailable;
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), CatalogueUnavailableText(1));
        QCOMPARE(form_->panel().Tabella_Mappe_Selezionate->count(), 0);
        emit form_->panel().saveClicked();
        QCOMPARE(readFile(work("Skyglance7_Picture_List.dat")), saved);
    };
    const auto startAndSeeSlides = [&] {
        form_->panel().SSTCfg_cmdConferma->click();
        QCOMPARE(readFile(work("Skyglance7_Picture_List.dat")), saved);
        const int shown = int(seen_.size());
        waitForSlides(shown + 3);
        QCOMPARE(state().cntImagesLoaded, int16_t(4));
        QVERIFY(seen_.last().line2.size() > 6); // a picture's own text, not ". . . "
    };

    // Only some of the catalogue came: Start asks for the saved pictures again.
    openPanelAndSave();
    const qsizetype asked = service->targets().size();
    startAndSeeSlides();
    QVERIFY(
        service->targets().mid(asked).contains("/service/catalogue?p=1&x00=y2222[_1_3_16_21_]"));

    // Every column answered, the comments one list short of the others.
    QVERIFY(front->start("if ($arg_x00 = x7777) { return 200 '<P>Only<P>two<P>'; }"));
    openPanelAndSave();
    startAndSeeSlides();

    // The whole catalogue again: the table is offered, and saving it writes
    // the same ticks.
    QVERIFY(front->start(QString()));
    openPanel();
    QVERIFY(form_->panel().Tabella_Mappe_Selezionate->count() > 20);
    QVERIFY(!form_->selectionTable().CatalogueUnavailable->isVisible());
    QVERIFY(form_->panel().WizardText->text() != CatalogueUnavailableText(1));
    emit form_->panel().saveClicked();
    QCOMPARE(readFile(work("Skyglance7_Picture_List.dat")), saved);
    startAndSeeSlides();

    // No service at all: the show goes on with the pictures it has.
    front.reset();
    service.reset();
    openPanelAndSave();
    startAndSeeSlides();

    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    form_->supervisor().request(Command::Quit);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
    QCOMPARE(readFile(work("Skyglance7_Picture_List.dat")), saved);
}

// The program as a service manager runs it: it says on standard error and on
// its status page why it waits, and a refused catalogue request ends the
// process, boxes and all, so that it can be started again.
void TestShowRuns::unattendedProgramSaysWhyItWaitsAndEndsWhenRefused() {
    const quint16 dead = nettest::deadPort();
    const quint16 statusPort = nettest::deadPort();
    seedDemoHome(home_->path(), kSelection);
    {
        const QString site = QStringLiteral("http://127.0.0.1:%1").arg(dead);
        // At the normal timing: the connection choice comes back after 5 s.
        ProgramRun run(home_->path(), site, "1", QStringLiteral("127.0.0.1:%1").arg(statusPort));
        const QString reason = ConnectionWaitText(1) + " - " + site +
                               "/service/catalogue?p=1&x00=x5555: Connection refused";
        QTRY_VERIFY_WITH_TIMEOUT(run.err().contains(("skyglance: waiting: " + reason).toUtf8()),
                                 30000);
        QCOMPARE(statusJson(statusPort)["waiting"].toString(), reason);
        // The choice offered again waits for a person, and says so.
        const QString choice = QStringLiteral("the connection choice waits for an answer");
        QTRY_VERIFY_WITH_TIMEOUT(run.err().contains("skyglance: waiting: " + choice.toUtf8()),
                                 30000);
        QTRY_COMPARE_WITH_TIMEOUT(statusJson(statusPort)["waiting"].toString(), choice, 5000);
    }

    // 2001 pictures: the service refuses the list of IDs (at most 2000).
    QStringList tooMany;
    for (int i = 0; i <= 2000; ++i) {
        tooMany << "0"
                << "1";
    }
    seedDemoHome(home_->path(), tooMany);
    Service service;
    // At the normal timing it ends within seconds, for its service manager
    // to start it again.
    ProgramRun run(home_->path(), service.site, "1");
    QVERIFY(run.process().waitForFinished(30000));
    QCOMPARE(run.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.process().exitCode(), 0);
    QVERIFY2(run.err().contains("catalogue request refused: " + service.site.toUtf8() +
                                "/service/catalogue?p=1&x00=y2222[_1_1_"),
             run.err().constData());
    QVERIFY(run.err().contains("...: ERR malformed picture ID list"));
    // The address of 2001 IDs is cut to a line one can read.
    for (const QByteArray& line : run.err().split('\n')) {
        QVERIFY(line.size() < 600);
    }
    QVERIFY(!QFile::exists(work("Skyglance7_Proxy.dat")));
    QVERIFY(!QFile::exists(work("Skyglance7_Language.dat")));
}

// The first reply came, then the service went: with nothing to show, the
// waiting line and the status page name the address that failed, and the
// program waits without deleting anything.
void TestShowRuns::serviceGoneBeforeTheFirstPassIsTold() {
    Service service;
    seedDemoHome(home_->path(), kSelection);
    const quint16 statusPort = nettest::deadPort();
    qputenv("SKYGLANCE_STATUS_ADDR", QByteArray::number(statusPort));
    startProgram(service.site);
    qunsetenv("SKYGLANCE_STATUS_ADDR");
    const QString gone = QStringLiteral("http://127.0.0.1:%1").arg(nettest::deadPort());
    // The first tick of the show's start follows the accepted reply.
    connect(&form_->utilityTmr, &QTimer::timeout, this,
            [&gone] { qputenv("SKYGLANCE_SITE", gone.toUtf8()); });
    const QString start = FailedReplyText(1) + " - " + gone + "/service/catalogue?p=1&x00=";
    const QLabel* line = form_->statusBar().lCountDown;
    QTRY_VERIFY_WITH_TIMEOUT(line->text().startsWith(start), 30000);
    QVERIFY(line->text().endsWith(": Connection refused"));
    QVERIFY(line->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(statusJson(statusPort)["waiting"].toString(), line->text(), 10000);
    QVERIFY(seen_.isEmpty());
    QVERIFY(QFile::exists(work("Skyglance7_Picture_List.dat")));
    QVERIFY(QFile::exists(work("Skyglance7_Language.dat")));
}

// The status page beyond loopback, as an attacker meets it: it is not served
// without a token, asks every request for it, and keeps answering (within its
// own few descriptors) while clients send their requests a byte at a time or
// open hundreds of connections and send nothing.
void TestShowRuns::statusPageOutlastsSlowAndIdleClientsAndAsksForItsToken() {
    const QString site = QStringLiteral("http://127.0.0.1:%1").arg(nettest::deadPort());
    const quint16 port = nettest::deadPort();
    const QString beyond = QStringLiteral("0.0.0.0:%1").arg(port);
    seedDemoHome(home_->path(), kSelection);
    {
        ProgramRun run(home_->path(), site, "1", beyond);
        QTRY_VERIFY_WITH_TIMEOUT(run.err().contains("skyglance: waiting: "), 30000);
        QVERIFY2(run.err().contains(("skyglance: no status page: " + beyond +
                                     " is reachable beyond this machine; set "
                                     "SKYGLANCE_STATUS_TOKEN")
                                        .toUtf8()),
                 run.err().constData());
        QCOMPARE(run.process().state(), QProcess::Running);
    }
    ProgramRun run(home_->path(), site, "1", beyond, "s3cret token");
    QTRY_COMPARE_WITH_TIMEOUT(askStatusPage(port, "/status.json?token=s3cret%20token").first, 200,
                              30000);
    QCOMPARE(askStatusPage(port, "/status.json").first, 401);
    QCOMPARE(askStatusPage(port, "/status.json?token=s3cret").first, 401);
    QCOMPARE(askStatusPage(port, "/", "X-Skyglance-Token", "s3cret tokens").first, 401);
    QCOMPARE(askStatusPage(port, "/", "X-Skyglance-Token", "s3cret token").first, 200);
    // The page's links carry the token on.
    QVERIFY(askStatusPage(port, "/?token=s3cret%20token")
                .second.contains("href=\"/status.json?token=s3cret%20token\""));

    std::vector<int> slow{connectTo(port), connectTo(port)};
    const QByteArray dribbled =
        "GET /status.json HTTP/1.1\r\nHost: x\r\nX-Pad: " + QByteArray(4000, 'a');
    qsizetype sent = 0;
    QTimer dribble;
    connect(&dribble, &QTimer::timeout, this, [&] {
        for (const int fd : slow) {
            ::send(fd, dribbled.constData() + sent % dribbled.size(), 1, MSG_NOSIGNAL);
        }
        ++sent;
    });
    dribble.start(100);
    std::vector<int> idle;
    for (int i = 0; i < 400; ++i) {
        idle.push_back(connectTo(port));
        QVERIFY(idle.back() >= 0);
    }
    const auto [code, body] =
        askStatusPage(port, "/status.json", "Authorization", "Bearer s3cret token");
    QCOMPARE(code, 200);
    QVERIFY(QJsonDocument::fromJson(body).object().contains("waiting"));
    const int sockets = socketsOnPort(run.process().processId(), port);
    QVERIFY2(sockets > 1 && sockets <= 1 + 32, qPrintable(QString::number(sockets)));
    // A head too long is refused at once.
    const int big = connectTo(port);
    const QByteArray longHead = "GET / HTTP/1.1\r\nX-Pad: " + QByteArray(20000, 'a');
    ::send(big, longHead.constData(), static_cast<size_t>(longHead.size()), MSG_NOSIGNAL);
    char answer[32] = {};
    QVERIFY(::recv(big, answer, sizeof answer - 1, 0) > 0);
    QVERIFY2(QByteArray(answer).startsWith("HTTP/1.1 431 "), answer);
    ::close(big);
    // Every connection without a whole request is closed by the head
    // deadline, the slow ones too.
    std::vector<int> waiting = idle;
    waiting.insert(waiting.end(), slow.begin(), slow.end());
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(waiting.begin(), waiting.end(), closedByPeer), 30000);
    for (const int fd : waiting) {
        ::close(fd);
    }
}

// A quiet refresh: the slides on show keep playing while the refresh fetches
// and captures, nothing of its work (the preview, the progress line and wait
// sign, the page being captured) comes over them, and the new slides follow.
void TestShowRuns::quietRefreshKeepsTheShowOnScreen() {
    qputenv("SKYGLANCE_QUIET", "1");
    const auto unset = qScopeGuard([] { qunsetenv("SKYGLANCE_QUIET"); });
    Service service;
    // A map, a radar loop and a forecast page captured from the browser.
    seedDemoHome(home_->path(), {"0", "1", "2", "3", "4", "5"});
    startProgram(service.site);
    waitForSlides(4);
    const QDateTime oldFetch = slideAt(0).fetched;
    const QString oldLine1 = seen_.first().line1;
    QTest::qWait(1100); // the bar's refresh time counts whole seconds
    const QRect bar =
        form_->statusBar().btSetup->geometry().united(form_->statusBar().btHelp->geometry());
    const QImage barBefore = form_->grab().toImage().copy(bar);
    const QPoint caption = form_->DownloadPreview->geometry().center();
    const QColor captionColour(0x0d, 0x1f, 0x3c);

    // The screen, read every 20 ms through the refresh.
    QList<QImage> screens;
    QTimer grabber;
    connect(&grabber, &QTimer::timeout, this, [&] {
        if (form_->cycles().running() || form_->cycles().quietRefreshRunning()) {
            screens.append(form_->grab().toImage());
        }
    });
    grabber.start(20);
    const qsizetype before = seen_.size();
    const int cycles = form_->cycles().completedCycles();
    form_->supervisor().ImageConnesso_Click();
    QTRY_VERIFY_WITH_TIMEOUT(form_->cycles().completedCycles() > cycles &&
                                 !form_->cycles().quietRefreshRunning(),
                             120000);
    grabber.stop();
    QVERIFY(seen_.size() > before); // the show went on meanwhile
    QVERIFY(screens.size() >= 5);
    for (const QImage& screen : screens) {
        QCOMPARE(screen.copy(bar), barBefore); // no page over the bar, no wait sign
        QVERIFY(screen.pixelColor(caption) != captionColour);
    }
    QVERIFY(form_->cycles().lastQuietRefresh().isValid());

    // The new slides, with their loops in files of their own.
    const qsizetype after = seen_.size();
    waitForSlides(int(after) + 4);
    QVERIFY(slideAt(0).fetched > oldFetch);
    QVERIFY(seen_.at(after).line1 != oldLine1); // the bar says when they came
    checkLoopsPlayTheirOwnFiles(after, 1);
    // The page captured unseen is the page, not an empty view: its banner.
    const QImage page = slideAt(2).picture;
    QVERIFY(slideAt(2).loaded);
    QCOMPARE(page.pixelColor(page.width() / 2, 44), QColor(0x0c, 0x4a, 0x8a));
}

// Screens report to the fleet service: the real program at a small timing
// knob (its minute lasts 3 s) against the real service with its fleet on.
// The show goes on whatever the service makes of the reports, and a refusal
// is told once, not every minute.
void TestShowRuns::screensReportToTheFleetService() {
    seedDemoHome(home_->path(), kSelection);
    QTemporaryDir fleetDir;
    const QString db = fleetDir.filePath("fleet.sqlite");
    const QString passwordFile = fleetDir.filePath("fleet-password");
    writeFile(passwordFile, "pass word\n");
    QProcess addScreen;
    addScreen.start(CatalogueServiceLauncher::program(),
                    {"--add-screen", "lobby-1", "--fleet-db", db});
    QVERIFY(addScreen.waitForFinished(30000));
    const QByteArray token = addScreen.readAllStandardOutput().trimmed();
    auto service = std::make_unique<Service>(0, QStringList{"--fleet", "--fleet-db", db,
                                                            "--fleet-password-file", passwordFile,
                                                            "--fleet-min-gap", "1"});
    const auto reportStatus = [&] {
        QNetworkRequest request(QUrl(service->site + "/fleet/report"));
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        return askService(request, "{}").first;
    };
    const bool keepsAFleet = addScreen.exitCode() == 0 && !token.isEmpty() &&
                             !service->site.isEmpty() && reportStatus() != 404 &&
                             reportStatus() != 405;
    if (!keepsAFleet) {
        service = std::make_unique<Service>();
    }
    const auto fleetEnvironment = [&](const QByteArray& screenToken) {
        return QList<std::pair<QString, QString>>{{"SKYGLANCE_FLEET", service->site},
                                                  {"SKYGLANCE_FLEET_TOKEN", screenToken},
                                                  {"SKYGLANCE_SCREEN_NAME", "lobby-1"},
                                                  {"SKYGLANCE_PRINT_SLIDES", "1"}};
    };
    const auto slides = [](ProgramRun& run) { return run.out().count("slide "); };
    {
        ProgramRun wrong(home_->path(), service->site, "0.05", {}, {},
                         fleetEnvironment("not-a-token"));
        QTRY_VERIFY_WITH_TIMEOUT(!fleetRefusals(wrong.err()).isEmpty(), 60000);
        const qsizetype before = slides(wrong);
        QTest::qWait(10000); // three minutes of the program's
        QVERIFY2(slides(wrong) > before + 5, wrong.out().constData());
        const QList<QByteArray> told = fleetRefusals(wrong.err());
        QCOMPARE(QSet<QByteArray>(told.begin(), told.end()).size(), told.size());
        QCOMPARE(wrong.process().state(), QProcess::Running);
        if (keepsAFleet) {
            QVERIFY2(told.join('\n').contains("401"), told.join('\n').constData());
            QVERIFY(fleetScreen(service->site, "pass word", "lobby-1")["reportedAt"]
                        .toString()
                        .isEmpty());
        }
    }
    if (!keepsAFleet) {
        QSKIP("the catalogue service keeps no fleet yet (/fleet/report answers 404 or 405)");
    }
    ProgramRun run(home_->path(), service->site, "0.05", {}, {}, fleetEnvironment(token));
    QTRY_COMPARE_WITH_TIMEOUT(
        fleetScreen(service->site, "pass word", "lobby-1")["state"].toString(),
        QStringLiteral("live"), 60000);
    const QJsonObject tile = fleetScreen(service->site, "pass word", "lobby-1");
    QCOMPARE(tile["version"].toString(), QStringLiteral("7.8.12"));
    QVERIFY(tile["slide"].toInt() >= 0);
    QCOMPARE(tile["service"].toString(), QStringLiteral("reachable"));
    QVERIFY(!tile.contains("thumbnail"));
    QNetworkRequest thumb(QUrl(service->site + "/fleet/thumb/lobby-1.jpg"));
    thumb.setRawHeader("Authorization", "Basic " + QByteArray("fleet:pass word").toBase64());
    const auto [code, jpeg] = askService(thumb);
    QCOMPARE(code, 200);
    QCOMPARE(QImage::fromData(jpeg, "JPG").width(), 480);
    // The next minute's report follows.
    const QString first = tile["reportedAt"].toString();
    QTRY_VERIFY_WITH_TIMEOUT(
        fleetScreen(service->site, "pass word", "lobby-1")["reportedAt"].toString() != first,
        30000);
    QVERIFY2(fleetRefusals(run.err()).isEmpty(), run.err().constData());
}
