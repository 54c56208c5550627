// The show on its own screen: slides in selection order, the first start's
// questions, the service lost and back, the loops, the panel's Start, the
// last good pictures, refusals and the picture budget.
#include "ShowRuns.h"
#include "settings/SettingsFile.h"

#include <QLineEdit>

namespace {

// A site root whose catalogue requests all ask for a code the real service
// does not know (the rest of the address is a fragment, never sent): it
// refuses them with an "ERR" item.
QString refusingRoot(const QString& site) {
    return site + "/service/catalogue?x00=x0000#";
}

} // namespace

void TestShowRuns::init() {
    platform::setTimeScale(kScale);
    home_ = std::make_unique<TemporaryHome>();
    dialogs_.clear();
    dialogs_.leaveUnattended(false);
    seen_.clear();
    kept_.clear();
    grabSlides_ = false;
}

void TestShowRuns::cleanup() {
    form_.reset();
}

void TestShowRuns::startProgram(const QString& site) {
    qputenv("SKYGLANCE_SITE", site.toUtf8());
    FormPicture::Options options;
    options.screenPixels = QSize(1280, 720);
    options.dialogs = &dialogs_;
    form_ = ShowAssembly::build(options);
    connect(form_.get(), &FormPicture::slideShown, this, [this](int slide) {
        Seen seen{slide,
                  state().statusLine1,
                  state().statusLine2,
                  form_->imgClock.interval(),
                  form_->statusBar().BtAnimation->isVisible(),
                  0,
                  false,
                  false,
                  {},
                  form_->statusBar().whoWeAre->text()};
        seen.kind = slideAt(slide).kind;
        const QString loop = form_->presenter().lastLoopFile();
        seen.loopPlaying = form_->ucAniGIF1->isVisible() && !loop.isEmpty();
        seen.loopIsOwn =
            seen.loopPlaying && QImageReader(loop).read().convertToFormat(QImage::Format_RGB32) ==
                                    slideAt(slide).picture.convertToFormat(QImage::Format_RGB32);
        seen.notice = form_->statusBar().lCountDown->isVisible()
                          ? form_->statusBar().lCountDown->text()
                          : QString();
        if (grabSlides_) {
            seen.centre =
                form_->grab().toImage().pixelColor(form_->fotoBrowser->geometry().center());
        }
        seen_.append(seen);
    });
    connect(form_.get(), &FormPicture::keptSlideShown, this, [this](int index) {
        kept_.append({index, sinceWindow_.elapsed()});
    });
    form_->show();
    sinceWindow_.start();
    QVERIFY(form_->Form_Load());
    // The placeholder that replaces old loops lies beside the program.
    state().appPath = ProgramHarness::folder();
}

void TestShowRuns::waitForSlides(int count) {
    QTRY_VERIFY_WITH_TIMEOUT(seen_.size() >= count, 120000);
}

void TestShowRuns::forceCycleAndWait(int slidesAfter) {
    const int cycles = form_->cycles().completedCycles();
    form_->supervisor().ImageConnesso_Click();
    QTRY_VERIFY_WITH_TIMEOUT(form_->cycles().completedCycles() > cycles, 120000);
    waitForSlides(int(seen_.size()) + slidesAfter);
}

// A loop slide shows the GIF control playing a file whose first frame is the
// slide's own picture, never the loop of another slide.
void TestShowRuns::checkLoopsPlayTheirOwnFiles(qsizetype from, int atLeast) {
    int loops = 0;
    for (qsizetype i = from; i < seen_.size(); ++i) {
        if (seen_[i].kind != 4) {
            continue;
        }
        ++loops;
        QVERIFY2(seen_[i].loopPlaying, qPrintable(QString::number(seen_[i].slide)));
        QVERIFY2(seen_[i].loopIsOwn, qPrintable(QString::number(seen_[i].slide)));
    }
    QVERIFY(loops >= atLeast);
}

