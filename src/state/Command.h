#pragma once

#include <cstdint>

// What the bar, the panel or the program itself asks of the supervisor. The
// supervisor carries it out at its next tick in which no slide tick and no
// download cycle runs, so that a request made in the middle of either is
// neither lost nor carried out half-way. The numbers are what the run-state
// box and the diagnostics show.
enum class Command : int16_t {
    None = 0,       // the show runs
    OpenPanel = 1,  // open the configuration panel
    Quit = 2,       // end the program in order
    PanelShown = 3, // the panel is up: its buttons are kept ready
};
