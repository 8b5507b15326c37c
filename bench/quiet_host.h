// The benchmark's host: a tick count and local time the benchmark sets, the
// list boxes' current text, and counts of raises, beeps and waves.
#pragma once
#include <stdint.h>

#include "host.h"

struct QuietHost {
    enum { MaxLines = 3 };
    uint32_t tick;
    LocalTime time;
    char lines[2][MaxLines][256];
    int count[2];
    long raises, beeps, waves;
};

extern QuietHost quietHost;
