#include "run/DownloadCycle.h"

#include "catalogue/CatalogueService.h"
#include "download/FetchPrimitives.h"
#include "download/PictureBudget.h"
#include "download/PictureLoading.h"
#include "download/PictureSeries.h"
#include "download/SourceCodes.h"
#include "platform/Dialogs.h"
#include "platform/Timing.h"
#include "platform/Twips.h"
#include "run/Supervisor.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsFormat.h"
#include "state/CommandLine.h"
#include "state/RunState.h"
#include "ui/Translations.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

namespace {

// Pauses of the cycle, before scaling.
constexpr int kBeforeFetchLoopMs = 2000;
constexpr int kBeforeEachFetchMs = 1000;
constexpr int kNoticeMs = 3000;
constexpr int kAfterCycleMs = 100;
constexpr int kBeforeSaveMs = 200;
constexpr int kPanelWaitStepMs = 200;

// Where the notice stands, in twips.
constexpr int kNoticeLeft = 3000;
constexpr int kNoticeTop = 2000;

void setVisibleIf(QWidget* widget, bool visible) {
    if (widget != nullptr) {
        widget->setVisible(visible);
    }
}

void setEnabledIf(QWidget* widget, bool enabled) {
    if (widget != nullptr) {
        widget->setEnabled(enabled);
    }
}

} // namespace

QString NoPictureText(int lingua) {
    return Translations::in(lingua).translate(
        "DownloadCycle", "Error: you have to check at least one Image from list!");
}

QString FailedReplyText(int lingua) {
    return Translations::in(lingua).translate("DownloadCycle",
                                              "Waiting Internet Connection......??????");
}

int SlideIntervalMs(const QString& secondsText) {
    bool ok = false;
    const double seconds = secondsText.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0) {
        return 0;
    }
    const double ms = std::round(seconds) * 1000.0;
    return static_cast<int>(std::min(ms, static_cast<double>(std::numeric_limits<int>::max())));
}

QStringList SlideFolderPictures(const QStringList& namesInListedOrder) {
    QStringList pictures;
    for (const QString& name : namesInListedOrder) {
        if (pictures.size() >= kMaxSlideFolderPictures) {
            break;
        }
        if (name.endsWith(QLatin1String("jpg")) || name.endsWith(QLatin1String("JPG"))) {
            pictures.append(name);
        }
    }
    return pictures;
}

DownloadCycles::DownloadCycles(RunState& state, platform::Dialogs& dialogs, SettingsFile& settings,
                               CatalogueService& catalogue, FetchPrimitives& fetch,
                               SourceCodes& sources, Supervisor& supervisor, QImage errorPicture,
                               CycleControls controls)
    : state_(state), dialogs_(dialogs), settings_(settings), catalogue_(catalogue), fetch_(fetch),
      sources_(sources), supervisor_(supervisor), errorPicture_(std::move(errorPicture)),
      c_(std::move(controls)) {}

void DownloadCycles::beginLoading() {
    loading_ = true;
}

void DownloadCycles::endLoading() {
    loading_ = false;
}

void DownloadCycles::beginSlideTick() {
    slideTickRunning_ = true;
}

void DownloadCycles::endSlideTick() {
    slideTickRunning_ = false;
}

void DownloadCycles::resetRunFlags() {
    loading_ = false;
    slideTickRunning_ = false;
    catalogueLoaded_ = false;
    catalogueRequested_ = false;
    reloadAll_ = false;
}

void DownloadCycles::reloadEverySlide() {
    reloadAll_ = true;
    DownloadCycle(1);
    reloadAll_ = false;
}

void DownloadCycles::retryCataloguePass() {
    retryPassPending_ = false;
    catalogueLoaded_ = false;
    RunCataloguePass(false);
}

void DownloadCycles::enableBarButtons() {
    setEnabledIf(c_.whoWeAre, true);
    setEnabledIf(c_.btSetup, true);
    setEnabledIf(c_.btWait, true);
}

void DownloadCycles::showWaitSign() {
    setVisibleIf(c_.btSetup, false);
    setVisibleIf(c_.btWait, true);
    if (c_.btHelp != nullptr && c_.btSetup != nullptr) {
        c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
    }
}

QStringList DownloadCycles::newWorkListFromTicks() const {
    QStringList entries;
    QListWidget* table = c_.Tabella_Mappe_Selezionate;
    for (int r = 0; table != nullptr && r < table->count(); ++r) {
        if (table->item(r)->checkState() == Qt::Checked && entries.size() < kSlideLimit) {
            entries.append(state_.listURL[r]);
        }
    }
    return entries;
}

