#include "ui/OnlineHelp.h"

#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QAbstractButton>
#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QPalette>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <array>
#include <utility>

namespace {

// Passes one kind of event on a widget to a handler; owned by the widget.
class EventRelay : public QObject {
public:
    EventRelay(QWidget* widget, QEvent::Type type, std::function<void()> handler)
        : QObject(widget), type_(type), handler_(std::move(handler)) {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_ && handler_) {
            handler_();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
    std::function<void()> handler_;
};

void connectHover(QWidget* widget, std::function<void()> handler) {
    if (widget != nullptr) {
        widget->setMouseTracking(true);
        new EventRelay(widget, QEvent::MouseMove, handler);
        new EventRelay(widget, QEvent::Enter, std::move(handler));
    }
}

struct ShellErrorRow {
    int result;
    int32_t number;
    const char* description;
};

constexpr int32_t kFromBase = 1; // marks numbers that are base + result

constexpr std::array<ShellErrorRow, 13> kShellErrors{{
    {0, 7, "Out of memory"},
    {2, 53, "File not found"},
    {3, 76, "Path not found"},
    {5, 75, "Path/file access error"},
    {8, 7, "Out of memory"},
    {11, kFromBase, "The executable file is invalid or corrupt"},
    {26, 75, "A sharing violation occurred."},
    {27, kFromBase, "This file type does not have a valid file association."},
    {28, 286, "The file could not be opened due to time out.  Please try again in a moment."},
    {29, 285,
     "The file could not be opened because the DDE transaction failed.  Please try again in a "
     "moment."},
    {30, 285,
     "The file could not be opened because the target application is busy.  Please try again "
     "in a moment."},
    {31, kFromBase, "No application is associated with this file type."},
    {32, 48, "The specified dynamic-link library was not found."},
}};

constexpr auto kOtherShellError =
    "An error occurred occurred whilst trying to open or print the selected file.";

bool isProgramFile(const QString& file) {
    return file.toUpper().contains(QStringLiteral(".EXE"));
}

// An address with a scheme of its own; "C:" and file: addresses are local.
bool isWebAddress(const QString& file) {
    const QUrl url(file);
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

QString localPath(const QString& file, const QString& directory) {
    const QUrl url(file);
    const QString path = url.isLocalFile() ? url.toLocalFile() : file;
    if (directory.isEmpty() || QFileInfo(path).isAbsolute()) {
        return path;
    }
    return QDir(directory).filePath(path);
}

void setBackColour(QWidget* box, uint32_t bgr) {
    const QColor colour(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                        static_cast<int>((bgr >> 16) & 0xFF));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    box->setProperty("BackColor", static_cast<unsigned>(bgr));
    // The panel's style sheet would paint over the palette; the box's own
    // sheet wins over it.
    box->setStyleSheet(QStringLiteral("%1 { background-color: %2; }")
                           .arg(QLatin1String(box->metaObject()->className()), colour.name()));
}

// The colour that marks the fields the timer help page explains.
constexpr uint32_t kHelpMarkColour = 0xE6937D;

} // namespace

void connectClick(QWidget* widget, std::function<void()> handler) {
    if (widget == nullptr) {
        return;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [handler = std::move(handler)] { handler(); });
        return;
    }
    new EventRelay(widget, QEvent::MouseButtonRelease, std::move(handler));
}

// ---- The document opener.

bool ShellSucceeded(int shellResult) {
    return shellResult < 0 || shellResult > 32;
}

ShellErrorRecord ShellErrorFor(int shellResult, const QString& programName) {
    ShellErrorRecord record;
    record.source = programName + QStringLiteral(".GShell");
    record.number = kShellErrorBase + shellResult;
    record.description = QString::fromLatin1(kOtherShellError);
    for (const ShellErrorRow& row : kShellErrors) {
        if (row.result == shellResult) {
            if (row.number != kFromBase) {
                record.number = row.number;
            }
            record.description = QString::fromLatin1(row.description);
        }
    }
    return record;
}

int32_t ShellShowCommand(const QString& File, int32_t ShowCommand, const QString& Parameters,
                         const QString& Directory) {
    if (Parameters.isEmpty() && Directory.isEmpty()) {
        return kShowNormal;
    }
    return isProgramFile(File) ? kShowHidden : ShowCommand;
}

ShellOpener::ShellOpener(platform::Shell& shell, QString programName)
    : shell_(shell), programName_(std::move(programName)) {
    if (programName_.isEmpty()) {
        programName_ = QCoreApplication::applicationName();
    }
}

bool ShellOpener::ShellOpen(const QString& File, int32_t ShowCommand, const QString& Parameters,
                            const QString& Directory, const QString& Operation,
                            QWidget* OwnerWindow) {
    Q_UNUSED(OwnerWindow);
    lastShowCommand_ = ShellShowCommand(File, ShowCommand, Parameters, Directory);
    lastShellResult_ = runShell(File, Parameters, Directory, Operation);
    if (ShellSucceeded(lastShellResult_)) {
        return true;
    }
    lastError_ = ShellErrorFor(lastShellResult_, programName_);
    return false;
}

int ShellOpener::runShell(const QString& File, const QString& Parameters, const QString& Directory,
                          const QString& Operation) {
    if (!Operation.isEmpty() && Operation.compare(QStringLiteral("open"), Qt::CaseInsensitive)) {
        return kShellNoAssociation;
    }
    if (File.trimmed().isEmpty()) {
        return kShellFileNotFound;
    }
    if (isWebAddress(File)) {
        return shell_.openUrl(File).ok ? kShellSuccess : kShellNoAssociation;
    }
    return openLocalFile(localPath(File, Directory), Parameters, Directory);
}

int ShellOpener::openLocalFile(const QString& path, const QString& Parameters,
                               const QString& Directory) {
    const QFileInfo info(path);
    if (!info.dir().exists()) {
        return kShellPathNotFound;
    }
    if (!info.exists()) {
        return kShellFileNotFound;
    }
    if (info.isFile() && info.isExecutable()) {
        const platform::Shell::Result started = shell_.startProgram(
            info.absoluteFilePath(), QProcess::splitCommand(Parameters), Directory);
        return started.ok ? kShellSuccess : kShellAccessDenied;
    }
    if (!Parameters.isEmpty()) {
        // Only programs take parameters.
        return kShellBadProgram;
    }
    const QString address = QUrl::fromLocalFile(info.absoluteFilePath()).toString();
    return shell_.openUrl(address).ok ? kShellSuccess : kShellNoAssociation;
}

// ---- Help pages and remote assistance.

QString OnlineHelp::helpPagePath(Section section, int lingua) {
    static constexpr std::array<const char*, 4> kPrefixes{"eng", "ita", "fra", "spa"};
    if (lingua < LanguageTables::kEnglish || lingua > LanguageTables::kSpanish) {
        return {};
    }
    int page = 1;
    if (section == Section::Pictures) {
        page = 3;
    } else if (section == Section::Timers) {
        page = 6;
    }
    if (lingua == LanguageTables::kSpanish) {
        page = 1; // Spanish has the one page
    }
    return QStringLiteral("/%1_help%2.asp")
        .arg(QLatin1String(kPrefixes[static_cast<size_t>(lingua - 1)]))
        .arg(page);
}

QString OnlineHelp::teamViewerNotice(int lingua) {
    return Translations::in(lingua).translate(
        "OnlineHelp", "You are incoming to run TeamViewer, a Remote Control software.\r\n"
                      "It is freeware fon no profit use. \r\n"
                      "You have to be connected by phone with our operator that \r\n"
                      "try to hel you for Skyglance configuration, and under your "
                      "authorization,\r\n"
                      "try to remote control your computer.");
}

QString OnlineHelp::teamViewerHelpText(int lingua) {
    return Translations::in(lingua).translate(
        "OnlineHelp", "Open TeamViewer for remote assistance from Skyglance staff (you must first "
                      "agree on the date and time using the contact page.");
}

QString OnlineHelp::teamViewerFileName(int lingua) {
    return lingua == LanguageTables::kItalian ? QStringLiteral("TeamViewer")
                                              : QStringLiteral("TeamViewerEng");
}

QString OnlineHelp::teamViewerMissingText(int lingua) {
    return Translations::in(lingua).translate(
        "OnlineHelp", "The remote assistance program TeamViewer was not found.\r\nPut "
                      "TeamViewerEng in the Skyglance folder or install teamviewer, then try "
                      "again.");
}

QString OnlineHelp::teamViewerFailedText(int lingua, const QString& reason) {
    return Translations::in(lingua).translate("OnlineHelp",
                                              "TeamViewer could not be started.\r\n") +
           reason;
}

OnlineHelp::OnlineHelp(RunState& state, platform::Dialogs& dialogs, platform::Shell& shell,
                       const HelpPages& pages, QWidget* mainWindow)
    : state_(state), dialogs_(dialogs), shell_(shell), pages_(pages), mainWindow_(mainWindow),
      opener_(shell) {}

void OnlineHelp::attachHelpControls(QWidget* helpEsegui, QWidget* helpEsegui2, QWidget* helpImg,
                                    QWidget* helpImg2, QWidget* helpTime, QWidget* helpTime2,
                                    QWidget* infoStatusBar, QWidget* infoStatusBar2) {
    for (QWidget* w : {helpEsegui, helpEsegui2}) {
        connectClick(w, [this] { helpEsegui_Click(); });
    }
    for (QWidget* w : {helpImg, helpImg2}) {
        connectClick(w, [this] { helpImg_Click(); });
    }
    for (QWidget* w : {helpTime, helpTime2}) {
        connectClick(w, [this] { helpTime_Click(); });
    }
    for (QWidget* w : {infoStatusBar, infoStatusBar2}) {
        connectClick(w, [this] { infoStatusBar_Click(); });
    }
}

void OnlineHelp::attachRemoteHelp(QWidget* RunTeamViewer, QWidget* IcoHelpTools2) {
    connectClick(RunTeamViewer, [this] { RunTeamViewer_Click(); });
    connectClick(IcoHelpTools2, [this] { RunTeamViewer_Click(); });
    connectHover(RunTeamViewer, [this] { RunTeamViewer_MouseMove(); });
    if (auto* button = qobject_cast<QAbstractButton*>(RunTeamViewer)) {
        teamViewerPicture_ = button->icon();
    }
}

void OnlineHelp::helpEsegui_Click() {
    openHelp(Section::RunExit);
}

void OnlineHelp::helpImg_Click() {
    openHelp(Section::Pictures);
}

void OnlineHelp::helpTime_Click() {
    colourTimerBoxes();
    openHelp(Section::Timers);
}

void OnlineHelp::infoStatusBar_Click() {
    openHelp(Section::InformationBar);
}

void OnlineHelp::openHelp(Section section) {
    const QString path = helpPagePath(section, state_.Lingua);
    if (path.isNull()) {
        return;
    }
    // A page that cannot be opened leaves only the opener's error record.
    opener_.ShellOpen(pages_.helpPageAddress(path), kShowDefault, {}, {}, QStringLiteral("open"),
                      mainWindow_);
}

void OnlineHelp::colourTimerBoxes() {
    for (QWidget* box : std::as_const(timerBoxes_)) {
        if (box != nullptr) {
            setBackColour(box, kHelpMarkColour);
        }
    }
}

QString OnlineHelp::teamViewerProgram() const {
    const QFileInfo beside(QDir(state_.appPath).filePath(teamViewerFileName(state_.Lingua)));
    if (!state_.appPath.isEmpty() && beside.isFile() && beside.isExecutable()) {
        return beside.absoluteFilePath();
    }
    return QStandardPaths::findExecutable(QStringLiteral("teamviewer"));
}

void OnlineHelp::RunTeamViewer_Click() {
    const QString title = LanguageTables::programTitle();
    const QString program = teamViewerProgram();
    if (program.isEmpty()) {
        dialogs_.message(teamViewerMissingText(state_.Lingua), title,
                         platform::Dialogs::Icon::Warning);
        return;
    }
    dialogs_.message(teamViewerNotice(state_.Lingua), title);
    const platform::Shell::Result started = shell_.startProgram(program);
    if (!started.ok) {
        dialogs_.message(teamViewerFailedText(state_.Lingua, started.error), title,
                         platform::Dialogs::Icon::Warning);
    }
}

void OnlineHelp::RunTeamViewer_MouseMove() {
    if (state_.WizardActive == kFalse) {
        return;
    }
    emit remoteHelpHovered(teamViewerHelpText(state_.Lingua), teamViewerPicture_);
}
