// The one record of settings and countdown state, the countdown engine and
// the text of every line the main window shows. Portable: all platform
// needs go through host.h. The settings file is the layer above.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "host.h"

enum { PathSize = 260 };  // MAX_PATH: paths and values, terminating zero included
enum { LineSize = 256 };       // one display line

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
};

// One reading of the two clocks, taken by the shell once per message.
struct ClockNow {
    uint32_t tick;    // milliseconds since system start, wraps
    LocalTime local;  // the local time of day
};

// (TimerMinute * 60 + TimerSecond) * 1000 in wrapping 32-bit arithmetic, so
// hand-edited presets of any size never overflow a signed int.
int32_t PresetDurationMs(int32_t minutes, int32_t seconds);

// The value a settings combo box's text gives, as read into BoxTextSize
// bytes: a whole number from low to high, spaces around it allowed, counts;
// anything else, a text that filled the buffer among it, gives the fallback.
enum { BoxTextSize = 16 };
int32_t BoxValue(const char* text, int32_t low, int32_t high, int32_t fallback);

// Countdown engine. Each step takes the tick count as read once by the shell.
void StartTimer(ClockData* data, uint32_t now);
void StopTimer(ClockData* data);
// One tick of the clock: the clock lines, the restart, the countdown, expiry
// and alarm. A sounding default alarm beeps when its second has come.
void ClockTick(HostWindow mainWindow, ClockData* data, const ClockNow* now);
// Starts the next run at its nominal moment, the end plus the restart delay,
// so that a chain keeps its rhythm; a run that would be over already (after a
// stall, or with a period of zero or less) starts now instead.
void CheckRestart(ClockData* data, uint32_t now);
void UpdateCountdown(HostWindow mainWindow, ClockData* data, uint32_t now);

// The shell's two timers: the clock's, just after each second of the local
// time, and the deadline's, at the countdown's next end, restart or beep.
enum TimerFired { NoTimer, ClockTimer, DeadlineTimer };
enum { SecondMarginMs = 2 };  // how far past the second the clock timer aims
enum { MinBeepGapMs = 500 };  // a late beep is not followed by a hurried one
struct TimerPlan {
    uint32_t clockMs;     // delay for the clock timer; 0: leave it as it is
    int32_t deadline;     // non-zero: set the deadline timer, otherwise kill it
    uint32_t deadlineMs;  // its delay; 0 when already due
};
// Runs what is due at now for the timer that fired (NoTimer after a command,
// which evaluates nothing) and says what to arm next. A ClockTimer always
// ticks; a DeadlineTimer evaluates the countdown only when something is due,
// so an early or stale one is harmless. data may be NULL: then only the
// clock is planned.
void RunTimers(HostWindow mainWindow, ClockData* data, const ClockNow* now, TimerFired fired,
               TimerPlan* plan);

// *awake takes whether the system must stay out of idle sleep: while a run
// counts or an automatic restart is pending, never without a record (closed).
// True when that changed it, the only time the request to the system changes.
bool AwakeChanged(const ClockData* data, bool* awake);

// Display lines.
void ClearListBox(DisplayBox listBox);
void ShowClockLines(const ClockData* data, const LocalTime* time);
void ShowCountdown(int32_t minutes, int32_t seconds);
// The texts of the three clock lines for a given local time.
void FormatDateLine(char* out, size_t size, const LocalTime* time);
void FormatTimeLine(char* out, size_t size, const LocalTime* time, int32_t timerFormat);
void FormatRestartLine(char* out, size_t size, int32_t restart, int32_t restartSec);
void FormatCountdownLine(char* out, size_t size, int32_t minutes, int32_t seconds);

// Bounded printf into out; always zero-terminated, returns false when cut.
bool FormatText(char* out, size_t size, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