void DownloadCycles::fetchWorkList(bool changed) {
    // The slide map follows the slides as they are made: a series fills
    // several slides from one entry, and the entries behind it follow.
    slides_.clearMap();
    // Pictures kept from the last cycle keep the time they were fetched.
    std::vector<QDateTime> fetchedBefore;
    fetchedBefore.reserve(SlideList::kSize);
    for (int s = 0; s < SlideList::kSize; ++s) {
        fetchedBefore.push_back(slides_.at(s).fetched);
    }
    slides_.clearOrigins();
    const bool fetchAll = changed || reloadAll_;
    if (fetchAll) {
        // Kinds and loop files go with the pictures they belonged to; a cycle
        // that fetches nothing keeps all three together.
        forgetLoops();
        // The pictures go too: the new ones share the picture budget among
        // themselves, as in the first cycle, not with the pictures they
        // replace (the one on the screen keeps its own copy meanwhile).
        slides_.clearPictures();
    }
    int slide = 0;
    for (int d = 0; !state_.listImageSELECTED[d].isEmpty() && slide < kSlideLimit; ++d) {
        int filled = 0;
        if (fetchAll) {
            platform::pauseLettingEventsRun(kBeforeEachFetchMs);
            filled = sources_.FetchSlide(d, slide, *this);
        } else {
            filled = SlidesOfAddress(state_.listImageSELECTED[d], slide);
            for (int s = slide; s < slide + filled; ++s) {
                slides_.mapToEntry(s, d);
            }
        }
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < filled; ++s) {
            const QDateTime& before = fetchedBefore.at(static_cast<std::size_t>(slide + s));
            slides_.setOrigin(slide + s, state_.listImageSELECTED[d], s,
                              fetchAll || !before.isValid() ? now : before);
        }
        slide += filled;
        state_.cntImagesLoaded = static_cast<int16_t>(slide);
    }
    if (fetchAll) {
        emit everySlideFetched();
    }
}

void DownloadCycles::showUpdatedNotice() {
    QWidget* notice = c_.MessaggioAggiornate;
    if (notice != nullptr) {
        notice->adjustSize();
        notice->move(platform::twipsToPixels(kNoticeLeft), platform::twipsToPixels(kNoticeTop));
        notice->show();
        notice->raise();
    }
    QApplication::beep();
    platform::letEventsRun();
    platform::pauseLettingEventsRun(kNoticeMs);
    QApplication::beep();
    setVisibleIf(notice, false);
}

void DownloadCycles::addOwnPicture(const QString& path) {
    const int slide = state_.cntImagesLoaded;
    if (slide >= kSlideLimit) {
        return;
    }
    const DecodedPicture decoded =
        DecodeForSlide(HeldPictureBytes(slides_, slide), path, DecodeStyle::ByContent);
    // A missing or broken own picture is a slide like any failed one: the
    // error picture and its notice, never a stopped show.
    const bool ok = !decoded.image.isNull();
    Slide own;
    own.position = slide;
    own.picture = ok ? decoded.image : errorPicture_;
    own.pictureNote = decoded.note;
    own.loaded = ok;
    own.kind = 1;
    own.address = path;
    own.fetched = QDateTime::currentDateTime();
    slides_.put(own);
    state_.cntImagesLoaded = static_cast<int16_t>(slide + 1);
}

void DownloadCycles::addOwnPictures() {
    if (!state_.ownPicturePath.isEmpty()) {
        addOwnPicture(state_.ownPicturePath);
    }
    const QDir folder(state_.Skyglance_Slide_Dir);
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    for (const QString& name : SlideFolderPictures(names)) {
        addOwnPicture(folder.filePath(name));
    }
}

