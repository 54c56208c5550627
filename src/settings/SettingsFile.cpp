#include "settings/SettingsFile.h"

#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "settings/RemovedFolder.h"
#include "state/RunState.h"
#include "ui/LanguageTables.h"
#include "ui/Translations.h"

#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QTimer>
#include <cstdio>

namespace {

const QColor kFocusedBox(0xFF, 0xFF, 0x80);
const QColor kIdleBox(0x7D, 0x93, 0xE6);

void setBoxColour(QLineEdit* box, const QColor& colour) {
    if (box == nullptr) {
        return;
    }
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    // A style sheet around the box would paint over the palette; the box's
    // own sheet wins over it.
    box->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; }").arg(colour.name()));
}

void setEnabled(QWidget* widget, bool enabled) {
    if (widget != nullptr) {
        widget->setEnabled(enabled);
    }
}

// A part built without some boxes (the selection table's own) reads them
// as empty.
QString textOf(const QLineEdit* box) {
    return box != nullptr ? box->text() : QString();
}

QString inLanguageOrEnglish(QString (*text)(int), int lingua) {
    const QString chosen = text(lingua);
    return chosen.isNull() ? text(1) : chosen;
}

} // namespace

// The interval and write messages live in the language tables; while no
// language is chosen the settings checks still speak English.
QString SettingsTexts::warningTitle(int l) {
    return inLanguageOrEnglish(LanguageTables::warningTitle, l);
}
QString SettingsTexts::invalidDownloadTime(int l) {
    return inLanguageOrEnglish(LanguageTables::badDownloadTimeText, l);
}
QString SettingsTexts::downloadTimerTooSmall(int l) {
    return inLanguageOrEnglish(LanguageTables::downloadTimeShortText, l);
}
QString SettingsTexts::slideTimerNotValid(int l) {
    return inLanguageOrEnglish(LanguageTables::badSlideTimeText, l);
}
QString SettingsTexts::slideTimerTooSmall(int l) {
    return inLanguageOrEnglish(LanguageTables::slideTimeShortText, l);
}
QString SettingsTexts::writeError(int l) {
    return inLanguageOrEnglish(LanguageTables::writeErrorText, l);
}
QString SettingsTexts::cleanupTitle(int l) {
    return Translations::in(l).translate("SettingsTexts", "WARNING!");
}
QString SettingsTexts::cleanupSentence(int l) {
    return Translations::in(l).translate("SettingsTexts",
                                         "If you confirm, all configuration files will be deleted");
}
QString SettingsTexts::cleanupWarningWord(int l) {
    return Translations::in(l).translate("SettingsTexts", "WARNING");
}
QString SettingsTexts::cleanedMessage(int l) {
    return Translations::in(l).translate("SettingsTexts",
                                         "Configuration cleaned, please restart Skyglance");
}
QString SettingsTexts::notExecutedMessage(int l) {
    return Translations::in(l).translate("SettingsTexts", "Restart Not executed");
}

QString SettingsTexts::unreadableFile(int l, const QString& path, Unreadable why) {
    const Translations::Language language = Translations::in(l);
    QString reason;
    switch (why) {
    case Unreadable::Folder:
        reason = language.translate("SettingsTexts", "it is a folder");
        break;
    case Unreadable::NotPermitted:
        reason = language.translate("SettingsTexts", "permission denied");
        break;
    case Unreadable::TooLarge:
        reason = language.translate("SettingsTexts", "it is too large");
        break;
    case Unreadable::None:
    case Unreadable::ReadError:
        reason = language.translate("SettingsTexts", "read error");
        break;
    }
    return language
        .translate("SettingsTexts",
                   "Cannot read the file %1: %2.\nThe other configuration files are kept.")
        .arg(path, reason);
}

SettingsFile::SettingsFile(RunState& state, platform::Dialogs& dialogs, SettingsControls controls,
                           QObject* parent)
    : QObject(parent), pause(platform::pauseLettingEventsRun), state_(state), dialogs_(dialogs),
      controls_(controls), show_(settingsInBoxes()) {
    for (QLineEdit* box :
         {controls_.SSTCfg_timeRefresh, controls_.SSTCfg_timeDwLoad, controls_.txtDisplay}) {
        if (box != nullptr) {
            connect(box, &QLineEdit::textChanged, this, &SettingsFile::takeSettingsFromBoxes);
        }
    }
}

