// The text of every line the main window shows, and the display the engine
// hands back: the three clock lines and the countdown line, each group to be
// shown only when marked, by emptying its list box and inserting the lines
// from index 0 in order.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "record.h"

struct Display {
    int32_t clockShown;               // non-zero: ClockLines becomes clock[0..2]
    char clock[3][LineSize];          // date, time, restart setting
    int32_t countdownShown;           // non-zero: CountdownLine becomes countdown
    char countdown[LineSize];
};

// The three clock lines for the local time and the record's settings.
void ShowClockLines(Display* display, const ClockData* data, const LocalTime* time);
// The countdown line for minutes and seconds.
void ShowCountdown(Display* display, int32_t minutes, int32_t seconds);

void FormatDateLine(char* out, size_t size, const LocalTime* time);
void FormatTimeLine(char* out, size_t size, const LocalTime* time, int32_t timerFormat);
void FormatRestartLine(char* out, size_t size, int32_t restart, int32_t restartSec);
void FormatCountdownLine(char* out, size_t size, int32_t minutes, int32_t seconds);
