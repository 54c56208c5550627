#pragma once

#include "state/Command.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <memory>

class FetchPrimitives;
class QLabel;
class QTimer;
class QWidget;
class SettingsFile;
struct RunState;
struct TextRequestTicket;

// The countdown line while the first reply is awaited, without the number.
QString ConnectionWaitText(int lingua);
// The progress line of a download cycle: "… 3 of 12" in the language.
QString ProgressText(int lingua, int loaded, int toLoad);

// The timers and controls the supervisor drives.
struct SupervisorControls {
    QWidget* window = nullptr;
    QTimer* generalClock = nullptr;
    QTimer* utilityTmr = nullptr;
    QTimer* panControl = nullptr;
    QTimer* imgClock = nullptr;
    QLabel* lCountDown = nullptr;
    QWidget* btSetup = nullptr;
    QWidget* btWait = nullptr;
    QWidget* btHelp = nullptr;
    QWidget* btTermina = nullptr;
    QWidget* BtAnimation = nullptr;
    QLabel* whoWeAre = nullptr;
    QWidget* SSTCfg_ExitProgram2 = nullptr;
};

// What the supervisor asks of the rest of the program and needs an answer to.
class SupervisorHost {
public:
    virtual ~SupervisorHost() = default;
    // Starts the first request ("x5555") and returns at once.
    virtual std::shared_ptr<const TextRequestTicket> startFirstRequest() = 0;
    // True while a download cycle runs (nothing is started inside it), while
    // pictures are being loaded, and while a slide tick runs.
    virtual bool cycleRunning() const = 0;
    virtual bool loadingPictures() const = 0;
    virtual bool slideTickRunning() const = 0;
    // A refresh that fetches off screen: its progress is not shown.
    virtual bool refreshingQuietly() const = 0;
    // The last good pictures of an earlier run: started once before the
    // first request (true when a set plays), in place of the logo, and asked
    // whether they play.
    virtual bool startLastGood() = 0;
    virtual bool lastGoodPlaying() const = 0;
};

// The timers that start, watch and stop the show.
class Supervisor : public QObject {
    Q_OBJECT

public:
    // fetch sends the first request; its reply is awaited through it.
    Supervisor(RunState& state, const SettingsFile& settings, const FetchPrimitives& fetch,
               SupervisorControls controls, SupervisorHost& host);

    void generalClock_Timer();
    void utilityTmr_Timer();
    void panControl_Timer();
    void ImageConnesso_Click();

    // 0: the first request must be sent; 1: waiting for its reply; 2: the
    // reply arrived and was accepted.
    int startState() const { return startState_; }

    // The one way to ask for a command: it replaces any command not yet
    // carried out.
    void request(Command command);
    Command pending() const { return pending_; }

signals:
    void commandChanged(Command command);
    // A general clock tick begins: the connection icon is brought up to date.
    void connectionStateDue();
    // The logo goes on the screen.
    void logoDue();
    // The start-up steps before the first request, in this order.
    void languageDue();
    void connectionSettingsDue();
    void townDue();
    // The countdown ran out: read the proxy file, offer the connection choice
    // again and apply it.
    void connectionChoiceDue();
    // The first reply was accepted: the last good pictures play on until
    // the first live slide, no longer waiting for the network.
    void firstReplyAccepted();
    // Opening the panel: its buttons wait, then it opens for a new selection;
    // once it is shown its buttons are ready again.
    void panelButtonsWaitDue();
    void panelForSelectionDue();
    void panelButtonsReadyDue();
    void quitDue();
    // The run-state box: its colour (0x00BBGGRR) and the number it shows.
    void timerFlagColourChanged(unsigned colour);
    void timerFlagNumberChanged(int value);
    // A general clock tick has ended.
    void generalClockTicked();
    // Why the show waits; empty when it waits no more.
    void waitReasonNoted(const QString& reason);

private:
    void startUp();
    void showCountdown();
    void judgeFirstReply();
    void showWaitButtons();
    void resendAfterTransportFailure();
    void showProgress();
    void openPanel();
    // " - address: what went wrong" of the last failed first request, or empty.
    QString failureDetail() const;

    RunState& state_;
    const SettingsFile& settings_;
    const FetchPrimitives& fetch_;
    SupervisorControls c_;
    SupervisorHost& host_;
    int startState_ = 0;
    Command pending_ = Command::None;
    std::shared_ptr<const TextRequestTicket> ticket_;
    QElapsedTimer sinceRequest_;
    QString lastFailure_;
    bool lastGoodTried_ = false;
};
