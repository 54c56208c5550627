// The show under the faults a screen meets in the field: the real catalogue
// service playing each of its network faults, a work folder it may not write,
// a full disk, settings files cut short and a proxy that refuses. In each the
// show goes on, says what is wrong, and loses no file that was whole.
#include "CatalogueServiceLauncher.h"
#include "DemoHome.h"
#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "ProgramHarness.h"
#include "app/ShowAssembly.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/Scheduler.h"
#include "run/Supervisor.h"
#include "settings/Connection.h"
#include "settings/LanguageChoice.h"
#include "settings/RemovedFolder.h"
#include "settings/SettingsFile.h"
#include "shell/FormPicture.h"
#include "show/StatusBar.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr double kScale = 0.01;

// Rows and picture IDs: a JPEG map, a PNG, a radar loop and the news page
// whose first picture is a map.
const QStringList kSelection = {"0", "1", "1", "2", "2", "3", "7", "8"};

// The settings files of a work folder, by name, with their bytes.
QMap<QString, QByteArray> settingsFiles(const QString& work) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(work).entryList({"*.dat", "*.bak"}, QDir::Files)) {
        files.insert(name, readFile(work + "/" + name));
    }
    return files;
}

// The real catalogue service, started again on the same port with other
// faults, as a service that goes wrong and comes back would be.
class Service : public CatalogueServiceLauncher {
public:
    bool start(const QString& faults = {}) {
        return CatalogueServiceLauncher::start(
            faults.isEmpty() ? QStringList{} : QStringList{"--faults", faults}, port);
    }
};

// The sponsor page opened at the end goes nowhere.
class QuietShell : public platform::Shell {
public:
    Result openUrl(const QString&) override { return {true, {}}; }
};

// What the screen showed at one slide.
struct Seen {
    int slide;
    bool failed;       // recorded as not loaded
    bool errorPicture; // the error picture on screen
    QString notice;    // the countdown line, when shown
    bool keptPicture;  // an earlier cycle's picture, marked with its age
};

// Root passes every permission check, so a read-only folder stops only a
// thread without CAP_DAC_OVERRIDE. The program writes from this one thread.
bool setDacOverride(bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, caps) != 0) {
        return false;
    }
    const __u32 bit = 1u << (CAP_DAC_OVERRIDE % 32);
    __user_cap_data_struct& word = caps[CAP_DAC_OVERRIDE / 32];
    word.effective = on ? (word.effective | (word.permitted & bit)) : (word.effective & ~bit);
    return syscall(SYS_capset, &header, caps) == 0;
}

// A folder nothing may be written into while this lives.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(const QString& folder) : folder_(folder) {
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::ExeOwner);
        setDacOverride(false);
    }
    ~ReadOnlyFolder() {
        setDacOverride(true);
        QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool holds() const {
        QFile probe(folder_ + "/probe");
        const bool written = probe.open(QIODevice::WriteOnly);
        probe.remove();
        return !written;
    }

private:
    QString folder_;
};

