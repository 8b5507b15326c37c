// A stand-in for the window system, shared by the unit tests, the fuzzer and
// the core benchmark: the test sets the tick count, the local time, the
// current directory and the window rectangle, and reads back the list boxes,
// the counts of raises, beeps and waves and, while record is on, every call
// in the order it came. With record off only what a list box itself would
// keep is kept, so the benchmark pays for a copy of each line and no more.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "clock.h"

struct FakeHost {
    uint32_t tick = 0;
    LocalTime time = {2003, 2, 0, 9, 0, 0, 0, 0};
    // The settings' needs (fake_settings_host.cpp).
    std::string currentDir = "/tmp/velmaris";
    bool rectOk = true;
    int32_t rect[4] = {0, 0, 0, 0};

    std::vector<std::string> boxes[2];  // what each list box holds now
    int raises = 0, beeps = 0, waves = 0;
    std::string lastWave;

    bool record = true;
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
// Told what was wrong when the core makes a call a window system would refuse
// (a line past the end of a box, a text without its zero). It aborts, as the
// fuzzer wants; the unit tests make it a test failure.
extern void (*FakeHostMisuse)(const std::string& what);
