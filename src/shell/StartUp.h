#pragma once

#include <QString>

// Where the configuration panel and its neighbours go on a screen, in twips.
struct PanelPlacement {
    int panelLeft = 0;
    int panelTop = 0;
    int wizardLeft = 0;
    int wizardTop = 0;
    int versionLeft = 0;
    int versionTop = 0;
    int previewLeft = 0;
    int previewTop = 0;
    int previewWidth = 0;
    int previewHeight = 0;
    int descFrameLeft = 0;
    int descFrameTop = 0;
    int descWidth = 0;
    int descHeight = 0;
};

struct PanelSizes {
    int screenWidth = 0;
    int screenHeight = 0;
    int panelWidth = 0;
    int panelHeight = 0;
    int versionWidth = 0;
    int versionHeight = 0;
    int wizardHeight = 0;
};

// The panel's right edge lies 100 twips left of the screen centre, the
// preview starts at the centre.
PanelPlacement placePanel(const PanelSizes& sizes);

// The version line of the status text: the web address with a blank after
// every character, one more blank and the version.
QString versionLine(const QString& webAddress);

// The vendor's web address as the status text shows it.
QString vendorWebAddress();