// A disk with no byte left, as this process sees it: every write that would
// make a file longer fails (with EFBIG rather than the signal).
class FullDisk {
public:
    FullDisk() {
        getrlimit(RLIMIT_FSIZE, &before_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit none{0, before_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit before_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

} // namespace

class TestFaultMatrix : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void serviceFaultShowsErrorPictureThenRecovers_data();
    void serviceFaultShowsErrorPictureThenRecovers();
    void unwritableDiskKeepsShowAndFiles_data();
    void unwritableDiskKeepsShowAndFiles();
    void unwritableWorkFolderAtLoopResetKeepsShowing_data();
    void unwritableWorkFolderAtLoopResetKeepsShowing();
    void cutSettingsFileKeepsShowing_data();
    void cutSettingsFileKeepsShowing();
    void emptySettingsFileStartsAfresh();
    void settingsFileAsFolderKeepsTheOthers();
    void refusingProxyIsShownUntilChanged();

private:
    void startProgram(const QString& site);
    void quitProgram();
    int slides() { return std::max(1, int(state().cntImagesLoaded)); }
    // Whether the latest showing of every slide since seen_[from] had the
    // error picture and its notice exactly for the failed slides.
    // A failed slide that loaded in an earlier cycle shows its kept picture
    // instead of the error picture when keptPictures is set.
    bool latestShowingsSince(qsizetype from, const QList<int>& failed, bool keptPictures);
    // Waits until the slides show so, then checks one more round.
    void waitForShowing(qsizetype from, const QList<int>& failed, bool keptPictures = false);
    void answerFirstStartQuestions();
    QString work(const QString& name = {}) const { return home_->work(name); }
    RunState& state() { return form_->state; }
    const Slide& slideAt(int s) { return form_->cycles().slides().at(s); }

    std::unique_ptr<TemporaryHome> home_;
    platform::ScriptedDialogs dialogs_;
    QuietShell shell_;
    std::unique_ptr<FormPicture> form_;
    QList<Seen> seen_;
    QTimer person_;
    QStringList noticesWhenAsked_; // the countdown line when the connection was asked
};

void TestFaultMatrix::init() {
    platform::setTimeScale(kScale);
    home_ = std::make_unique<TemporaryHome>();
    dialogs_.clear();
    seen_.clear();
    noticesWhenAsked_.clear();
}

void TestFaultMatrix::cleanup() {
    person_.stop();
    person_.disconnect();
    form_.reset();
}

void TestFaultMatrix::startProgram(const QString& site) {
    qputenv("SKYGLANCE_SITE", site.toUtf8());
    FormPicture::Options options;
    options.screenPixels = QSize(1280, 720);
    options.dialogs = &dialogs_;
    options.shell = &shell_;
    form_ = ShowAssembly::build(options);
    connect(form_.get(), &FormPicture::slideShown, this, [this](int slide) {
        const QLabel* line = form_->statusBar().lCountDown;
        seen_.append({slide, !slideAt(slide).loaded,
                      slideAt(slide).picture == form_->ErrLoadPicture,
                      line->isHidden() ? QString() : line->text(),
                      state().statusLine2.startsWith(QLatin1String("Picture of "))});
    });
    form_->show();
    QVERIFY(form_->Form_Load());
    // The placeholder that replaces old loops lies beside the program.
    state().appPath = ProgramHarness::folder();
}

void TestFaultMatrix::quitProgram() {
    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    form_->supervisor().request(Command::Quit);
    QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
}

bool TestFaultMatrix::latestShowingsSince(qsizetype from, const QList<int>& failed,
                                          bool keptPictures) {
    QMap<int, Seen> latest;
    for (qsizetype i = from; i < seen_.size(); ++i) {
        latest.insert(seen_[i].slide, seen_[i]);
    }
    if (latest.size() < slides()) {
        return false;
    }
    const QString notice = QString::fromLatin1(kImageMissingText);
    for (const Seen& s : latest) {
        const bool fails = failed.contains(s.slide);
        const bool kept = fails && keptPictures;
        if (s.failed != fails || s.errorPicture != (fails && !kept) || s.keptPicture != kept ||
            s.notice != (fails ? notice : "")) {
            return false;
        }
    }
    return true;
}

void TestFaultMatrix::waitForShowing(qsizetype from, const QList<int>& failed, bool keptPictures) {
    QTRY_VERIFY_WITH_TIMEOUT(latestShowingsSince(from, failed, keptPictures), 120000);
    const qsizetype round = seen_.size();
    QTRY_VERIFY_WITH_TIMEOUT(seen_.size() >= round + slides(), 60000);
    QVERIFY(latestShowingsSince(round, failed, keptPictures));
}

// The person at the screen picks English and a direct connection.
void TestFaultMatrix::answerFirstStartQuestions() {
    connect(&person_, &QTimer::timeout, this, [this] {
        if (form_ == nullptr) {
            return;
        }
        if (form_->Frame_Select_Language->isVisible()) {
            form_->languageChoice().English_01->click();
        } else if (form_->Frame_Select_Connection->isVisible()) {
            noticesWhenAsked_ << form_->statusBar().lCountDown->text();
            form_->connection().No_Proxy->click();
            form_->connection().Connection_Selected->click();
        }
    });
    person_.start(20);
}

void TestFaultMatrix::serviceFaultShowsErrorPictureThenRecovers_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("fromStart");
    for (const char* kind : {"stall", "truncate", "404", "oversize", "type", "redirect"}) {
        QTest::newRow(kind) << QString::fromLatin1(kind) << true;
    }
    // Dead from the start, the show would never begin: it goes after a while.
    QTest::newRow("dead") << QStringLiteral("dead") << false;
}

void TestFaultMatrix::serviceFaultShowsErrorPictureThenRecovers() {
    QFETCH(QString, fault);
    QFETCH(bool, fromStart);
    const QString faults = fault + "@0+86400";
    Service service;
    QVERIFY(service.start(fromStart ? faults : QString()));
    seedDemoHome(home_->path(), kSelection);
    const QMap<QString, QByteArray> before = settingsFiles(work());
    startProgram(service.site);
    qsizetype from = 0;
    if (!fromStart) {
        waitForShowing(0, {});
        QVERIFY(service.start(faults));
        from = seen_.size();
        form_->supervisor().ImageConnesso_Click();
    }
    // Pictures that were fine before keep showing, marked; only a slide that
    // never loaded shows the error picture.
    waitForShowing(from, {0, 1, 2, 3}, !fromStart);
    QCOMPARE(settingsFiles(work()), before);

    // The service mends; a click on the connection icon fetches again.
    QVERIFY(service.start());
    from = seen_.size();
    form_->supervisor().ImageConnesso_Click();
    waitForShowing(from, {});
    QCOMPARE(settingsFiles(work()), before);
}

enum class DiskFault { ReadOnlyWorkFolder, FullDisk };

void TestFaultMatrix::unwritableDiskKeepsShowAndFiles_data() {
    QTest::addColumn<DiskFault>("fault");
    QTest::addColumn<QList<int>>("failedSlides");
    // The news page's picture is kept in a folder of its own.
    QTest::newRow("read-only work folder") << DiskFault::ReadOnlyWorkFolder << QList<int>{0, 1, 2};
    QTest::newRow("full disk") << DiskFault::FullDisk << QList<int>{0, 1, 2, 3};
}

void TestFaultMatrix::unwritableDiskKeepsShowAndFiles() {
    QFETCH(DiskFault, fault);
    QFETCH(QList<int>, failedSlides);
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    const QMap<QString, QByteArray> before = settingsFiles(work());
    std::unique_ptr<ReadOnlyFolder> readOnly;
    std::unique_ptr<FullDisk> full;
    if (fault == DiskFault::ReadOnlyWorkFolder) {
        readOnly = std::make_unique<ReadOnlyFolder>(work());
        if (!readOnly->holds()) {
            QSKIP("the work folder cannot be made read-only here");
        }
    } else {
        full = std::make_unique<FullDisk>();
    }
    startProgram(service.site);
    waitForShowing(0, failedSlides);
    // The settings cannot be saved at the end: the message says so and the
    // files stay as they were.
    quitProgram();
    QVERIFY(dialogs_.shownTexts().contains(SettingsTexts::writeError(1)));
    readOnly.reset();
    full.reset();
    QCOMPARE(settingsFiles(work()), before);
}

void TestFaultMatrix::unwritableWorkFolderAtLoopResetKeepsShowing_data() {
    QTest::addColumn<DiskFault>("fault");
    QTest::newRow("read-only work folder") << DiskFault::ReadOnlyWorkFolder;
    QTest::newRow("full disk") << DiskFault::FullDisk;
}

// The next cycle cannot put the placeholder over the old loops: the message
// says the work folder cannot be written, the slides on show go on, the old
// loop stays whole, and the cycle after the fault runs again.
void TestFaultMatrix::unwritableWorkFolderAtLoopResetKeepsShowing() {
    QFETCH(DiskFault, fault);
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    startProgram(service.site);
    waitForShowing(0, {});
    const QString loop = state().imgFileBase + state().aniGifPrefix + "1.gif";
    const QByteArray loopBytes = readFile(loop);
    QVERIFY(loopBytes.startsWith("GIF"));
    QSignalSpy ended(form_.get(), &FormPicture::programEnded);
    const QString told = WorkFolderUnwritableText(1, state().Skyglance_Work_Dir);
    {
        std::unique_ptr<ReadOnlyFolder> readOnly;
        std::unique_ptr<FullDisk> full;
        if (fault == DiskFault::ReadOnlyWorkFolder) {
            readOnly = std::make_unique<ReadOnlyFolder>(work());
            if (!readOnly->holds()) {
                QSKIP("the work folder cannot be made read-only here");
            }
        } else {
            full = std::make_unique<FullDisk>();
        }
        form_->supervisor().ImageConnesso_Click();
        QTRY_VERIFY_WITH_TIMEOUT(dialogs_.shownTexts().contains(told), 60000);
        const qsizetype from = seen_.size();
        QTRY_VERIFY_WITH_TIMEOUT(seen_.size() >= from + slides(), 60000);
        QVERIFY(latestShowingsSince(from, {}, false));
        QCOMPARE(readFile(loop), loopBytes);
    }
    QCOMPARE(ended.size(), 0);
    const int cycles = form_->cycles().completedCycles();
    form_->supervisor().ImageConnesso_Click();
    QTRY_VERIFY_WITH_TIMEOUT(form_->cycles().completedCycles() > cycles, 120000);
    waitForShowing(seen_.size(), {});
    QCOMPARE(dialogs_.shownTexts().count(told), 1);
}

void TestFaultMatrix::cutSettingsFileKeepsShowing_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QList<int>>("failedSlides");
    QTest::addColumn<QByteArray>("savedAtQuit");
    QTest::addColumn<QByteArray>("completedAtStart");
    // The display mode is cut short: a window instead of the full screen,
    // written back whole at the end.
    QTest::newRow("settings") << "Skyglance7_Config.dat" << false << QString() << QList<int>{}
                              << crlf({"15", "8", "Normal", "", ""}) << QByteArray();
    // The radar loop loses its ID and the news page its line: the service
    // names the missing picture for the one, the other is gone.
    QTest::newRow("selection") << "Skyglance7_Picture_List.dat" << true << QString()
                               << QList<int>{2} << QByteArray() << QByteArray();
    // The town file keeps what it holds, down to the cut ninth line, and is
    // completed from the defaults without a question.
    QTest::newRow("home town") << "Skyglance7_MyTown.dat" << true << QString() << QList<int>{}
                               << QByteArray()
                               << crlf({"Courmayeur", "New+York", "ny", "us", "Naples", "Italy",
                                        "OPTION1", "OPTION2", "O", "OPTION4", "OPTION5", "OPTION6",
                                        "OPTION7", "OPTION8", "F", " ", " ", " "});
}

