// A chain's screens on one page: two real programs on a real X screen report
// to the real catalogue service, and its fleet page, in the real browser
// engine, shows both with their pictures and shows the one stopped turn
// silent. Once with one service on SQLite, once with two services sharing
// PostgreSQL behind the real nginx front of deploy/.
#include "CatalogueServiceLauncher.h"
#include "DemoHome.h"
#include "FileHelpers.h"
#include "NginxFront.h"
#include "PageScript.h"
#include "PostgresCluster.h"
#include "ProgramHarness.h"
#include "RawRequest.h"

#include <QApplication>
#include <QAuthenticator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <memory>

namespace {

const QByteArray kPassword = "pass word";
const QStringList kScreens = {"lobby-1", "bar-2"};
// A report every 3 s or so; a screen without one for 10 s is silent.
const QString kTimeScale = QStringLiteral("0.05");
const QString kSilentAfterSeconds = QStringLiteral("10");

// Xvfb on a display number it picks itself, 1920x1080 as a shop's screen.
class XServer {
public:
    ~XServer() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    bool start() {
        process_.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten",
                                "tcp", "-noreset"});
        QDeadlineTimer deadline(15000);
        while (!display_.endsWith('\n') && !deadline.hasExpired() &&
               process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(200);
            display_ += process_.readAllStandardOutput();
        }
        return display_.endsWith('\n');
    }
    QString display() const { return ":" + QString::fromLatin1(display_.trimmed()); }

private:
    QProcess process_;
    QByteArray display_;
};

int report(quint16 port, const QByteArray& token, const QByteArray& body) {
    return statusOf(askRaw(port,
                           "POST /fleet/report HTTP/1.1\r\nAuthorization: Bearer " + token +
                               "\r\nContent-Type: application/json\r\nContent-Length: " +
                               QByteArray::number(body.size()) + "\r\n",
                           body));
}

QByteArray fleetJson(quint16 port) {
    return bodyOf(askRaw(port, "GET /fleet.json HTTP/1.1\r\nAuthorization: Basic " +
                                   ("fleet:" + kPassword).toBase64() + "\r\n"));
}

bool allReported(quint16 port) {
    const QJsonArray screens = QJsonDocument::fromJson(fleetJson(port)).array();
    return screens.size() == kScreens.size() &&
           std::all_of(screens.begin(), screens.end(),
                       [](const QJsonValue& s) { return s["reportedAt"].isString(); });
}

QByteArray addScreen(const QString& db, const QString& name) {
    QProcess add;
    add.start(CatalogueServiceLauncher::program(), {"--add-screen", name, "--fleet-db", db});
    add.waitForFinished(30000);
    return add.exitCode() == 0 ? add.readAllStandardOutput().trimmed() : QByteArray();
}

// The service (or the services and their nginx front) the screens report to
// and the page is read from.
struct Fleet {
    PostgresCluster postgres;
    QTemporaryDir folder;
    std::vector<std::unique_ptr<CatalogueServiceLauncher>> services;
    std::unique_ptr<NginxFront> front;
    QString site;
    quint16 port = 0;

    QStringList options(const QString& db) {
        const QString passwordFile = folder.filePath("fleet-password");
        writeFile(passwordFile, kPassword + "\n");
        return {"--fleet",
                "--fleet-db",
                db,
                "--fleet-min-gap",
                "1",
                "--fleet-password-file",
                passwordFile,
                "--fleet-silent-after",
                kSilentAfterSeconds};
    }
    bool startServices(int count, const QString& db) {
        for (int i = 0; i < count; ++i) {
            services.push_back(std::make_unique<CatalogueServiceLauncher>());
            if (!services.back()->start(options(db))) {
                qWarning() << services.back()->why();
                return false;
            }
        }
        site = services[0]->site;
        port = services[0]->port;
        return true;
    }
    // Both instances behind nginx, as deploy/ sets them up.
    bool startFront() {
        front = std::make_unique<NginxFront>();
        QString servers = QString::fromUtf8(readFile(SKYGLANCE_NGINX_FLEET_CONF));
        servers.replace("127.0.0.1:8081", QString("127.0.0.1:%1").arg(services[0]->port))
            .replace("127.0.0.1:8082", QString("127.0.0.1:%1").arg(services[1]->port))
            .replace("listen 80;", QString("listen 127.0.0.1:%1;").arg(front->port()));
        site = front->site();
        port = front->port();
        return front->start(servers);
    }
};

