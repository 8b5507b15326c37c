// A recording stand-in for the window system: the test sets the tick count,
// the local time, the current directory and the window rectangle, and reads
// back the list boxes and every raise, beep and wave in the order they came.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "clock.h"

struct FakeHost {
    uint32_t tick = 0;
    LocalTime time = {2003, 2, 0, 9, 0, 0, 0, 0};
    std::string currentDir = "/tmp/velmaris";
    bool rectOk = true;
    int32_t rect[4] = {0, 0, 0, 0};

    std::vector<std::string> boxes[2];  // what each list box holds now
    std::vector<std::string> events;    // "raise", "beep", "wave <path>", "clear <box>", "insert <box> <i> <text>"
    std::vector<HostWindow> raisedWindows;

    int Count(const std::string& event) const;
    // Events since the mark, and a new mark at the end.
    std::vector<std::string> Take();
    size_t mark = 0;
};

// The one instance the Host* functions act on; reset by each fixture.
extern FakeHost fakeHost;
void ResetFakeHost();
// The fake's two clocks as the shell would read them.
ClockNow FakeNow();