void TestShowRuns::openPanel() {
    form_->btSetup_Click();
    QTRY_COMPARE_WITH_TIMEOUT(form_->supervisor().pending(), Command::PanelShown, 60000);
    QVERIFY(form_->panel().SSTCfg->isVisible());
    QVERIFY(!form_->panel().FormWait->isVisible()); // the fill ends the wait
    QTRY_VERIFY_WITH_TIMEOUT(form_->panel().SSTCfg_cmdConferma->isEnabled(), 10000);
}

void TestShowRuns::showRunsByItselfInSelectionOrder() {
    Service service;
    seedDemoHome(home_->path(), kSelection);
    startProgram(service.site);
    waitForSlides(6);
    QCOMPARE(state().cntImagesLoaded, int16_t(4));
    QList<int> order;
    for (const Seen& s : seen_) {
        order << s.slide;
    }
    QCOMPARE(order.mid(0, 6), (QList<int>{0, 1, 2, 3, 0, 1}));
    // Status lines from the catalogue records, intervals from their codes.
    QVERIFY(seen_[0].line1.startsWith("(c) Skyglance sample maps"));
    QVERIFY(seen_[0].line1.contains(" - RFRS:"));
    QCOMPARE(seen_[0].line2, QStringLiteral("Surface pressure over Europe"));
    QCOMPARE(seen_[0].interval, platform::scaledMs(8000));
    QCOMPARE(seen_[1].line2, QStringLiteral("Rain radar, last 35 minutes"));
    QCOMPARE(seen_[1].interval, platform::scaledMs(32000));
    QVERIFY(seen_[1].animation);
    QCOMPARE(seen_[2].interval, platform::scaledMs(32000)); // "99" keeps it
    QCOMPARE(seen_[3].interval, platform::scaledMs(32000));
    QVERIFY(!seen_[0].animation);

    // What was asked, in order: the first request, then the pass.
    QStringList asked;
    for (const QString& t : service.targets()) {
        if (t.contains("x00=")) {
            asked << t.mid(t.indexOf("x00=") + 4);
        }
    }
    QCOMPARE(asked.mid(0, 4), (QStringList{"x5555", "x5555", "y2222[_1_3_16_21_]", "x9999"}));
    const int mapFetches = int(service.targets().count("/site/maps/europe_pressure.jpg"));
    QCOMPARE(mapFetches, 1);

    // The download interval (15 minutes: 450 nominal seconds, 57 slides of
    // 8 s) brings the pictures again by itself ...
    QTRY_VERIFY_WITH_TIMEOUT(
        service.targets().count("/site/maps/europe_pressure.jpg") == mapFetches + 1, 120000);
    QVERIFY(seen_.size() >= 57);
    // ... and a click on the connection icon brings the next one at once.
    form_->supervisor().ImageConnesso_Click();
    QTRY_VERIFY_WITH_TIMEOUT(
        service.targets().count("/site/maps/europe_pressure.jpg") == mapFetches + 2, 60000);
    const int before = int(seen_.size());
    waitForSlides(before + 2);

    // The quit command ends the program in order.
    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    form_->supervisor().request(Command::Quit);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
    QVERIFY(readFile(work("Skyglance7_Picture_List.dat")).startsWith("0\r\n1\r\n"));
}

void TestShowRuns::firstStartAsksLanguageAndConnection() {
    Service service;
    startProgram(service.site);
    // The person at the screen picks English and a direct connection.
    QTimer person;
    connect(&person, &QTimer::timeout, this, [this] {
        LanguageChoice& language = form_->languageChoice();
        Connection& connection = form_->connection();
        if (form_->Frame_Select_Language->isVisible()) {
            language.English_01->click();
        } else if (form_->Frame_Select_Connection->isVisible()) {
            connection.No_Proxy->click();
            connection.Connection_Selected->click();
        }
    });
    person.start(20);
    QTRY_COMPARE_WITH_TIMEOUT(form_->supervisor().startState(), 2, 60000);
    QCOMPARE(readFile(work("Skyglance7_Language.dat")), QByteArray(" 1"));
    QVERIFY(readFile(work("Skyglance7_Proxy.dat")).endsWith("0\r\n"));
    QVERIFY(readFile(work("Skyglance7_MyTown.dat")).startsWith("Courmayeur\r\n"));
    QCOMPARE(state().Lingua, int16_t(1));
}

