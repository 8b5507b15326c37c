// The countdown engine. Time is pushed in and what the shell must do comes
// back as data: each entry point takes the record, one reading of the clocks
// and what happened, and fills an Effects record, which the shell applies in
// one place. The engine keeps no state outside the record.
#pragma once
#include <stdint.h>

#include "lines.h"
#include "record.h"

// What happened: one of the shell's two timers fired, a command, or the
// system is about to sleep (Suspending, which evaluates nothing).
enum EngineEvent {
    ClockTimer, DeadlineTimer, StartPressed, StopPressed, SettingsChanged, Suspending
};

enum { SecondMarginMs = 2 };    // how far past the second the clock timer aims
enum { MinBeepGapMs = 500 };    // a late beep is not followed by a hurried one
enum { MinAlarmGapMs = 984 };   // a second, less one 15.6 ms step of the system timer
enum { StallMs = 250 };         // a restart later than this was held up, not merely jittered

// The shell's two timers: the clock's, just after each second of the local
// time, and the deadline's, at the countdown's next end, restart or beep.
struct TimerPlan {
    uint32_t clockMs;     // delay for the clock timer; 0: leave it as it is
    int32_t deadline;     // non-zero: set the deadline timer, otherwise it must not run
    uint32_t deadlineMs;  // its delay, 0 when already due; never above INT32_MAX
    // Set at Suspending only: the wake timer, which brings a sleeping system
    // back, for the end of a counting run or the start of a pending restart.
    int32_t wake;
    uint32_t wakeMs;      // its delay, as deadlineMs
};

struct Effects {
    Display display;          // lines to show
    int32_t raise;            // bring the window in front of all others
    int32_t beep;             // the short system beep
    int32_t playWave;         // play wave once, asynchronously, silent on failure
    char wave[PathSize];
    TimerPlan plan;
    int32_t keepAwake;        // the system must stay out of idle sleep: while a run
                              // counts, a restart is pending or the beep sounds
};

// Runs what the event asks at now and fills out (zeroed first). A ClockTimer
// always ticks; a DeadlineTimer evaluates the countdown only when something
// is due, so an early or stale one is harmless; commands act at once. data
// may be NULL (no record): then only the clock is planned.
void RunEngine(ClockData* data, const ClockNow* now, EngineEvent event, Effects* out);

// The steps RunEngine is made of.
void StartTimer(ClockData* data, uint32_t now);
void StopTimer(ClockData* data, Effects* out);
// One tick of the clock: the clock lines, the restart, the countdown, expiry
// and alarm. A sounding default alarm beeps when its second has come.
void ClockTick(ClockData* data, const ClockNow* now, Effects* out);
// Starts the next run at its nominal moment, the end plus the restart delay,
// so that a chain keeps its rhythm; a run held up past that moment by a stall
// or a sleep, that would have less than a second left, starts now instead.
void CheckRestart(ClockData* data, uint32_t now);
// Shows what is left, or ends the run: raise, alarm, the preset shown again.
// An end less than a second after the last alarm waits for that second.
void UpdateCountdown(ClockData* data, uint32_t now, Effects* out);
