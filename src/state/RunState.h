#pragma once

#include "state/PictureTable.h"
#include "state/Slide.h"

#include <QDateTime>
#include <QImage>
#include <QString>
#include <QVariant>
#include <array>
#include <cstdint>
#include <functional>

// Boolean run-state variables hold -1 for true and 0 for false.
inline constexpr int16_t kTrue = -1;
inline constexpr int16_t kFalse = 0;

// The colours of the run-state box timerflag (0x00BBGGRR).
inline constexpr uint32_t kTimerFlagRed = 255;
inline constexpr uint32_t kTimerFlagGreen = 65280;

// The language number before the user has chosen one.
inline constexpr int16_t kNoLanguage = 999;

// All state of the running program: the picture tables with their two index
// spaces (catalogue index and slide position) and the run-state variables.
// The main window owns the one instance; the parts are given it by reference.
struct RunState {
    RunState();

    // Catalogue tables, by catalogue index. listURL doubles as the slide
    // table of ticked addresses during a pass.
    PictureTable<QString> listURL;
    PictureTable<QString> listURLnameOnly;
    PictureTable<QString> listURLcomment;
    PictureTable<QString> listCopyright;
    PictureTable<int16_t> listIdPicture;
    PictureTable<QString> listData;

    // Slide tables, by slide position.
    PictureTable<int16_t> listIdCopyright;
    // The catalogue index + 1 of each work-list entry, as the selection file
    // maps them. A series fills several slides from one entry, so the slide
    // map above is rebuilt from this one in every download cycle.
    PictureTable<int16_t> listEntryIdCopyright;
    PictureTable<QString> listImageSELECTED;
    PictureTable<QString> listOLDImageSELECTED;
    PictureTable<int16_t> listImageKind;
    PictureTable<QImage> listPicture; // implicitly shared: one decoded copy per slide
    PictureTable<int16_t> listIMAGEnotLoaded;
    // The loop file each animated slide plays: the slide owns it, so no
    // counter has to follow the order in which the loops were written.
    PictureTable<QString> listAniGifFile;
    // When a slide shows the kept picture of an earlier cycle because this
    // cycle's fetch failed: the time that picture was fetched; invalid for a
    // fresh picture.
    PictureTable<QDateTime> listKeptSince;
    // How a slide's picture was decoded against the memory budget (a
    // PictureNote: whole, scaled down, too large); its status line says so.
    PictureTable<int16_t> listPictureNote;

    // Slide counters.
    int16_t cntImagesToLoad = 0;
    int16_t cntImagesLoaded = 0;
    int16_t GLOBAL_IMAGE_CURRENT_POINTER = 0;

    // Run-state variables.
    int32_t cntCounterDwLoadImage = 0;
    QVariant timerSlideValue; // empty until a pass sets it
    int16_t timerClockSave = 500;
    int16_t clockFromDebugSet = 0;
    // The quit was asked by the program itself (a refused request, no usable
    // selection), with nobody at the screen to read an end message.
    bool quitUnattended = false;
    int16_t firstLaunch = 0;
    QString replyText;
    QString serverMessage;
    QString strIdForBrowser;
    QString tmpStrUrl;
    int16_t Lingua = kNoLanguage;
    int16_t ExitToProgram = kFalse;
    int16_t FlagRestart = kFalse;
    int16_t WizardActive = kTrue;
    float Ratio_X_Y = 0.0F;
    QString weAre;
    QVariant Aggiornare;
    QVariant LastUpdate;
    QString statusLine1;
    QString statusLine2;
    int16_t cntWaitCountdown = 10;
    int16_t cntAniGif = 1;
    QString aniGifPrefix = QStringLiteral("_ANIGIF_");

    // Folders and file-name bases.
    QString Home_Drive;
    QString Home_Path;
    QString Skyglance_Work_Dir;
    QString Skyglance_Slide_Dir;
    QString Skyglance_PHP_Dir;
    QString Skyglance_Collections_Dir;
    QString WORK_PATH_FILE_LIST;
    QString imgFileBase;
    QString appPath;

    // Command-line options.
    int16_t flagDebugCode = 0;
    int16_t flagSilent = kTrue;
    std::array<QString, 11> cmdParams{};
    std::array<QString, 6> copyrightFields{};

    QString ownPicturePath;

    // Start-up extras that later parts read.
    int16_t Mirror_Type_Connection = kFalse;
    int16_t WaitForRestoreConfig = kFalse;
    int16_t WebPageToImgEnd = kFalse;
    int16_t Http2BmpRunning = kFalse;
    int16_t IsWebPage = kFalse;
    QString helpFile;

    // Maintains listIdCopyright: mode -1 resets the map, any other mode appends
    // catalogueIndexPlusOne as the next slide.
    void UpdateSlideMap(int16_t mode, int16_t catalogueIndexPlusOne);
    int slideMapAppendPosition() const { return slideMapAppendPosition_; }

    // Slide s shows a picture of work-list entry e: it takes that entry's
    // catalogue row.
    void MapSlideToEntry(int slide, int entry);

    // Before a cycle fetches every slide again: what belonged to the old
    // pictures (kind, loop file, kept mark) goes with them.
    void ClearSlideKinds();

    // Slide s as a value, from the slide tables and its catalogue row: the
    // status texts are those the slide tick shows for it. Its address, part
    // and fetch time are the download cycle's to add.
    Slide slideAt(int s) const;

    // Called after a reset has set the status lines (shows the status text),
    // and after either form (the diagnostics table view).
    std::function<void()> onStatusTextChanged;
    std::function<void()> onSlideMapChanged;

    // Clock used for LastUpdate; tests may replace it.
    std::function<QString()> nowText;

private:
    int slideMapAppendPosition_ = 0;
};
