#pragma once
// The show as an owner meets it: the real catalogue service, a home folder in
// the program's own formats, and the program left to itself at a small
// timing knob. Only the person at the screen is played by the test. The
// cases are in test_show_runs.cpp and test_show_runs_outside.cpp.
#include "CatalogueServiceLauncher.h"
#include "DemoHome.h"
#include "FileHelpers.h"
#include "LoopbackPeers.h"
#include "NginxFront.h"
#include "ProgramHarness.h"
#include "anigif/ucAniGIF.h"
#include "app/ShowAssembly.h"
#include "browser/Browser.h"
#include "catalogue/SelectionTable.h"
#include "download/PictureBudget.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "run/DownloadCycle.h"
#include "run/LastGood.h"
#include "run/Scheduler.h"
#include "run/Supervisor.h"
#include "settings/Connection.h"
#include "settings/LanguageChoice.h"
#include "settings/RemovedFolder.h"
#include "shell/FormPicture.h"
#include "show/PictureBox.h"
#include "show/Presenter.h"
#include "show/StatusBar.h"
#include "ui/ConfigurationPanel.h"

#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QListWidget>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

inline constexpr double kScale = 0.01;

// The catalogue service on `port` (0: a free one) with its access log, whose
// targets a test reads.
class Service : public CatalogueServiceLauncher {
public:
    explicit Service(quint16 onPort = 0, const QStringList& extra = {}) {
        start(QStringList{"--access-log", log()} + extra, onPort);
    }
    QString log() const { return tempPath("access.log"); }
    QStringList targets() const { return askedTargets(log()); }
};

// What the screen showed at each slide.
struct Seen {
    int slide;
    QString line1;
    QString line2;
    int interval;
    bool animation;
    int kind = 0;
    bool loopPlaying = false;
    bool loopIsOwn = false;
    QString notice;
    QString bar = {};   // the status text as the bar shows it
    QColor centre = {}; // the window's pixel at the picture's centre, when grabbed
};

class TestShowRuns : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void showRunsByItselfInSelectionOrder();
    void firstStartAsksLanguageAndConnection();
    void unreachableServiceKeepsCountingDown();
    void errReplyShowsFailedTextAndAsksAgain();
    void panelStartWithUnchangedTicksFetchesNothing();
    void serviceLostMidShowKeepsSlidesAndFiles();
    void closingFromOutsideQuitsInOrder();
    void restartWithoutNetworkPlaysLastGoodPictures();
    void restartWithKeptPicturesShowsThemUntilTheLiveSlides();
    void everyLoopPlaysItsOwnFileRoundAfterRound();
    void failedPicturesKeepTheirLastGoodOnes();
    void incompleteCatalogueKeepsSavedSelection();
    void refusedRequestEndsTheProgram_data();
    void refusedRequestEndsTheProgram();
    void unattendedProgramSaysWhyItWaitsAndEndsWhenRefused();
    void malformedSeriesClosesItsBoxAndTheShowGoesOn();
    void serviceGoneBeforeTheFirstPassIsTold();
    void statusPageOutlastsSlowAndIdleClientsAndAsksForItsToken();
    void screensReportToTheFleetService();
    void picturesBeyondTheBudgetAreScaledOrRefused();
    void quietRefreshKeepsTheShowOnScreen();

private:
    void startProgram(const QString& site);
    void keepPicturesOfAFirstRun(const QString& site);
    void waitForSlides(int count);
    void forceCycleAndWait(int slidesAfter);
    void checkLoopsPlayTheirOwnFiles(qsizetype from, int atLeast = 3);
    void openPanel();
    QString work(const QString& name) const { return home_->work(name); }
    RunState& state() { return form_->state; }
    const Slide& slideAt(int s) { return form_->cycles().slides().at(s); }

    std::unique_ptr<TemporaryHome> home_;
    platform::ScriptedDialogs dialogs_;
    std::unique_ptr<FormPicture> form_;
    QList<Seen> seen_;
    // Each kept slide shown: its place in the set, ms since the window showed.
    QList<std::pair<int, qint64>> kept_;
    QElapsedTimer sinceWindow_;
    bool grabSlides_ = false;
};

// Rows and IDs: a JPEG map, a radar loop ("200"), a PNG ("99"), a storm map
// ("200").
inline const QStringList kSelection = {"0", "1", "2", "3", "15", "16", "20", "21"};