// A screen as its owner sets it up: its own home, the environment file's
// settings for the fleet, full screen on the X display.
std::unique_ptr<ProgramHarness> startScreen(const QString& home, const QString& display,
                                            const QString& site, const QString& name,
                                            const QByteArray& token) {
    seedDemoHome(home, {"0", "1", "2", "3"});
    auto screen = std::make_unique<ProgramHarness>();
    screen->setHome(home);
    screen->setEnv("SKYGLANCE_SITE", site);
    screen->setEnv("SKYGLANCE_TIME_SCALE", kTimeScale);
    screen->setEnv("QT_QPA_PLATFORM", "xcb");
    screen->setEnv("DISPLAY", display);
    screen->setEnv("BROWSER", "/bin/true"); // the sponsor page at the end
    screen->unsetEnv("SKYGLANCE_STATUS_ADDR");
    screen->setEnv("SKYGLANCE_FLEET", site);
    screen->setEnv("SKYGLANCE_FLEET_TOKEN", QString::fromLatin1(token));
    screen->setEnv("SKYGLANCE_SCREEN_NAME", name);
    screen->start();
    return screen;
}

// Why a program that should still run has ended, as far as it says.
QString howItEnded(ProgramHarness& program) {
    return QStringLiteral("ended: %1, exit code %2\n")
               .arg(program.process().exitStatus() == QProcess::CrashExit ? "crashed" : "normally")
               .arg(program.process().exitCode()) +
           QString::fromUtf8(program.err().right(4000));
}

// The tiles as the page shows them, by name: "name: state WIDTHxHEIGHT
// picture" each, with the size of the thumbnail as loaded (0x0 while it is
// not) and whether it shows a picture rather than a blank.
QString shownTiles(QWebEngineView& view) {
    return evaluate(view, R"js(
        Array.from(document.querySelectorAll('#tiles .tile')).map((tile) => {
          const img = tile.querySelector('img');
          let seen = '0x0';
          if (img && img.complete && img.naturalWidth > 0) {
            const canvas = document.createElement('canvas');
            canvas.width = 48;
            canvas.height = 27;
            const context = canvas.getContext('2d');
            context.drawImage(img, 0, 0, 48, 27);
            const pixels = context.getImageData(0, 0, 48, 27).data;
            const colours = new Set();
            for (let i = 0; i < pixels.length; i += 4) {
              colours.add((pixels[i] >> 4) * 256 + (pixels[i + 1] >> 4) * 16 + (pixels[i + 2] >> 4));
            }
            seen = img.naturalWidth + 'x' + img.naturalHeight +
                   (colours.size > 8 ? ' picture' : ' blank');
          }
          return tile.querySelector('.name').textContent + ': ' +
                 tile.querySelector('.state').textContent + ' ' + seen;
        }).sort().join('; '))js")
        .toString();
}

} // namespace

class TestFleet : public QObject {
    Q_OBJECT

private slots:
    void screensOfAChainOnOnePage_data();
    void screensOfAChainOnOnePage();
};

