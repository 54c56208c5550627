#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <vector>

// The configuration panel's pictures: one icon per element, drawn on a
// raised key like the status-bar buttons, and the tabs' backgrounds. Every
// picture is drawn at twice the size it is shown at, so it stays sharp.
namespace PanelArt {

struct Picture {
    QString fileName;
    std::function<QImage()> draw;
};

constexpr int iconSize = 96;         // shown at 32 to 48 pixels
constexpr int backgroundWidth = 946; // 7095 x 4555 twips at twice 15 twips a pixel
constexpr int backgroundHeight = 608;

std::vector<Picture> pictures();

} // namespace PanelArt