ShowSettings SettingsFile::settingsInBoxes() const {
    return {textOf(controls_.SSTCfg_timeRefresh), textOf(controls_.SSTCfg_timeDwLoad),
            textOf(controls_.txtDisplay)};
}

void SettingsFile::takeSettingsFromBoxes() {
    const ShowSettings now = settingsInBoxes();
    if (now == show_) {
        return;
    }
    show_ = now;
    emit changed(show_);
}

QString SettingsFile::settingsFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kSettingsFileName);
}
QString SettingsFile::selectionFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kSelectionFileName);
}
QString SettingsFile::proxyFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kProxyFileName);
}
QString SettingsFile::languageFilePath() const {
    return state_.WORK_PATH_FILE_LIST + QLatin1String(kLanguageFileName);
}

void SettingsFile::readFailed() {
    if (controls_.imgClock != nullptr) {
        controls_.imgClock->stop();
    }
    DeleteSettingsFiles();
}

void SettingsFile::moveAside(const QStringList& paths) {
    if (!moveToRemovedFolder(state_.WORK_PATH_FILE_LIST, paths)) {
        std::fprintf(stderr,
                     "skyglance: settings files could not be moved into a Removed folder "
                     "of %s; they stay where they are\n",
                     qPrintable(state_.WORK_PATH_FILE_LIST));
    }
}

