#pragma once

#include "platform/NetProxy.h"
#include "state/Command.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

class QLineEdit;
class QScrollBar;
class QSpinBox;
class QTableWidget;
class QTimer;
class QWidget;
class SlideList;
struct RunState;

// A timer as the diagnostics list it.
struct NamedTimer {
    QString name;
    QTimer* timer = nullptr;
};

// Where the proxy window takes the proxy from, asked at each refresh.
class ProxySource {
public:
    virtual ~ProxySource() = default;
    // The proxy as the connection's controls hold it now.
    virtual platform::ProxySetting currentSetting() const = 0;
};

// The flags of the run, from the parts that keep them; the timers window
// shows each as 1 or 0.
struct RunFlags {
    bool slideTickRunning = false;
    bool loading = false;
    bool replyArrived = false;
    bool catalogueLoaded = false;
    bool catalogueRequested = false;
    bool settingsUnsaved = false;
    bool reloadingAll = false;
    bool fullScreen = false;
};

// Where the timers window takes the run's flags from, asked at each refresh.
class RunFlagSource {
public:
    virtual ~RunFlagSource() = default;
    virtual RunFlags runFlags() const = 0;
};

// The three read-only windows of the DEBUG_CODE option: the picture tables
// (frmDebug), the timers with the guard flags and counters (frmDebugTimers)
// and the proxy values (frmDebugProxy). They show a snapshot; refresh()
// takes a new one. Ticks are counted from construction, open or not.
class Diagnostics : public QObject {
    Q_OBJECT
public:
    // The windows are top-level windows owned by parent (may be null).
    Diagnostics(RunState& state, const SlideList& slides, QList<NamedTimer> timers,
                const ProxySource& proxy, const RunFlagSource& flags, QWidget* parent = nullptr);
    ~Diagnostics() override;

    // Shows the three windows without being modal, in front.
    void open();
    void close();
    bool isOpen() const;

    // All three windows; once the program has started to quit they close.
    void refresh();
    void refreshTables();
    void refreshTimers();
    void refreshProxy();

    int ticks(const QString& timerName) const { return ticks_.value(timerName); }

    // The slide tick takes this interval at its next run.
    void setSlideInterval(int milliseconds);

    // The command the supervisor has pending, shown among the flags.
    void showCommand(Command command) { command_ = command; }

    // The views, null while closed. Pictures by catalogue index and by slide:
    // only rows in use; the first column is the index.
    QTableWidget* catalogueRows() const;
    QTableWidget* slideRows() const;
    QTableWidget* timerRows() const;
    QTableWidget* flagRows() const;
    QTableWidget* proxyRows() const;

    // The password as the window shows it: one star per character.
    static QString maskedPassword(const QString& password);

private:
    void createWindows();
    QWidget* newWindow(const char* name, const QString& title);
    bool insideShow() const;
    void placeInsideShow();

    RunState& state_;
    const SlideList& slides_;
    QList<NamedTimer> timers_;
    const ProxySource& proxy_;
    const RunFlagSource& flags_;
    QPointer<QWidget> parent_;
    QHash<QString, int> ticks_;
    QList<QPointer<QWidget>> windows_;
    QPointer<QTableWidget> catalogueRows_;
    QPointer<QTableWidget> slideRows_;
    QPointer<QTableWidget> timerRows_;
    Command command_ = Command::None;
    QPointer<QTableWidget> flagRows_;
    QPointer<QTableWidget> proxyRows_;
    QPointer<QSpinBox> slideInterval_;
};

// The status bar's tuning aids: the scroll bar PotBar sets the aspect ratio
// the bar is laid out with, the text box DebugBarra shows the values the
// last layout used. Both are hidden unless the diagnostics show them.
class BarTuning : public QObject {
    Q_OBJECT
public:
    BarTuning(RunState& state, QWidget* parent);

    QScrollBar* PotBar = nullptr;
    QLineEdit* DebugBarra = nullptr;

    // Ratio_X_Y = PotBar's value / 10, then ratioChanged.
    void PotBar_Change();
    // The layout's last step: hide both and note the values used.
    void afterLayout(double barH, double k, int screenWidthTwips, int screenHeightTwips);

    static QString valuesUsedText(double barH, double k, float ratioXY, int screenWidthTwips,
                                  int screenHeightTwips);

signals:
    // Ratio_X_Y has a new value: the bar must be laid out again.
    void ratioChanged();

private:
    RunState& state_;
};
