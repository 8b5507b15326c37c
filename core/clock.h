// The one record of settings and countdown state, the countdown engine and
// the text of every line the main window shows. Portable: all platform
// needs go through host.h, the settings file through settings.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "host.h"

enum { ClockTextSize = 260 };  // MAX_PATH: paths and values, terminating zero included
enum { LineSize = 256 };       // one display line

struct ClockData {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    char WorkDir[ClockTextSize];
    int32_t TimerFormat;   // 0 = 12-hour with AM/PM, otherwise 24-hour
    uint32_t StartTick;
    int32_t DurationMs;
    int32_t TimerMinute;
    int32_t TimerSecond;
    int32_t Running;
    int32_t SoundFormat;   // 0 = default beep, otherwise the wave file SoundWav
    int32_t BeepPending;
    char SoundWav[ClockTextSize];
    int32_t Restart;
    int32_t RestartArmed;
    int32_t RestartSec;
};

// Record set-up on a zeroed record: working directory, settings file, derived values.
void InitClockData(ClockData* data);
// (TimerMinute * 60 + TimerSecond) * 1000 in wrapping 32-bit arithmetic, so
// hand-edited presets of any size never overflow a signed int.
int32_t PresetDurationMs(int32_t minutes, int32_t seconds);

// Countdown engine.
void StartTimer(ClockData* data);
void StopTimer(ClockData* data);
// One evaluation: the clock lines, the restart, the countdown, expiry and
// alarm. A sounding default alarm beeps again only when beepDue; the first
// beep comes in the evaluation that notices the expiry, whatever beepDue says.
void ClockTick(HostWindow mainWindow, ClockData* data, bool beepDue = true);
void CheckRestart(ClockData* data);
void UpdateCountdown(HostWindow mainWindow, ClockData* data);
// The tick count at which the countdown next needs an evaluation: the end of
// a counting run, the first tick an armed restart may start, or the next beep
// of a sounding default alarm (whole seconds after the run's end, strictly
// after now). False when nothing is pending. A deadline already past is
// returned as it is, so the caller evaluates at once.
bool NextDeadline(const ClockData* data, uint32_t now, uint32_t* deadline);
// The deadline timer's next setting at now: *armed and *deadline hold the
// setting it has and receive the new one; handled says the deadline it holds
// was evaluated just now. A deadline that is due but not yet evaluated keeps
// its place, so the beep it stands for is not skipped. One sooner than
// MinDeadlineGapMs after an evaluated deadline (only hand-edited presets and
// delays of zero or less give one) is left to the next one-second tick, so
// that such settings cannot set the timer racing.
enum { MinDeadlineGapMs = 500 };
void PlanDeadline(const ClockData* data, uint32_t now, bool handled, bool* armed,
                  uint32_t* deadline);

// *awake takes whether the system must stay out of idle sleep: while a run
// counts or an automatic restart is pending, never without a record (closed).
// True when that changed it, the only time the request to the system changes.
bool AwakeChanged(const ClockData* data, bool* awake);

// Display lines.
void ClearListBox(DisplayBox listBox);
void ShowClockLines(const ClockData* data);
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