void TestFaultMatrix::cutSettingsFileKeepsShowing() {
    QFETCH(QString, file);
    QFETCH(bool, fullScreen);
    QFETCH(QString, message);
    QFETCH(QList<int>, failedSlides);
    QFETCH(QByteArray, savedAtQuit);
    QFETCH(QByteArray, completedAtStart);
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    const QByteArray whole = readFile(work(file));
    writeFile(work(file), whole.left(whole.size() / 2));
    QMap<QString, QByteArray> before = settingsFiles(work());
    startProgram(service.site);
    waitForShowing(0, failedSlides);
    QCOMPARE(form_->settings().fullScreen(), fullScreen);
    if (!message.isEmpty()) {
        QVERIFY(dialogs_.shownTexts().contains(message));
    }
    QVERIFY(!dialogs_.shownTexts().contains("Error FileTown - Cleanup Please"));
    if (!completedAtStart.isEmpty()) {
        before[file] = completedAtStart;
    }
    QCOMPARE(settingsFiles(work()), before);
    quitProgram();
    QMap<QString, QByteArray> expected = before;
    if (!savedAtQuit.isEmpty()) {
        expected[file] = savedAtQuit;
    }
    QCOMPARE(settingsFiles(work()), expected);
}

void TestFaultMatrix::emptySettingsFileStartsAfresh() {
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    writeFile(work("Skyglance7_Config.dat"), QByteArray());
    const QMap<QString, QByteArray> before = settingsFiles(work());
    answerFirstStartQuestions();
    startProgram(service.site);
    waitForShowing(0, {});
    // The four files of the choices are deleted and the first start's choices
    // made again: the default settings and selection, the language and the
    // connection the person picks. The home town and the backup stay.
    const QMap<QString, QByteArray> after = settingsFiles(work());
    QCOMPARE(after["Skyglance7_Config.dat"], crlf({"15", "8", "Full_Screen", "", ""}));
    QCOMPARE(after["Skyglance7_Picture_List.dat"],
             crlf({"0", "1", "1", "2", "2", "3", "3", "4", "", ""}));
    QCOMPARE(after["Skyglance7_Language.dat"], QByteArray(" 1"));
    QCOMPARE(after["Skyglance7_Proxy.dat"], before["Skyglance7_Proxy.dat"]);
    QCOMPARE(after["Skyglance7_MyTown.dat"], before["Skyglance7_MyTown.dat"]);
    QCOMPARE(after["Skyglance7_Proxy.bak"], before["Skyglance7_Proxy.bak"]);
}