void TestShowRuns::unreachableServiceKeepsCountingDown() {
    seedDemoHome(home_->path(), kSelection);
    startProgram(QStringLiteral("http://127.0.0.1:%1").arg(nettest::deadPort()));
    QStringList countdown;
    int offers = 0;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        if (form_->Frame_Select_Connection->isVisible()) {
            ++offers;
            form_->connection().No_Proxy->click();
            form_->connection().Connection_Selected->click();
        }
        const QString text = form_->statusBar().lCountDown->text();
        if (countdown.isEmpty() || countdown.last() != text) {
            countdown << text;
        }
    });
    watcher.start(1);
    QTRY_VERIFY_WITH_TIMEOUT(offers >= 1 && countdown.size() >= 12, 60000);
    // The line says which address failed and how.
    const QString failed =
        QStringLiteral(" - %1/service/catalogue?p=1&x00=x5555: Connection refused")
            .arg(qEnvironmentVariable("SKYGLANCE_SITE"));
    QVERIFY2(countdown.contains(ConnectionWaitText(1) + "10" + failed),
             qPrintable(countdown.join('\n')));
    QVERIFY(countdown.contains(ConnectionWaitText(1) + "1" + failed));
    // The whole line fits on the screen.
    const QLabel* line = form_->statusBar().lCountDown;
    QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
    const QString shots = qEnvironmentVariable("SKYGLANCE_TEST_SHOTS");
    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        QVERIFY(form_->grab().save(QDir(shots).filePath("waiting-line-names-the-failure.png")));
    }
    // Nothing refused, nothing deleted: the program just waits.
    QCOMPARE(form_->supervisor().startState(), 1);
    QVERIFY(QFile::exists(work("Skyglance7_Picture_List.dat")));
    QVERIFY(QFile::exists(work("Skyglance7_Config.dat")));
}

void TestShowRuns::errReplyShowsFailedTextAndAsksAgain() {
    seedDemoHome(home_->path(), kSelection);
    nettest::HttpPeer refusing(nettest::HttpPeer::Mode::Answer,
                               nettest::HttpPeer::response(200, "<P>ERR no service<P>"));
    startProgram(refusing.url(QString()));
    bool failedTextSeen = false;
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&] {
        failedTextSeen |= form_->statusBar().lCountDown->text().startsWith(FailedReplyText(1));
    });
    watcher.start(1);
    QTRY_VERIFY_WITH_TIMEOUT(failedTextSeen && refusing.requestsSeen() >= 3, 60000);
    QVERIFY(form_->statusBar().lCountDown->text().contains(": ERR no service"));
    QVERIFY(form_->supervisor().startState() < 2);
    QVERIFY(QFile::exists(work("Skyglance7_Picture_List.dat")));
}

