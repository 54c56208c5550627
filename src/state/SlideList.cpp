#include "state/SlideList.h"

namespace {

constexpr int kClearedByReset = PictureTable<Slide>::kClearedByReset;

} // namespace

SlideList::SlideList() {
    for (int s = 0; s < kSize; ++s) {
        slides_[s].position = s;
    }
}

void SlideList::put(const Slide& slide) {
    if (!inRange(slide.position)) {
        return;
    }
    Slide& kept = slides_[slide.position];
    kept.address = slide.address;
    kept.part = slide.part;
    kept.fetched = slide.fetched;
    kept.kind = slide.kind;
    kept.picture = slide.picture;
    kept.loopFile = slide.loopFile;
    kept.catalogueRow = slide.catalogueRow;
    kept.keptSince = slide.keptSince;
    kept.loaded = slide.loaded;
    kept.pictureNote = slide.pictureNote;
}

void SlideList::clearOrigins() {
    for (int s = 0; s < kSize; ++s) {
        setOrigin(s, QString(), 0, QDateTime());
    }
}

void SlideList::setOrigin(int position, const QString& address, int part,
                          const QDateTime& fetched) {
    if (!inRange(position)) {
        return;
    }
    Slide& slide = slides_[position];
    slide.address = address;
    slide.part = part;
    slide.fetched = fetched;
}

void SlideList::clearKinds() {
    for (int s = 0; s < kClearedByReset; ++s) {
        Slide& slide = slides_[s];
        slide.kind = 0;
        slide.loopFile.clear();
        slide.keptSince = QDateTime();
        slide.pictureNote = 0;
    }
}

void SlideList::clearPictures() {
    for (int s = 0; s < kClearedByReset; ++s) {
        slides_[s].picture = QImage();
    }
}

void SlideList::clearForStart() {
    for (int s = 0; s < kClearedByReset; ++s) {
        slides_[s].loaded = true;
        slides_[s].kind = 0;
    }
}

// The slides keep their rows: the pictures on the screen keep their captions
// until a cycle maps the new entries to the slides it makes.
void SlideList::restartMap() {
    mapAppendPosition_ = 0;
    entryIds_.clearForReset();
}

void SlideList::appendToMap(int16_t catalogueIndexPlusOne) {
    // A full map (2001 slides) takes no more entries.
    if (!inRange(mapAppendPosition_)) {
        return;
    }
    entryIds_[mapAppendPosition_] = catalogueIndexPlusOne;
    ++mapAppendPosition_;
}

void SlideList::clearMap() {
    for (int s = 0; s < kClearedByReset; ++s) {
        slides_[s].catalogueRow = -1;
    }
}

void SlideList::mapToEntry(int position, int entry) {
    if (inRange(position)) {
        slides_[position].catalogueRow = catalogueRowOfEntry(entry);
    }
}
