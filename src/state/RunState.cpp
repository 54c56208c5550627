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

void RunState::stampRefreshTime() {
    LastUpdate = QStringLiteral(" - RFRS:") + (nowText ? nowText() : QString());
}

void RunState::restartStatusLines() {
    stampRefreshTime();
    statusLine1 = weAre + Aggiornare.toString() + LastUpdate.toString();
    statusLine2 = QStringLiteral(". . . ");
}