void TestShowRuns::panelStartWithUnchangedTicksFetchesNothing() {
    Service service;
    seedDemoHome(home_->path(), kSelection);
    startProgram(service.site);
    waitForSlides(2);
    openPanel();
    QListWidget* table = form_->panel().Tabella_Mappe_Selezionate;
    QVERIFY(table->count() > 20);
    QCOMPARE(table->item(2)->checkState(), Qt::Checked);
    // The picture-selection tab with the whole catalogue and a live preview.
    const QString shots = qEnvironmentVariable("SKYGLANCE_TEST_SHOTS");
    if (!shots.isEmpty()) {
        form_->panel().ShowTab(2);
        form_->selectionTable().PreviewEntry(0);
        QTRY_VERIFY_WITH_TIMEOUT(form_->BrowserImgPreview->navigationDone(), 30000);
        QTest::qWait(300);
        QDir().mkpath(shots);
        QVERIFY(form_->grab().save(QDir(shots).filePath("panel-selection-with-preview.png")));
    }
    const qsizetype asked = service.targets().size();

    // Ticks arriving while the start command runs change no slide.
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, form_.get(), [this] {
        form_->scheduler().imgClock_Timer();
        form_->supervisor().panControl_Timer();
    });
    ticks.start(1);
    const qsizetype shownBefore = seen_.size();
    form_->panel().SSTCfg_cmdConferma->click();
    QCOMPARE(seen_.size(), shownBefore);
    ticks.stop();
    QCOMPARE(form_->supervisor().pending(), Command::None);
    QCOMPARE(state().cntImagesLoaded, int16_t(4));
    // Only the version file and the message were asked; no picture was
    // fetched again.
    const QStringList after = service.targets().mid(asked);
    QCOMPARE(after.filter("/site/").size(), 0);
    QCOMPARE(after.filter("x00=").size(), 1);
    QVERIFY(after.filter("x00=").front().endsWith("x00=x5555"));
    waitForSlides(int(shownBefore) + 2);

    // Nothing ticked: the message, and the panel opens again for a choice.
    openPanel();
    for (int r = 0; r < table->count(); ++r) {
        table->item(r)->setCheckState(Qt::Unchecked);
    }
    form_->panel().SSTCfg_cmdConferma->click();
    QVERIFY(dialogs_.shownTexts().contains(NoPictureText(1)));
    QVERIFY(form_->panel().SSTCfg->isVisible());
}

void TestShowRuns::serviceLostMidShowKeepsSlidesAndFiles() {
    // A series first: its four pictures stand before the map behind it.
    auto service = std::make_unique<Service>();
    seedDemoHome(home_->path(), {"30", "31", "0", "1"});
    startProgram(service->site);
    waitForSlides(5);
    QMap<int, QString> captions;
    for (const Seen& seen : std::as_const(seen_)) {
        captions.insert(seen.slide, seen.line2);
    }
    openPanel();
    const qint64 firstPicture = slideAt(0).picture.cacheKey();
    const QString site = service->site;
    service.reset(); // the network goes away
    form_->panel().SSTCfg_cmdConferma->click();
    QCOMPARE(form_->statusBar().lCountDown->text(),
             FailedReplyText(1) + " - " + site +
                 "/service/catalogue?p=1&x00=x5555: Connection refused");
    QCOMPARE(form_->supervisor().pending(), Command::None);
    const qsizetype shown = seen_.size();
    waitForSlides(int(shown) + 6);
    QCOMPARE(state().cntImagesLoaded, int16_t(5));
    QCOMPARE(slideAt(0).picture.cacheKey(), firstPicture);
    QVERIFY(form_->cycles().retryPassPending());
    // Each slide keeps its own caption while the service is away.
    for (qsizetype i = shown; i < seen_.size(); ++i) {
        QCOMPARE(seen_[i].line2, captions.value(seen_[i].slide));
    }
    for (const char* name : {"Skyglance7_Picture_List.dat", "Skyglance7_Config.dat",
                             "Skyglance7_Proxy.dat", "Skyglance7_Language.dat"}) {
        QVERIFY2(QFile::exists(work(name)), name);
    }
}

void TestShowRuns::closingFromOutsideQuitsInOrder() {
    Service service;
    seedDemoHome(home_->path(), kSelection);
    startProgram(service.site);
    waitForSlides(1);
    QFile::remove(work("Skyglance7_Config.dat"));
    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    QVERIFY(!form_->close()); // refused now, done in order
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
    QVERIFY(QFile::exists(work("Skyglance7_Config.dat")));
    QVERIFY(!form_->isVisible());
}

// A first run with the service up, left until its pictures are kept.
void TestShowRuns::keepPicturesOfAFirstRun(const QString& site) {
    seedDemoHome(home_->path(), kSelection);
    startProgram(site);
    waitForSlides(2);
    // The set is written by a thread of its own while the show goes on.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(work("LastGood/slides.txt")), 10000);
    form_.reset();
    seen_.clear();
    kept_.clear();
}

