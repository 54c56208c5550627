#pragma once

// The one timing knob: every fixed wait and timer interval of the program
// passes through scaledMs(), so tests can run the start-up, the download cycle
// and the page capture in seconds. The scale comes from the environment
// variable SKYGLANCE_TIME_SCALE (default 1) or from setTimeScale().

namespace platform {

double timeScale();
void setTimeScale(double scale);

// ms multiplied by the time scale, at least 1 ms for a positive ms.
int scaledMs(int ms);

// Waits ms (scaled) while letting pending events run, like the old
// "sleep 10 ms, DoEvents" loops: timer ticks and clicks run in the middle.
void pauseLettingEventsRun(int ms);

// Lets pending events run once, without waiting.
void letEventsRun();

} // namespace platform
