#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>

// The program's own pictures. One palette and one icon style throughout:
// light, round-capped line icons on the dark navy status bar, a sun behind a
// cloud as the emblem, DejaVu Sans for every word.
namespace Artwork {

// Colour of the status-bar strip (BackWhoWeAre); the bar pictures are drawn
// on it so that they sit on the strip without a seam.
constexpr QRgb barColour = qRgb(0x0D, 0x1F, 0x3C);

constexpr int barHeight = 32;
constexpr int wideButtonWidth = 94;
constexpr int logoBarWidth = 210;

// Loads the DejaVu faces from the system font folder; false if one is missing.
bool loadFonts();

QImage programLogo();                // ImageLogo, 1280 x 720
QImage setupButton();                // btSetup
QImage waitSign();                   // btWait
QImage logoBar();                    // btLogo
QImage exitButton();                 // btTermina
QImage helpButton();                 // btHelp
QImage animationSign();              // BtAnimation
QImage connectedIcon();              // ImageConnesso
QImage disconnectedIcon();           // ImageDisconnesso
QImage resourceNotAvailable();       // ErrLoadPicture, 1024 x 768
QImage pictureNotAvailable(QSize s); // pic_not_available.gif, 4:3
QImage picturesUpdatedNotice();      // MessaggioAggiornate

} // namespace Artwork
