#include "state/RunState.h"

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