void TestShowRuns::restartWithoutNetworkPlaysLastGoodPictures() {
    auto service = std::make_unique<Service>();
    const QString site = service->site;
    const int port = QUrl(site).port();
    keepPicturesOfAFirstRun(site);
    service.reset();
    // What a crash in the middle of writing the next set leaves behind.
    QDir().mkpath(work("LastGood.new"));
    writeFile(work("LastGood.new/slide-0000.png"), "half a pic");

    // At the normal timing: the kept pictures within 3 s of the window,
    // marked, behind the countdown.
    platform::setTimeScale(1.0);
    startProgram(site);
    QList<std::pair<int, qint64>>& kept = kept_;
    QTRY_VERIFY_WITH_TIMEOUT(!kept.isEmpty(), 10000);
    QVERIFY2(kept[0].second < 3000, qPrintable(QString::number(kept[0].second)));
    QCOMPARE(kept[0].first, 0);
    QVERIFY(state().statusLine1.startsWith("(c) Skyglance sample maps"));
    QVERIFY(state().statusLine2.startsWith("Picture of "));
    QVERIFY(state().statusLine2.endsWith(" - waiting for the network"));
    QVERIFY(form_->statusBar().lCountDown->isVisible());
    QVERIFY(form_->statusBar().lCountDown->text().startsWith(ConnectionWaitText(1)));
    // The next one at the slide interval of the settings (8 s). A slide
    // interval typed in its box meanwhile (2 s) counts, unsaved, for the one
    // after: the second kept slide, a loop, holds four intervals (not 32 s).
    form_->panel().SSTCfg_timeRefresh->selectAll();
    QTest::keyClicks(form_->panel().SSTCfg_timeRefresh, "2");
    QCOMPARE(form_->panel().SSTCfg_timeRefresh->text(), QStringLiteral("2"));
    QTRY_VERIFY_WITH_TIMEOUT(kept.size() >= 2, 15000);
    QCOMPARE(kept[1].first, 1);
    QVERIFY(kept[1].second - kept[0].second >= 7000);
    QTRY_VERIFY_WITH_TIMEOUT(kept.size() >= 3, 20000);
    QVERIFY2(kept[2].second - kept[1].second < 16000,
             qPrintable(QString::number(kept[2].second - kept[1].second)));
    form_->panel().SSTCfg_timeRefresh->setText(QStringLiteral("8"));
    QVERIFY(dialogs_.shown().isEmpty());

    // The service comes back: the pass brings new pictures, without the
    // marks, and the kept ones end.
    platform::setTimeScale(kScale);
    service = std::make_unique<Service>(port);
    QVERIFY(!service->site.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(form_->supervisor().startState(), 2, 30000);
    waitForSlides(1);
    QCOMPARE(seen_[0].line2, QStringLiteral("Surface pressure over Europe"));
    const qsizetype keptBefore = kept.size();
    waitForSlides(3);
    QCOMPARE(kept.size(), keptBefore);
    QVERIFY(!QFile::exists(work("LastGood.new")));
}

void TestShowRuns::restartWithKeptPicturesShowsThemUntilTheLiveSlides() {
    Service service;
    keepPicturesOfAFirstRun(service.site);

    // The restart with the service up, at the normal timing: the first kept
    // picture comes within 2 s of the window.
    platform::setTimeScale(1.0);
    startProgram(service.site);
    // The middle of the screen as the user sees it, until the first live
    // slide: never the logo, through the whole first pass.
    QList<QImage> middles;
    const auto middleOfScreen = [this] {
        const QRect window = form_->rect();
        return form_->grab().toImage().copy(
            QRect(window.center() - QPoint(80, 45), QSize(160, 90)));
    };
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (seen_.isEmpty() && middles.size() < 2000) {
            middles.append(middleOfScreen());
        }
    });
    watch.start(25);
    QTRY_VERIFY_WITH_TIMEOUT(!kept_.isEmpty(), 5000);
    QVERIFY2(kept_[0].second < 2000, qPrintable(QString::number(kept_[0].second)));
    QCOMPARE(kept_[0].first, 0);
    platform::setTimeScale(kScale);

    // Then the live slides take over, and the kept ones end.
    waitForSlides(1);
    QCOMPARE(seen_[0].line2, QStringLiteral("Surface pressure over Europe"));
    const qsizetype keptBefore = kept_.size();
    waitForSlides(3);
    QCOMPARE(kept_.size(), keptBefore);
    watch.stop();
    form_->presenter().ShowPicture(form_->ImageLogo);
    const QImage logo = middleOfScreen();
    QVERIFY(middles.size() > 10);
    for (qsizetype i = 0; i < middles.size(); ++i) {
        QVERIFY2(middles[i] != logo, qPrintable(QString::number(i)));
    }
}

