#pragma once

#include "state/PictureTable.h"
#include "state/Slide.h"

#include <cstdint>

// The slides of a download cycle by position, 0 to 2000, each a Slide: kind,
// picture, loop file, catalogue row, kept-since time, loaded or failed,
// picture note and where it came from, always changed together. A position outside that range reads
// as an empty slide and takes no write, so a runaway counter cannot corrupt
// anything. The writers are the few functions below; the download cycle
// owns the one list of the program.
//
// It also holds the catalogue row of each work-list entry (the selection
// maps them; a series fills several slides from one entry, so the slides'
// rows are mapped from the entries' in every cycle), and the number the next
// loop copy is named by.
class SlideList {
public:
    static constexpr int kSize = PictureTable<Slide>::kSize;
    static constexpr bool inRange(int position) { return PictureTable<Slide>::inRange(position); }

    SlideList();

    // The slide as kept (its catalogue row below 0 for none); the status
    // texts are the download cycle's to add.
    const Slide& at(int position) const { return slides_[position]; }

    // Stores what a slide holds at slide.position.
    void put(const Slide& slide);

    // Where the slides came from: the work-list entry's address (or the own
    // picture's file), the place among that entry's slides, when the picture
    // was fetched. A cycle forgets them all before it makes its slides.
    void clearOrigins();
    void setOrigin(int position, const QString& address, int part, const QDateTime& fetched);

    // Before a cycle fetches every slide again: what belonged to the old
    // pictures (kind, loop file, kept mark, picture note) goes with them.
    void clearKinds();
    // The pictures of slides 0 to 1999 go; the new ones share the memory
    // budget among themselves.
    void clearPictures();
    // At start-up: slides 0 to 1999 neither fetched nor failed.
    void clearForStart();

    // The entries' rows, as the selection file lists them. A restart forgets
    // the rows of entries 0 to 1999; each append gives the next entry the
    // catalogue index + 1, until 2001 are mapped. The slides take their rows
    // from these in the next cycle (a series fills several slides from one
    // entry), so the slides on the screen keep theirs meanwhile.
    void restartMap();
    void appendToMap(int16_t catalogueIndexPlusOne);
    int mapAppendPosition() const { return mapAppendPosition_; }
    // Slides 0 to 1999 lose their rows; the entries keep theirs.
    void clearMap();
    // The slide takes the catalogue row of work-list entry `entry`.
    void mapToEntry(int position, int entry);
    // The catalogue index + 1 of a work-list entry (0 when none).
    int16_t entryId(int entry) const { return entryIds_[entry]; }
    int catalogueRowOfEntry(int entry) const { return entryIds_[entry] - 1; }

    // The loop copies of a cycle are numbered in the order written, from 1,
    // or from kSecondLoopSet while the other set's files are still on show
    // (a refresh made off screen): a loop file is never rewritten under a
    // slide that may still play it.
    static constexpr int16_t kSecondLoopSet = 5001;
    int16_t nextLoopNumber() const { return nextLoopNumber_; }
    void loopFileWritten() { nextLoopNumber_ = static_cast<int16_t>(nextLoopNumber_ + 1); }
    void restartLoopNames() { nextLoopNumber_ = loopSetStart_; }
    void switchLoopSet() {
        loopSetStart_ = loopSetStart_ == 1 ? kSecondLoopSet : int16_t{1};
        restartLoopNames();
    }

private:
    PictureTable<Slide> slides_;
    PictureTable<int16_t> entryIds_;
    int mapAppendPosition_ = 0;
    int16_t nextLoopNumber_ = 1;
    int16_t loopSetStart_ = 1;
};
