#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>

class QWidget;
struct RunState;
namespace platform {
class Dialogs;
class Shell;
} // namespace platform

// Runs handler on a click of the widget: a button's clicked signal, or a
// mouse release on anything else (the caption labels beside the icons).
void connectClick(QWidget* widget, std::function<void()> handler);

// ---- The document opener.

// Window-show codes the callers pass.
inline constexpr int32_t kShowHidden = 0;
inline constexpr int32_t kShowNormal = 1;
inline constexpr int32_t kShowDefault = 10;

// The base of the opener's own error numbers (0x80040418 as a signed value).
inline constexpr int32_t kShellErrorBase = -2147220456;

// Shell results in the style of the desktop opener: 0..32 are failures,
// anything else success.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellPathNotFound = 3;
inline constexpr int kShellAccessDenied = 5;
inline constexpr int kShellBadProgram = 11;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellSuccess = 42;

struct ShellErrorRecord {
    int32_t number = 0;
    QString source;
    QString description;
};

bool ShellSucceeded(int shellResult);
// The error record for a failed shell result; source is programName & ".GShell".
ShellErrorRecord ShellErrorFor(int shellResult, const QString& programName);
// The show code the shell is asked for: hidden for a program file, normal
// when neither parameters nor a folder are given.
int32_t ShellShowCommand(const QString& File, int32_t ShowCommand, const QString& Parameters,
                         const QString& Directory);

// Opens documents and web addresses through platform::Shell and keeps the
// error record of the last failure. Errors never leave it.
class ShellOpener {
public:
    // programName empty: the application's name.
    explicit ShellOpener(platform::Shell& shell, QString programName = {});

    // Only the operation "open" (or none) is known; OwnerWindow is accepted
    // for the callers' sake, the desktop opener has no use for it.
    bool ShellOpen(const QString& File, int32_t ShowCommand, const QString& Parameters,
                   const QString& Directory, const QString& Operation,
                   QWidget* OwnerWindow = nullptr);

    const ShellErrorRecord& lastError() const { return lastError_; }
    int32_t lastShowCommand() const { return lastShowCommand_; }
    int lastShellResult() const { return lastShellResult_; }

private:
    int runShell(const QString& File, const QString& Parameters, const QString& Directory,
                 const QString& Operation);
    int openLocalFile(const QString& path, const QString& Parameters, const QString& Directory);

    platform::Shell& shell_;
    QString programName_;
    ShellErrorRecord lastError_;
    int32_t lastShowCommand_ = kShowDefault;
    int lastShellResult_ = kShellSuccess;
};

// ---- Help pages and remote assistance.

// Where the help pages are, asked each time a page opens.
class HelpPages {
public:
    virtual ~HelpPages() = default;
    // The full address of a help page path such as "/eng_help1.asp".
    virtual QString helpPageAddress(const QString& pagePath) const = 0;
};

class OnlineHelp : public QObject {
    Q_OBJECT
public:
    enum class Section { RunExit, InformationBar, Pictures, Timers };

    // The page path of a section in a language; null outside 1 to 4.
    static QString helpPagePath(Section section, int lingua);
    // The five-line notice before the remote-assistance program starts.
    static QString teamViewerNotice(int lingua);
    // The help text of the remote-assistance icon.
    static QString teamViewerHelpText(int lingua);
    // The remote-assistance program is nowhere to be found / did not start.
    static QString teamViewerMissingText(int lingua);
    static QString teamViewerFailedText(int lingua, const QString& reason);
    // The program's file name beside the program, by language.
    static QString teamViewerFileName(int lingua);

    OnlineHelp(RunState& state, platform::Dialogs& dialogs, platform::Shell& shell,
               const HelpPages& pages, QWidget* mainWindow = nullptr);

    // The four timer boxes the "Display Timers" help colours.
    void setTimerBoxes(const QList<QWidget*>& boxes) { timerBoxes_ = boxes; }
    // Connects icon and label pairs; null widgets are skipped.
    void attachHelpControls(QWidget* helpEsegui, QWidget* helpEsegui2, QWidget* helpImg,
                            QWidget* helpImg2, QWidget* helpTime, QWidget* helpTime2,
                            QWidget* infoStatusBar, QWidget* infoStatusBar2);
    // The remote-assistance icon (its picture goes to the help box) and label.
    void attachRemoteHelp(QWidget* RunTeamViewer, QWidget* IcoHelpTools2);

    void helpEsegui_Click();
    void helpImg_Click();
    void helpTime_Click();
    void infoStatusBar_Click();
    void RunTeamViewer_Click();
    void RunTeamViewer_MouseMove();

    // The remote-assistance program for the current language: beside the
    // program first, then teamviewer on the PATH; empty when there is none.
    QString teamViewerProgram() const;

    ShellOpener& opener() { return opener_; }

signals:
    // The mouse is over the remote-assistance icon while the panel's help is
    // on: the text and picture for the panel's help box.
    void remoteHelpHovered(const QString& text, const QIcon& picture);

private:
    void openHelp(Section section);
    void colourTimerBoxes();

    RunState& state_;
    platform::Dialogs& dialogs_;
    platform::Shell& shell_;
    const HelpPages& pages_;
    QWidget* mainWindow_;
    ShellOpener opener_;
    QList<QWidget*> timerBoxes_;
    QIcon teamViewerPicture_;
};
