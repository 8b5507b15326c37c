// The countdown engine. Time is pushed in and what the shell must do comes
// back as data: each entry point takes the record, one reading of the clocks
// and what happened, and fills an Effects record, which the shell applies in
// one place. The engine keeps no state outside the record.
#pragma once
#include <stdint.h>

#include "lines.h"
#include "record.h"

// The rules, which are the whole behaviour:
// The countdown waits for one moment at a time, the end of a counting run, the
// start of a pending restart or the next beep of a sounding default alarm, and
// a moment counts as passed once reached or once it lies farther ahead than it
// ever can, as one passed in a sleep as long as the tick count's range does.
// The restart delay is clamped to at least a second and at most what the tick
// count can time after the end.
// A restart starts at the end plus the delay, which keeps the rhythm; one
// noticed a second or more late, with under a second of its run left, starts a
// whole run from then.
// An alarm that comes late re-bases the chain on itself, so the next one is at
// least a second away; and no run ends within a second of the last alarm (a
// second here being MinAlarmGapMs).
// A sounding default alarm beeps at its expiry and then once a second, never
// less than half a second after the last beep.

// What happened: one of the shell's two timers fired, a command, or the
// system is about to sleep (Suspending, which evaluates nothing).
enum EngineEvent {
    ClockTimer, DeadlineTimer, StartPressed, StopPressed, SettingsChanged, Suspending
};

// Past each second of the local time by this much, the clock's timer reads
// the new second even when the local time and the timer round apart.
enum { SecondMarginMs = 2 };
// Half a second: a beep late by more than that is followed half a second on,
// neither hurried nor skipped.
enum { MinBeepGapMs = 500 };
// A second, less one 15.6 ms step of the system timer: alarms a second apart
// in the rhythm may be delivered that much closer.
enum { MinAlarmGapMs = 984 };

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
// always ticks; a DeadlineTimer runs the countdown without the clock lines,
// and as each step acts only once its moment is due, an early or stale one is
// harmless; commands act at once. data may be NULL (no record): then only the
// clock is planned.
void RunEngine(ClockData* data, const ClockNow* now, EngineEvent event, Effects* out);

// The steps RunEngine is made of.
void StartTimer(ClockData* data, uint32_t now);
void StopTimer(ClockData* data, Effects* out);
// One tick of the clock: the clock lines, the restart, the countdown, expiry
// and alarm, and the beep when its moment has come.
void ClockTick(ClockData* data, const ClockNow* now, Effects* out);
// A pending restart silences the alarm and, once its moment has passed,
// starts the next run at that moment.
void CheckRestart(ClockData* data, uint32_t now);
// Shows what is left, or ends the run: raise, alarm, the preset shown again.
void UpdateCountdown(ClockData* data, uint32_t now, Effects* out);
