#pragma once

#include "state/PictureTable.h"

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

// The state of the running program: the catalogue tables (by catalogue
// index), the work list (by work-list entry) and the run-state variables.
// The slides themselves are a SlideList that the download cycle owns.
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

    // The work list, by entry: the addresses of this cycle and of the last.
    PictureTable<QString> listImageSELECTED;
    PictureTable<QString> listOLDImageSELECTED;

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
    // Refreshes fetch off screen while the slides on show keep playing
    // ("-QUIET", or SKYGLANCE_QUIET=1 in the environment).
    int16_t flagQuiet = 0;
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

    // A new slide map means new pictures: the status lines say when
    // (LastUpdate) until a slide is shown.
    void restartStatusLines();
    // LastUpdate alone: the slides made from now on say the pictures came now.
    void stampRefreshTime();

    // Clock used for LastUpdate; tests may replace it.
    std::function<QString()> nowText;
};