bool DownloadCycles::DownloadCycle(int16_t cycleType) {
    if (running_) {
        return true; // never a cycle inside a cycle
    }
    running_ = true;
    const QDateTime started = QDateTime::currentDateTime();
    cycleClock_.start();
    bool changed = cycleType == 2;
    if (cycleType == 0 || cycleType == 2) {
        QStringList entries;
        if (cycleType == 2) {
            for (int i = 0; !state_.listURL[i].isEmpty() && i < kSlideLimit; ++i) {
                entries.append(state_.listURL[i]);
                state_.listOLDImageSELECTED[i] = state_.listURL[i];
            }
        } else {
            entries = newWorkListFromTicks();
            const int rows =
                c_.Tabella_Mappe_Selezionate != nullptr ? c_.Tabella_Mappe_Selezionate->count() : 0;
            for (int p = 0; p < rows && !changed; ++p) {
                changed = state_.listOLDImageSELECTED[p] != entries.value(p);
            }
            for (int p = 0; p < rows && p < kSlideLimit; ++p) {
                state_.listOLDImageSELECTED[p] = entries.value(p);
            }
        }
        if (cycleType == 0 && entries.isEmpty()) {
            dialogs_.message(NoPictureText(state_.Lingua), QStringLiteral("Skyglance"));
            reloadAll_ = false;
            fetch_.endReplyWait();
            loading_ = false;
            enableBarButtons();
            running_ = false;
            OpenPanelForSelection();
            return false;
        }
        state_.timerSlideValue = SlideIntervalMs(settings_.showSettings().slideSeconds);
        if (c_.imgClock != nullptr) {
            c_.imgClock->setInterval(platform::scaledMs(state_.timerSlideValue.toInt()));
        }
        state_.listImageSELECTED.clearForReset();
        for (int i = 0; i < entries.size(); ++i) {
            state_.listImageSELECTED[i] = entries.at(i);
        }
    }
    if (loading_) {
        // Every cycle counts its work anew, so the series never inflate it.
        int count = 0;
        while (!state_.listImageSELECTED[count].isEmpty() && count < kSlideLimit) {
            ++count;
        }
        state_.cntImagesToLoad = static_cast<int16_t>(count);
        state_.cntImagesLoaded = 0;
    }
    platform::pauseLettingEventsRun(kBeforeFetchLoopMs);
    fetchWorkList(changed);
    reloadAll_ = false;
    if (housekeepingShows()) {
        showUpdatedNotice();
        showWaitSign();
    }
    slides_.restartLoopNames();
    if (housekeepingShows()) {
        state_.restartStatusLines();
        emit statusTextChanged();
    } else {
        // The bar stays the held slide's; the new slides say when they came.
        state_.stampRefreshTime();
    }
    setVisibleIf(c_.Miniatura, false);
    setVisibleIf(c_.DownloadPreview, false);
    platform::pauseLettingEventsRun(kAfterCycleMs);
    addOwnPictures();
    state_.GLOBAL_IMAGE_CURRENT_POINTER = 0;
    if (cycleType == 0) {
        setVisibleIf(c_.lVersion, false);
        for (QWidget* view : c_.panelViews) {
            setVisibleIf(view, false);
        }
        catalogueLoaded_ = true;
    }
    enableBarButtons();
    lastCycleStarted_ = started;
    lastCycleDurationMs_ = cycleClock_.elapsed();
    ++completedCycles_;
    running_ = false;
    return true;
}

Slide DownloadCycles::slide(int s) const {
    Slide slide = slides_.at(s);
    slide.position = s;
    addStatusTexts(slide);
    return slide;
}

void DownloadCycles::addStatusTexts(Slide& slide) const {
    if (slide.catalogueRow < 0) {
        slide.catalogueRow = -1;
        slide.statusLine1 = state_.weAre;
        slide.statusLine2 = QStringLiteral(". . . ");
        return;
    }
    std::array<QString, 6> fields{};
    SplitFields<5>(state_.listCopyright[slide.catalogueRow], fields, [] {});
    slide.statusLine1 = fields[1] + state_.Aggiornare.toString() + state_.LastUpdate.toString();
    slide.timingCode = fields[2];
    slide.statusLine2 = fields[3];
}

bool DownloadCycles::quietRefresh() const {
    return state_.flagQuiet != 0;
}

void DownloadCycles::beginQuietRefresh(int countOnShow) {
    held_.clear();
    for (int s = 0; s < countOnShow && SlideList::inRange(s); ++s) {
        held_.append(slide(s));
    }
    slides_.switchLoopSet();
    quietRefreshRunning_ = true;
    emit quietRefreshRunningChanged(true);
}

void DownloadCycles::endQuietRefresh() {
    quietRefreshRunning_ = false;
    held_.clear();
    lastQuietRefresh_ = QDateTime::currentDateTime();
    quietFailures_.clear();
    if (passFailedInTransport_) {
        quietFailures_.append(catalogue_.lastFailure());
    }
    for (int s = 0; s < state_.cntImagesLoaded; ++s) {
        if (!slides_.at(s).loaded) {
            quietFailures_.append(slides_.at(s).address);
        }
    }
    emit quietRefreshRunningChanged(false);
}