void TestShowRuns::everyLoopPlaysItsOwnFileRoundAfterRound() {
    // Three radar loops, one of them the first slide, around a still map.
    Service service;
    seedDemoHome(home_->path(), {"2", "3", "0", "1", "22", "23", "23", "24"});
    startProgram(service.site);
    waitForSlides(9);
    checkLoopsPlayTheirOwnFiles(0);
    if (QTest::currentTestFailed()) {
        return;
    }

    // A panel visit that goes through the tabs, then Start with the same
    // ticks: the loops keep playing (nothing is fetched again).
    openPanel();
    form_->settings().markUnsaved();
    form_->panel().ShowTab(2);
    form_->panel().ShowTab(0);
    qsizetype from = seen_.size();
    form_->panel().SSTCfg_cmdConferma->click();
    waitForSlides(int(from) + 8);
    checkLoopsPlayTheirOwnFiles(from);
    if (QTest::currentTestFailed()) {
        return;
    }

    // And after the next download cycle.
    from = seen_.size();
    forceCycleAndWait(8);
    checkLoopsPlayTheirOwnFiles(from);
}

void TestShowRuns::failedPicturesKeepTheirLastGoodOnes() {
    // A map, a forecast page captured from the browser and a radar loop.
    const QStringList selection = {"0", "1", "4", "5", "2", "3"};
    auto service = std::make_unique<Service>(0, QStringList{"--faults", "404@0+100000"});
    const QString site = service->site;
    const int port = QUrl(site).port();
    seedDemoHome(home_->path(), selection);
    startProgram(site);
    waitForSlides(3);
    // Never loaded: the error picture with its notice, also for the page,
    // whose "Not Found" is no weather.
    for (int s = 0; s < 3; ++s) {
        QVERIFY(!slideAt(s).loaded);
        QCOMPARE(slideAt(s).picture, form_->ErrLoadPicture);
    }
    QCOMPARE(seen_[1].notice, QString::fromLatin1(kImageMissingText));

    service.reset(); // the port is free before the next service takes it
    service = std::make_unique<Service>(port);
    forceCycleAndWait(3);
    QCOMPARE(slideAt(1).kind, 2);
    QCOMPARE(slideAt(2).kind, 4);
    const QImage goodPage = slideAt(1).picture;
    QVERIFY(goodPage != form_->ErrLoadPicture);
    waitForSlides(int(seen_.size()) + 3); // the good set is kept by now

    // The pictures fail again: each slide shows its last good picture, as
    // its kind, marked with its age, and the notice says it failed.
    service.reset();
    service = std::make_unique<Service>(port, QStringList{"--faults", "404@0+100000"});
    const qsizetype from = seen_.size();
    forceCycleAndWait(4);
    for (qsizetype i = from; i < seen_.size(); ++i) {
        const Seen& seen = seen_[i];
        QVERIFY2(seen.line2.startsWith("Picture of "), qPrintable(seen.line2));
        QCOMPARE(seen.notice, QString::fromLatin1(kImageMissingText));
        QCOMPARE(seen.kind, QList<int>({1, 2, 4})[seen.slide]);
    }
    QCOMPARE(slideAt(1).picture.size(), goodPage.size());
    QVERIFY(slideAt(1).picture != form_->ErrLoadPicture);
    QVERIFY(slideAt(1).picture.pixel(5, 5) == goodPage.pixel(5, 5));
    checkLoopsPlayTheirOwnFiles(from, 1);
}

