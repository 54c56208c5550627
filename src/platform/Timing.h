#pragma once

// The one timing knob: every fixed wait and timer interval of the program
// passes through scaledMs(), so tests can run the start-up, the download cycle
// and the page capture in seconds. The scale comes from the environment
// variable SKYGLANCE_TIME_SCALE (default 1) or from setTimeScale().

#include <chrono>
#include <future>
#include <type_traits>

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

// Waits for a result of another thread while letting events run.
template <typename T> void waitLettingEventsRun(const std::future<T>& result) {
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
        letEventsRun();
    }
}

// Runs work on a thread of its own and waits for its result while letting
// events run, so that decoding or encoding a picture never holds up the
// window. work must own what it reads (captures by value).
template <typename Work> std::invoke_result_t<Work> runOffUiThread(Work work) {
    auto result = std::async(std::launch::async, std::move(work));
    waitLettingEventsRun(result);
    return result.get();
}

} // namespace platform