bool SettingsFile::unreadable(const QString& path) {
    const Unreadable why = whyUnreadable(path);
    if (why == Unreadable::None) {
        if (toldUnreadable_ == path) {
            toldUnreadable_.clear();
        }
        return false;
    }
    // Told once: a pass reads the settings at every cycle.
    if (toldUnreadable_ != path) {
        toldUnreadable_ = path;
        const QString text = SettingsTexts::unreadableFile(state_.Lingua, path, why);
        std::fprintf(stderr, "skyglance: %s\n",
                     qPrintable(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        warn(text);
    }
    return true;
}

bool SettingsFile::ReadSettings(bool checkOnly) {
    settingsUnreadable_ = unreadable(settingsFilePath());
    if (settingsUnreadable_) {
        return !checkOnly;
    }
    const std::optional<QByteArray> bytes = readSmallFile(settingsFilePath());
    if (!bytes) {
        readFailed();
        return false;
    }
    const QStringList lines = splitIntoLines(*bytes);
    const auto line = [&lines](int n) { return n < lines.size() ? lines.at(n) : QString(); };
    if (line(0).isEmpty()) {
        readFailed();
        return false;
    }
    if (checkOnly) {
        return true;
    }
    controls_.SSTCfg_timeDwLoad->setText(line(0));
    controls_.SSTCfg_timeRefresh->setText(line(1));
    const QString mode = line(2);
    controls_.SSTCfg_LblinserisciImg->setText(line(3));
    state_.ownPicturePath = line(3);
    if (mode == QLatin1String("Full_Screen")) {
        fullScreen_ = true;
        controls_.txtDisplay->setText(QStringLiteral("Full_Screen"));
    } else {
        fullScreen_ = false;
        controls_.txtDisplay->setText(QStringLiteral("Normal"));
    }
    emit displayModeChanged();
    return true;
}

QList<SelectionEntry> SettingsFile::tickedEntries() {
    QList<SelectionEntry> entries;
    emit slideMapRestarted();
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    const int count = table != nullptr ? table->count() : 0;
    for (int r = 0; r < count; ++r) {
        if (table->item(r)->checkState() == Qt::Checked) {
            entries.append({r, state_.listIdPicture[r]});
            emit slideMapEntryTicked(static_cast<int16_t>(r + 1));
        }
    }
    return entries;
}

void SettingsFile::warn(const QString& text) {
    dialogs_.message(text, SettingsTexts::warningTitle(state_.Lingua),
                     platform::Dialogs::Icon::Warning);
}

void SettingsFile::validateIntervals() {
    const int lingua = state_.Lingua;
    QLineEdit* download = controls_.SSTCfg_timeDwLoad;
    if (!readNumber(download->text())) {
        download->setText(QStringLiteral("15"));
        warn(SettingsTexts::invalidDownloadTime(lingua));
    }
    if (readNumber(download->text()).value_or(0) < 15) {
        download->setText(QStringLiteral("15"));
        warn(SettingsTexts::downloadTimerTooSmall(lingua));
    }
    QLineEdit* slide = controls_.SSTCfg_timeRefresh;
    if (!readNumber(slide->text())) {
        warn(SettingsTexts::slideTimerNotValid(lingua));
        slide->setText(QStringLiteral("8"));
    }
    if (readNumber(slide->text()).value_or(0) < 1) {
        slide->setText(QStringLiteral("8"));
        warn(SettingsTexts::slideTimerTooSmall(lingua));
    }
}

bool SettingsFile::WriteSettings() {
    const auto writeFailed = [this] {
        if (controls_.imgClock != nullptr) {
            controls_.imgClock->stop();
        }
        dialogs_.message(SettingsTexts::writeError(state_.Lingua), QStringLiteral("Skyglance"));
        // The writes are atomic: a failed one leaves the previous files whole,
        // so they are kept.
        return false;
    };
    // A table that was never filled (the panel not opened since the start),
    // or not from the whole catalogue, says nothing about the ticks: the
    // selection file stays as it is.
    const QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    const bool tableFilled = table != nullptr && table->count() > 0 && !selectionHeld_;
    bool selectionWritten = true;
    if (firstRunState_ || tableFilled) {
        const QList<SelectionEntry> selection =
            firstRunState_ ? firstRunSelection() : tickedEntries();
        selectionWritten = writeFileAtomically(selectionFilePath(), formatSelectionFile(selection));
    }
    firstRunState_ = false;
    // The first failure ends the save: no interval checks after it, and no
    // settings file that would outlive a lost selection.
    if (!selectionWritten) {
        return writeFailed();
    }

    validateIntervals();

    const SettingsValues values{show_.downloadMinutes, show_.slideSeconds, show_.displayMode,
                                controls_.SSTCfg_LblinserisciImg->text()};
    if (!writeFileAtomically(settingsFilePath(), formatSettingsFile(values))) {
        return writeFailed();
    }
    return true;
}

void SettingsFile::saveAll() {
    setEnabled(controls_.SSTCfg_salvaConfig, false);
    setEnabled(controls_.SSTCfg_salvaConfig2, false);
    setEnabled(controls_.SSTCfg_cmdConferma, false);
    setEnabled(controls_.SSTCfg_ExitProgram, false);
    WriteSettings();
    if (pause) {
        pause(500);
    }
    setEnabled(controls_.SSTCfg_cmdConferma, true);
    setEnabled(controls_.SSTCfg_ExitProgram, true);
    markSaved();
}

void SettingsFile::markUnsaved() {
    unsaved_ = true;
    emit unsavedChanged(true);
}

void SettingsFile::markSaved() {
    unsaved_ = false;
    emit unsavedChanged(false);
}

void SettingsFile::noteDisplayModeApplied(bool fullScreen) {
    fullScreen_ = fullScreen;
}

void SettingsFile::fallBackToFullScreen() {
    fullScreen_ = true;
    controls_.txtDisplay->setText(QStringLiteral("Full_Screen"));
}

void SettingsFile::RestoreTicks() {
    const std::optional<QByteArray> bytes = readSmallFile(selectionFilePath());
    if (!bytes) {
        return;
    }
    QListWidget* table = controls_.Tabella_Mappe_Selezionate;
    for (const int row : selectionRows(splitIntoLines(*bytes))) {
        if (table != nullptr && row >= 0 && row < table->count()) {
            table->item(row)->setCheckState(Qt::Checked);
        }
    }
}

void SettingsFile::DeleteSettingsFiles() {
    moveAside({selectionFilePath(), settingsFilePath(), proxyFilePath(), languageFilePath()});
}

void SettingsFile::PrepareSettings() {
    if (QFileInfo::exists(selectionFilePath()) && !unreadable(selectionFilePath())) {
        const std::optional<QByteArray> bytes = readSmallFile(selectionFilePath());
        const QStringList lines = bytes ? splitIntoLines(*bytes) : QStringList();
        if (lines.isEmpty() || lines.first().isEmpty()) {
            moveAside({selectionFilePath(), settingsFilePath()});
        }
    }
    const bool usable = ReadSettings(true);
    if (!usable && settingsUnreadable_) {
        // The show runs on the defaults; nothing is written over the files.
        controls_.SSTCfg_timeDwLoad->setText(QStringLiteral("15"));
        controls_.SSTCfg_timeRefresh->setText(QStringLiteral("8"));
        controls_.txtDisplay->setText(QStringLiteral("Full_Screen"));
        fullScreen_ = true;
        emit displayModeChanged();
        return;
    }
    if (!usable) {
        firstRunState_ = true;
        controls_.SSTCfg_timeDwLoad->setText(QStringLiteral("15"));
        controls_.SSTCfg_timeRefresh->setText(QStringLiteral("8"));
        controls_.txtDisplay->setText(QStringLiteral("Full_Screen"));
        emit displayModeChanged();
        WriteSettings();
    }
    ReadSettings(false);
}

bool SettingsFile::AskCleanup() {
    const int lingua = state_.Lingua;
    const QString prompt = SettingsTexts::cleanupSentence(lingua) + QStringLiteral("\n\n") +
                           SettingsTexts::cleanupWarningWord(lingua);
    const auto answer =
        dialogs_.message(prompt, SettingsTexts::cleanupTitle(lingua),
                         platform::Dialogs::Icon::Question, platform::Dialogs::Buttons::YesNo);
    if (answer != platform::Dialogs::Answer::Yes) {
        return false;
    }
    DeleteSettingsFiles();
    state_.FlagRestart = kTrue;
    return true;
}

void SettingsFile::Cleanup_Click() {
    AskCleanup();
    const int lingua = state_.Lingua;
    if (state_.FlagRestart == kTrue) {
        dialogs_.message(SettingsTexts::cleanedMessage(lingua), SettingsTexts::warningTitle(lingua),
                         platform::Dialogs::Icon::Information);
        emit quitRequested();
    } else {
        dialogs_.message(SettingsTexts::notExecutedMessage(lingua),
                         SettingsTexts::warningTitle(lingua), platform::Dialogs::Icon::Information);
    }
}

void SettingsFile::Cleanup2_Click() {
    Cleanup_Click();
}

void SettingsFile::SSTCfg_salvaConfig_Click() {
    saveAll();
    emit savedByClick();
}

void SettingsFile::SSTCfg_salvaConfig2_Click() {
    SSTCfg_salvaConfig_Click();
}

void SettingsFile::installIntervalBoxHandlers() {
    for (QObject* watched : std::initializer_list<QObject*>{
             controls_.SSTCfg_timeDwLoad, controls_.SSTCfg_timeRefresh, controls_.txtDisplay2,
             controls_.SSTCfg_Aggiorna, controls_.SSTCfg_Aggiorna2, controls_.SSTCfg_Download,
             controls_.SSTCfg_Download2}) {
        if (watched != nullptr) {
            watched->installEventFilter(this);
        }
    }
}

void SettingsFile::paintIntervalBoxes(QLineEdit* focused) {
    for (QLineEdit* box :
         {controls_.SSTCfg_timeDwLoad, controls_.SSTCfg_timeRefresh, controls_.txtDisplay2}) {
        setBoxColour(box, box == focused ? kFocusedBox : kIdleBox);
    }
}

bool SettingsFile::eventFilter(QObject* watched, QEvent* event) {
    QLineEdit* download = controls_.SSTCfg_timeDwLoad;
    QLineEdit* slide = controls_.SSTCfg_timeRefresh;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        QLineEdit* target = nullptr;
        if (watched == controls_.SSTCfg_Aggiorna || watched == controls_.SSTCfg_Aggiorna2) {
            target = slide;
        } else if (watched == controls_.SSTCfg_Download || watched == controls_.SSTCfg_Download2) {
            target = download;
        }
        if (target != nullptr) {
            target->setFocus(Qt::MouseFocusReason);
            paintIntervalBoxes(target);
        }
        break;
    }
    case QEvent::FocusIn:
        if (watched == download || watched == slide) {
            paintIntervalBoxes(static_cast<QLineEdit*>(watched));
        }
        break;
    case QEvent::FocusOut:
        if (watched == download || watched == slide) {
            setBoxColour(static_cast<QLineEdit*>(watched), kIdleBox);
        }
        break;
    case QEvent::KeyPress:
        if (watched == download || watched == slide) {
            markUnsaved();
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
