#include "state/RunState.h"

#include "state/CommandLine.h"

#include <QDateTime>
#include <QLocale>

namespace {

QString shortDateTimeNow() {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::ShortFormat);
}

} // namespace

RunState::RunState() : nowText(shortDateTimeNow) {}

void RunState::UpdateSlideMap(int16_t mode, int16_t catalogueIndexPlusOne) {
    if (mode == -1) {
        LastUpdate = QStringLiteral(" - RFRS:") + nowText();
        statusLine1 = weAre + Aggiornare.toString() + LastUpdate.toString();
        statusLine2 = QStringLiteral(". . . ");
        if (onStatusTextChanged) {
            onStatusTextChanged();
        }
        slideMapAppendPosition_ = 0;
        listIdCopyright.clearForReset();
        listEntryIdCopyright.clearForReset();
    } else if (PictureTable<int16_t>::inRange(slideMapAppendPosition_)) {
        // A full map (2001 slides) takes no more entries.
        listIdCopyright[slideMapAppendPosition_] = catalogueIndexPlusOne;
        listEntryIdCopyright[slideMapAppendPosition_] = catalogueIndexPlusOne;
        ++slideMapAppendPosition_;
    }
    if (onSlideMapChanged) {
        onSlideMapChanged();
    }
}

void RunState::MapSlideToEntry(int slide, int entry) {
    listIdCopyright[slide] = listEntryIdCopyright[entry];
}

void RunState::ClearSlideKinds() {
    listImageKind.clearForReset();
    listAniGifFile.clearForReset();
    listKeptSince.clearForReset();
    listPictureNote.clearForReset();
}

Slide RunState::slideAt(int s) const {
    Slide slide;
    slide.position = s;
    slide.kind = listImageKind[s];
    slide.picture = listPicture[s];
    slide.loopFile = listAniGifFile[s];
    slide.keptSince = listKeptSince[s];
    slide.loaded = listIMAGEnotLoaded[s] != -1;
    slide.pictureNote = listPictureNote[s];
    slide.catalogueRow = listIdCopyright[s] - 1;
    if (slide.catalogueRow < 0) {
        slide.catalogueRow = -1;
        slide.statusLine1 = weAre;
        slide.statusLine2 = QStringLiteral(". . . ");
        return slide;
    }
    std::array<QString, 6> fields{};
    SplitFields<5>(listCopyright[slide.catalogueRow], fields, [] {});
    slide.statusLine1 = fields[1] + Aggiornare.toString() + LastUpdate.toString();
    slide.timingCode = fields[2];
    slide.statusLine2 = fields[3];
    return slide;
}