void TestFleet::screensOfAChainOnOnePage_data() {
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

void TestFleet::screensOfAChainOnOnePage() {
    QFETCH(bool, postgres);
    if (QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        QSKIP("Xvfb is not installed");
    }
    if (postgres && QStandardPaths::findExecutable("nginx").isEmpty()) {
        QSKIP("nginx is not installed");
    }
    Fleet fleet;
    QString db = fleet.folder.filePath("fleet.sqlite");
    if (postgres) {
        START_POSTGRES(fleet.postgres);
        db = QString::fromStdString(fleet.postgres.url);
    }
    QList<QByteArray> tokens;
    for (const QString& name : kScreens) {
        tokens.append(addScreen(db, name));
        QVERIFY2(!tokens.last().isEmpty(), qPrintable(name));
    }
    QVERIFY(fleet.startServices(postgres ? 2 : 1, db));
    if (postgres) {
        QVERIFY(fleet.startFront());
    }
    XServer x;
    QVERIFY(x.start());

    QTemporaryDir homes;
    std::vector<std::unique_ptr<ProgramHarness>> screens;
    for (int i = 0; i < kScreens.size(); ++i) {
        screens.push_back(startScreen(homes.filePath(kScreens[i]), x.display(), fleet.site,
                                      kScreens[i], tokens[i]));
    }
    // Behind nginx each read may go to either instance, whose lists may lag
    // by up to a second: once both screens were seen reported, every list
    // has them a second later.
    bool reported = false;
    QTRY_VERIFY_WITH_TIMEOUT(reported || (reported = allReported(fleet.port)), 60000);
    QTest::qWait(1100);

    // The owner opens the page and gives the password when asked.
    QWebEngineView view;
    QObject::connect(view.page(), &QWebEnginePage::authenticationRequired, &view,
                     [](const QUrl&, QAuthenticator* authenticator) {
                         authenticator->setUser("fleet");
                         authenticator->setPassword(QString::fromLatin1(kPassword));
                     });
    view.resize(1280, 900);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, &view,
                     [&loaded](bool ok) { loaded = ok; });
    view.load(QUrl(fleet.site + "/fleet"));
    QTRY_VERIFY_WITH_TIMEOUT(loaded, 20000);
    // Each screen's picture is the whole 1920x1080 screen, 480 px wide.
    QTRY_COMPARE_WITH_TIMEOUT(shownTiles(view),
                              QString("bar-2: live 480x270 picture; lobby-1: live 480x270 picture"),
                              20000);

    // One screen is stopped as a service manager stops it; the page, left
    // open, shows it silent while the other goes on.
    evaluate(view, "window.notReloaded = true");
    screens[1]->process().terminate();
    QVERIFY(screens[1]->waitForEnd(20000));
    QTRY_VERIFY_WITH_TIMEOUT(shownTiles(view).startsWith("bar-2: silent"), 30000);
    QCOMPARE(shownTiles(view),
             QString("bar-2: silent 480x270 picture; lobby-1: live 480x270 picture"));
    QCOMPARE(evaluate(view, "window.notReloaded === true").toBool(), true);
    QVERIFY2(screens[0]->process().state() == QProcess::Running,
             qPrintable(howItEnded(*screens[0])));
    // Every report the screens sent was taken, whichever instance got it.
    for (const auto& screen : screens) {
        QVERIFY2(!screen->err().contains("fleet report not stored"), screen->err().constData());
    }

    // A report with a token of no screen is refused and leaves no trace,
    // whatever name it gives; one over the bound is refused whole.
    const QByteArray intruder = R"({"name":"bar-2","version":"6.6.6","lastGood":false,"slide":0,)"
                                R"("address":"http://intruder.example/","thumbnail":""})";
    QCOMPARE(report(fleet.port, QByteArray(64, 'e'), intruder), 401);
    QCOMPARE(report(fleet.port, tokens[0], QByteArray(300 * 1024, ' ')), 413);
    const QByteArray afterwards = fleetJson(fleet.port);
    QCOMPARE(QJsonDocument::fromJson(afterwards).array().size(), kScreens.size());
    QVERIFY2(!afterwards.contains("intruder") && !afterwards.contains("6.6.6"),
             afterwards.constData());
}

QTEST_MAIN(TestFleet)
#include "test_fleet.moc"