void TestShowRuns::refusedRequestEndsTheProgram_data() {
    QTest::addColumn<bool>("fromStartCommand");
    QTest::newRow("start command") << true;
    QTest::newRow("panel opening") << false;
}

// A refusal deletes the settings and ends the program within seconds, even
// with nobody at the screen to close its boxes.
void TestShowRuns::refusedRequestEndsTheProgram() {
    QFETCH(bool, fromStartCommand);
    Service service;
    seedDemoHome(home_->path(), kSelection);
    startProgram(service.site);
    waitForSlides(1);
    if (fromStartCommand) {
        openPanel();
    }
    dialogs_.leaveUnattended(true);
    qputenv("SKYGLANCE_SITE", refusingRoot(service.site).toUtf8());
    const QStringList deleted = {"Skyglance7_Picture_List.dat", "Skyglance7_Config.dat",
                                 "Skyglance7_Proxy.dat", "Skyglance7_Language.dat"};
    QMap<QString, QByteArray> before;
    for (const QString& name : deleted) {
        before.insert(name, readFile(work(name)));
    }
    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    QElapsedTimer sinceAsked;
    sinceAsked.start();
    if (fromStartCommand) {
        form_->panel().SSTCfg_cmdConferma->click();
        QVERIFY(dialogs_.shownTexts().contains("U ERR"));
    } else {
        form_->btSetup_Click();
    }
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
    QVERIFY(!form_->isVisible());
    QVERIFY(!QFile::exists(work("Skyglance7_Proxy.dat")));
    QVERIFY(!QFile::exists(work("Skyglance7_Language.dat")));
    // A refusal may be a passing fault of the service: what it deleted is
    // kept whole beside the work folder.
    const QStringList removed = removedFolders(work(""));
    QCOMPARE(removed.size(), 1);
    for (const QString& name : deleted) {
        QCOMPARE(readFile(work(removed[0] + "/" + name)), before[name]);
    }
    // The person who clicked Start reads the end; a refusal nobody asked
    // for ends without another box.
    const QString end = QStringLiteral("Program ended \r\n The sponsors page will open.");
    QCOMPARE(dialogs_.shownTexts().contains(end), fromStartCommand);
    QVERIFY2(sinceAsked.elapsed() < 10000, qPrintable(QString::number(sinceAsked.elapsed())));
}

// A series address without its "*": the message closes by itself, its text
// stands on the second status line of the slide shown next, and the show
// goes on with the other pictures.
void TestShowRuns::malformedSeriesClosesItsBoxAndTheShowGoesOn() {
    QTemporaryDir data;
    const QString tsv = data.filePath("catalogue.tsv");
    writeFile(tsv, "http://{HOST}/site/maps/europe_pressure.jpg\t1\tEurope EUPRESS pressure\t"
                   "MAP-(c) Skyglance sample maps--Surface pressure over Europe-\n"
                   "5ttp://{HOST}/site/series/hour_.png,1,1,3,2\t2\tHourly BROKEN no star\t"
                   "SER-(c) Skyglance forecasts--Broken series-\n"
                   "http://{HOST}/site/maps/alps_temperature.png\t3\tAlps ALPTEMP temperature\t"
                   "MAP-(c) Skyglance sample maps--Temperature across the Alps-\n");
    Service service(0, {"--catalogue", tsv});
    seedDemoHome(home_->path(), {"0", "1", "1", "2", "2", "3"});
    dialogs_.leaveUnattended(true);
    startProgram(service.site);
    waitForSlides(4);
    const QStringList boxes = dialogs_.shownTexts().filter("Proc ZizozEdezuvu Error ");
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(dialogs_.closedThemselves(), 1);
    QCOMPARE(state().cntImagesLoaded, int16_t(2));
    QCOMPARE(seen_[0].line2, boxes.first());
    QVERIFY(seen_[0].bar.endsWith("\n" + boxes.first()));
    QCOMPARE(seen_[1].line2, QStringLiteral("Temperature across the Alps"));
    QCOMPARE(seen_[2].line2, QStringLiteral("Surface pressure over Europe"));
}