// A folder where the settings file should be: the message names it, the
// show runs on the defaults with the selection as it was, and no other file
// is deleted or rewritten, at the start or at the end.
void TestFaultMatrix::settingsFileAsFolderKeepsTheOthers() {
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    QFile::remove(work("Skyglance7_Config.dat"));
    QVERIFY(QDir().mkpath(work("Skyglance7_Config.dat")));
    const QMap<QString, QByteArray> before = settingsFiles(work());
    startProgram(service.site);
    waitForShowing(0, {});
    const QString told =
        SettingsTexts::unreadableFile(1, work("Skyglance7_Config.dat"), Unreadable::Folder);
    QCOMPARE(dialogs_.shownTexts().count(told), 1);
    QCOMPARE(settingsFiles(work()), before);
    quitProgram();
    QCOMPARE(settingsFiles(work()), before);
    QVERIFY(removedFolders(work()).isEmpty());
}

void TestFaultMatrix::refusingProxyIsShownUntilChanged() {
    Service service;
    QVERIFY(service.start());
    seedDemoHome(home_->path(), kSelection);
    const QByteArray proxy = crlf({"127.0.0.1", QString::number(nettest::deadPort()), "", "", "1"});
    writeFile(work("Skyglance7_Proxy.dat"), proxy);
    const QMap<QString, QByteArray> before = settingsFiles(work());
    // Nothing to show: the countdown line says the connection is awaited
    // until the connection choice is offered again, and the person picks a
    // direct connection.
    answerFirstStartQuestions();
    startProgram(service.site);
    waitForShowing(0, {});
    QVERIFY(!noticesWhenAsked_.isEmpty());
    QVERIFY2(noticesWhenAsked_.first().startsWith(ConnectionWaitText(1)),
             qPrintable(noticesWhenAsked_.first()));
    QCOMPARE(readFile(work("Skyglance7_Proxy.dat")), crlf({"", "", "", "", "0"}));
    QCOMPARE(readFile(work("Skyglance7_Proxy.bak")), before["Skyglance7_Proxy.bak"]);
}

QTEST_MAIN(TestFaultMatrix)
#include "test_fault_matrix.moc"
