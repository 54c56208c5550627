#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

// One slide of the show as a value: what a download brought for one place of
// the cycle, and what the status line says of it. The presenter shows it, the
// watchers and the kept set read it; nothing in it points back to the tables
// it was taken from.
struct Slide {
    // Its place in the cycle; -1 for a slide that is not one of the cycle's.
    int position = -1;
    int kind = 0;     // 1 still picture, 2 captured page, 4 GIF loop; 0 not fetched
    QImage picture;   // the still picture (also shown while a loop cannot play)
    QString loopFile; // kind 4: the loop file the slide plays
    // The work-list entry it came from and its place among that entry's
    // slides (a series has several).
    QString address;
    int part = 0;
    // The catalogue row whose texts the status line shows; -1 for none (the
    // slide list keeps whatever negative row the map gave).
    int catalogueRow = -1;
    QString statusLine1;
    QString statusLine2;
    QString timingCode;
    // When its picture was fetched; for a picture kept from an earlier cycle
    // (its fetch failed this time), keptSince says when that one was.
    QDateTime fetched;
    QDateTime keptSince;
    bool loaded = true;
    int pictureNote = 0; // a PictureNote: whole, scaled down, too large
};