// A cycle brings pictures beyond a small memory budget (16 MB, 11 MB of it
// for still pictures, on a 1280 x 720 screen): one far larger than the screen
// is decoded at the screen's size, the next whole while it fits, then scaled
// down, then refused. The status line says which, the screen shows them, the
// pictures held stay within the budget, and the next cycle decides alike.
void TestShowRuns::picturesBeyondTheBudgetAreScaledOrRefused() {
    QTemporaryDir site;
    QVERIFY(QDir().mkpath(site.filePath("site/big")));
    QImage huge(4000, 4000, QImage::Format_RGB32);
    huge.fill(QColor(200, 40, 40));
    QVERIFY(huge.save(site.filePath("site/big/huge.png")));
    const QList<QColor> colours{QColor(30, 90, 200), QColor(40, 160, 60), QColor(220, 180, 20),
                                QColor(120, 40, 160)};
    for (int i = 0; i < colours.size(); ++i) {
        QImage big(1400, 1000, QImage::Format_RGB32);
        big.fill(colours[i]);
        QVERIFY(big.save(
            site.filePath(QStringLiteral("site/big/big_%1.png").arg(i + 1, 2, 10, QChar('0')))));
    }
    const QString tsv = site.filePath("catalogue.tsv");
    writeFile(tsv, "http://{HOST}/site/big/huge.png\t1\tHuge HUGE far beyond the screen\t"
                   "MAP-(c) test--Huge picture-\n"
                   "5ttp://{HOST}/site/big/big_*.png,1,1,4,2\t2\tBig BIG4 beyond the screen\t"
                   "SER-(c) test--Big pictures-\n");
    Service service(0, {"--catalogue", tsv, "--site", site.path()});
    seedDemoHome(home_->path(), {"0", "1", "1", "2"});
    qputenv("SKYGLANCE_PICTURE_BUDGET_MB", "16");
    grabSlides_ = true;
    startProgram(service.site);

    const QString reduced =
        QStringLiteral("Big pictures - picture reduced to fit the picture memory");
    const QString refused =
        QStringLiteral("Big pictures - picture too large for the picture memory");
    auto checkRound = [&](qsizetype from) {
        QCOMPARE(state().cntImagesLoaded, int16_t(5));
        QList<Seen> round;
        for (qsizetype i = from; i < seen_.size() && round.size() < 5; ++i) {
            if (seen_[i].slide == round.size()) {
                round.append(seen_[i]);
            }
        }
        QCOMPARE(round.size(), 5);
        QCOMPARE(slideAt(0).picture.size(), QSize(720, 720));
        QCOMPARE(round[0].line2, QStringLiteral("Huge picture"));
        QCOMPARE(round[0].centre, QColor(200, 40, 40));
        QCOMPARE(slideAt(1).picture.size(), QSize(1400, 1000));
        QCOMPARE(round[1].line2, QStringLiteral("Big pictures"));
        QCOMPARE(round[1].centre, colours[0]);
        QCOMPARE(slideAt(2).picture.size(), QSize(1008, 720));
        QCOMPARE(round[2].line2, reduced);
        QVERIFY(round[2].bar.endsWith(reduced));
        QCOMPARE(round[2].centre, colours[1]);
        for (int s : {3, 4}) {
            QVERIFY(!slideAt(s).loaded);
            QCOMPARE(round[s].line2, refused);
            QVERIFY(!round[s].notice.isEmpty());
        }
        QVERIFY(HeldPictureBytes(form_->cycles().slides(), -1) <=
                StillPicturesBudget(PictureBudgetBytes()));
    };
    waitForSlides(5);
    checkRound(0);
    const qsizetype secondCycle = seen_.size();
    forceCycleAndWait(6);
    checkRound(secondCycle);
    qunsetenv("SKYGLANCE_PICTURE_BUDGET_MB");
}

QTEST_MAIN(TestShowRuns)