std::pair<int, int> DownloadCycles::fetchedAndFailedOnShow() const {
    int fetched = 0;
    int failed = 0;
    const auto count = [&](const Slide& slide) { ++(slide.loaded ? fetched : failed); };
    if (quietRefreshRunning_) {
        std::for_each(held_.begin(), held_.end(), count);
    } else {
        for (int s = 0; s < state_.cntImagesLoaded; ++s) {
            count(slides_.at(s));
        }
    }
    return {fetched, failed};
}

void DownloadCycles::putSlide(const Slide& slide) {
    slides_.put(slide);
}

void DownloadCycles::loopFileWritten() {
    slides_.loopFileWritten();
}

void DownloadCycles::restartSlideMap() {
    state_.restartStatusLines();
    emit statusTextChanged();
    slides_.restartMap();
    emit slideMapChanged();
}

void DownloadCycles::appendToSlideMap(int16_t catalogueIndexPlusOne) {
    slides_.appendToMap(catalogueIndexPlusOne);
    emit slideMapChanged();
}

void DownloadCycles::forgetLoops() {
    slides_.clearKinds();
    slides_.restartLoopNames();
}

void DownloadCycles::clearSlidesForStart() {
    slides_.clearForStart();
    slides_.restartLoopNames();
}

QString DownloadCycles::failedReplyLine() const {
    const QString failure = catalogue_.lastFailure();
    return FailedReplyText(state_.Lingua) +
           (failure.isEmpty() ? QString() : QStringLiteral(" - ") + failure);
}

void DownloadCycles::noteTransportFailure() {
    passFailedInTransport_ = true;
    if (c_.lCountDown != nullptr) {
        c_.lCountDown->setText(failedReplyLine());
        c_.lCountDown->show();
        c_.lCountDown->raise();
    }
}

void DownloadCycles::tellTransportFailure() {
    // A pass is tried at every tick while the service is away: the log gets
    // a line when the failure changes, not at every try.
    if (catalogue_.lastFailure() != toldFailure_) {
        toldFailure_ = catalogue_.lastFailure();
        std::fprintf(stderr, "skyglance: catalogue request failed: %s\n", qPrintable(toldFailure_));
    }
}

void DownloadCycles::tellRefusal() const {
    std::fprintf(stderr,
                 "skyglance: catalogue request refused: %s; the settings files are moved into a "
                 "Removed folder of the work folder and the program ends\n",
                 qPrintable(catalogue_.lastFailure()));
}

void DownloadCycles::quitAfterRefusal() {
    tellRefusal();
    settings_.DeleteSettingsFiles();
    supervisor_.request(Command::Quit);
    state_.quitUnattended = true;
}

bool DownloadCycles::askOrFail(int request) {
    const CatalogueResult result = catalogue_.Ask(static_cast<CatalogueRequest>(request));
    if (result == CatalogueResult::ErrReply) {
        quitAfterRefusal();
    } else if (result == CatalogueResult::TransportFailed) {
        noteTransportFailure();
    }
    return result == CatalogueResult::Ok;
}

bool DownloadCycles::askWholeCatalogue() {
    int rows = -1;
    for (const CatalogueRequest column :
         {CatalogueRequest::AllUrls, CatalogueRequest::AllIds, CatalogueRequest::AllComments}) {
        if (!askOrFail(static_cast<int>(column))) {
            return false;
        }
        const int items = catalogue_.lastItemCount();
        if (items == 0 || (rows >= 0 && items != rows)) {
            return false;
        }
        rows = items;
    }
    return true;
}

