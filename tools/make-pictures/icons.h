#pragma once

#include <QImage>
#include <QString>
#include <vector>

// The program's icon for the desktop menus: the emblem on a rounded tile of
// sky, in the sizes the hicolor icon theme asks for.
namespace Icons {

// One square rendering, `size` pixels wide, with a transparent surround.
QImage programIcon(int size);

// The sizes installed under share/icons/hicolor/NxN/apps.
const std::vector<int>& iconSizes();

// Writes OUTDIR/hicolor/NxN/apps/skyglance.png for every size and
// OUTDIR/hicolor/scalable/apps/skyglance.svg; the first failure is returned
// as text, nothing on success.
QString writeIconTheme(const QString& outDir);

} // namespace Icons
