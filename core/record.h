// ClockData, the program's one record of settings, window rectangle and
// countdown state, and the one reading of the clocks that every step of the
// engine takes. Portable: no window-system types.
#pragma once
#include <stdint.h>

enum { PathSize = 260 };  // MAX_PATH: paths and values, terminating zero included
enum { LineSize = 256 };  // one display line

struct ClockData {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    char WorkDir[PathSize];
    int32_t TimerFormat;   // 0 = 12-hour with AM/PM, otherwise 24-hour
    uint32_t StartTick;
    int32_t DurationMs;
    int32_t TimerMinute;
    int32_t TimerSecond;
    int32_t Running;
    int32_t SoundFormat;   // 0 = default beep, otherwise the wave file SoundWav
    int32_t BeepPending;
    char SoundWav[PathSize];
    int32_t Restart;
    int32_t RestartArmed;
    int32_t RestartSec;
    uint32_t BeepTick;     // the next beep of a sounding default alarm
    uint32_t AlarmTick;    // the last alarm, which the next keeps a second from
    // The settings file may be written: set by a load that read it or could
    // write it, and by OK in Settings. A load that could not read it leaves 0,
    // so that the record's zeros do not replace settings the file may hold
    // (it may have been locked only for a moment).
    int32_t MaySave;
};

// Local time as the window system reports it (the fields of SYSTEMTIME).
struct LocalTime {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;  // 0 = Sunday
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

// One reading of the two clocks, taken by the shell once per message.
struct ClockNow {
    uint32_t tick;    // milliseconds since system start, wraps
    LocalTime local;  // the local time of day
};

// (TimerMinute * 60 + TimerSecond) * 1000 in wrapping 32-bit arithmetic, so
// hand-edited presets of any size never overflow a signed int.
int32_t PresetDurationMs(int32_t minutes, int32_t seconds);
