#pragma once

#include "state/Command.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QTimer;
class QWidget;
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
    QLineEdit* SSTCfg_timeDwLoad = nullptr;
};

// What the supervisor asks of the rest of the program.
struct SupervisorActions {
    std::function<void()> ShowConnectionState;
    std::function<void()> showLogo;
    std::function<void()> LoadLanguage;
    std::function<void()> CheckConnectionSettings;
    std::function<void()> LoadTown;
    // Reads the proxy file, offers the choice again and applies it.
    std::function<void()> reofferConnection;
    // Starts the first request ("x5555") and returns at once.
    std::function<std::shared_ptr<const TextRequestTicket>()> startFirstRequest;
    std::function<void()> OpenPanelForSelection;
    std::function<void()> SetPanelButtonsWait;
    std::function<void()> SetPanelButtonsReady;
    std::function<void()> QuitProgram;
    // The run-state box: its colour (0x00BBGGRR) and the number it shows.
    std::function<void(unsigned colour)> setTimerFlagColour;
    std::function<void(int value)> showTimerFlagNumber;
    std::function<void()> refreshDiagnostics;
    std::function<void(int ms)> pause;
    // True while a download cycle runs (nothing is started inside it).
    std::function<bool()> cycleRunning;
    // The last good pictures of an earlier run: started once while the first
    // reply is awaited (true when a set plays), asked, and stopped when the
    // reply is accepted.
    std::function<bool()> startLastGood;
    std::function<bool()> lastGoodPlaying;
    std::function<void()> stopLastGood;
    // Tells the watchers why the show waits; empty when it waits no more.
    std::function<void(const QString& reason)> noteWaiting;
};

// The timers that start, watch and stop the show.
class Supervisor : public QObject {
    Q_OBJECT

public:
    Supervisor(RunState& state, SupervisorControls controls, SupervisorActions actions);

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

private:
    void startUp();
    void showCountdown();
    void judgeFirstReply();
    void showWaitButtons();
    void resendAfterTransportFailure();
    void showProgress();
    void openPanel();
    bool lastGoodPlaying() const;
    void noteWaiting(const QString& reason);
    // " - address: what went wrong" of the last failed first request, or empty.
    QString failureDetail() const;

    RunState& state_;
    SupervisorControls c_;
    SupervisorActions a_;
    int startState_ = 0;
    Command pending_ = Command::None;
    std::shared_ptr<const TextRequestTicket> ticket_;
    QElapsedTimer sinceRequest_;
    QString lastFailure_;
    bool lastGoodTried_ = false;
};