void DownloadCycles::RunCataloguePass(bool fromPanel) {
    cataloguePassOK = true;
    if (catalogueLoaded_) {
        return;
    }
    passFailedInTransport_ = false;
    const bool haveSelection = QFileInfo::exists(settings_.selectionFilePath());
    if (!haveSelection || !QFileInfo::exists(settings_.settingsFilePath())) {
        settings_.DeleteSettingsFiles();
    }
    if (!haveSelection) {
        cataloguePassOK = false;
        return;
    }
    const std::optional<QByteArray> bytes = readSmallFile(settings_.selectionFilePath());
    const QList<SelectionEntry> entries =
        bytes ? selectionEntries(splitIntoLines(*bytes)) : QList<SelectionEntry>();
    restartSlideMap();
    QList<int16_t> ids;
    for (const SelectionEntry& entry : entries) {
        appendToSlideMap(static_cast<int16_t>(entry.row + 1));
        ids.append(entry.pictureId);
    }
    if (entries.isEmpty()) {
        if (!fromPanel) {
            cataloguePassOK = false;
        }
        return;
    }
    state_.strIdForBrowser = BuildStrIdForBrowser(ids);
    askOrFail(static_cast<int>(CatalogueRequest::Message));
    if (!settings_.ReadSettings(false)) {
        return;
    }
    if (catalogueRequested_) {
        // Ticks saved from a table built on part of the catalogue would name
        // the wrong pictures: such a table is never offered.
        wholeCatalogue_ = askWholeCatalogue();
        if (wholeCatalogue_) {
            emit wholeCatalogueArrived();
        } else {
            emit catalogueUnavailable();
        }
    } else if (askOrFail(static_cast<int>(CatalogueRequest::TickedUrls)) ||
               !passFailedInTransport_) {
        // An "ERR" answer still runs the cycle, as it always has; a service
        // out of reach leaves the slides as they are.
        DownloadCycle(2);
    }
    askOrFail(static_cast<int>(CatalogueRequest::AllCopyrights));
    catalogueLoaded_ = true;
    catalogueRequested_ = false;
    const bool nothingToShow = passFailedInTransport_ && state_.cntImagesLoaded == 0;
    if (passFailedInTransport_ && !fromPanel) {
        if (!nothingToShow) {
            retryPassPending_ = true; // the show goes on; try at the next download
        } else {
            catalogueLoaded_ = false; // nothing to show: try at the next tick
        }
    }
    if (passFailedInTransport_) {
        tellTransportFailure();
    } else {
        toldFailure_.clear();
    }
    emit waitReasonNoted(nothingToShow && !fromPanel ? failedReplyLine() : QString());
}

void DownloadCycles::OpenPanelForSelection() {
    while (!fetch_.replyArrived()) {
        platform::pauseLettingEventsRun(kPanelWaitStepMs);
    }
    while (slideTickRunning_) {
        platform::pauseLettingEventsRun(kPanelWaitStepMs);
    }
    emit panelForSelectionDue();
    catalogueRequested_ = true;
    catalogueLoaded_ = false;
    RunCataloguePass(true);
}

// The table offered no catalogue to take ticks from: the next slide tick
// runs the pass over the saved selection file, as at a start.
void DownloadCycles::startWithSavedSelection() {
    loading_ = false;
    catalogueRequested_ = false;
    catalogueLoaded_ = false;
    supervisor_.request(Command::None);
    enableBarButtons();
}

void DownloadCycles::SSTCfg_cmdConferma_Click() {
    emit startConfirmed();
    setEnabledIf(c_.SSTCfg_ExitProgram, false);
    setVisibleIf(c_.SSTCfg_ExitProgram_BW, true);
    setEnabledIf(c_.SSTCfg_ExitProgram_BW, true);
    for (QWidget* view : c_.panelViews) {
        setVisibleIf(view, false);
    }
    setVisibleIf(c_.lVersion, false);
    platform::pauseLettingEventsRun(kBeforeSaveMs);
    settings_.saveAll();
    loading_ = true;
    if (c_.utilityTmr != nullptr) {
        c_.utilityTmr->start();
    }
    if (c_.lCountDown != nullptr) {
        c_.lCountDown->clear();
        c_.lCountDown->show();
        c_.lCountDown->raise();
    }
    showWaitSign();
    passFailedInTransport_ = false;
    if (!wholeCatalogue_) {
        startWithSavedSelection();
        return;
    }
    const CatalogueResult result = catalogue_.Ask(CatalogueRequest::Message);
    if (result == CatalogueResult::Ok) {
        if (DownloadCycle(0)) {
            loading_ = false;
            supervisor_.request(Command::None);
        } else {
            setVisibleIf(c_.lCountDown, false);
            setVisibleIf(c_.btWait, false);
            setVisibleIf(c_.btSetup, true);
            if (c_.btHelp != nullptr && c_.btSetup != nullptr) {
                c_.btHelp->setVisible(c_.btSetup->isVisibleTo(c_.btSetup->parentWidget()));
            }
            loading_ = false;
        }
        return;
    }
    if (result == CatalogueResult::TransportFailed) {
        // The service is out of reach: the show goes on with what it has and
        // the new selection is fetched by a catalogue pass as soon as it can.
        noteTransportFailure();
        tellTransportFailure();
        loading_ = false;
        supervisor_.request(Command::None);
        catalogueLoaded_ = false;
        return;
    }
    // The start command's own wait ends here, or the supervisor, which
    // keeps out of a running start, would never carry out the quit.
    loading_ = false;
    tellRefusal();
    settings_.DeleteSettingsFiles();
    dialogs_.message(QStringLiteral("U ERR"), QStringLiteral("Error!"),
                     platform::Dialogs::Icon::Critical);
    supervisor_.request(Command::Quit);
}
