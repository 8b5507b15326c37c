#include "engine.h"

#include <string.h>

// How far moment lies ahead of now, 0 once it has been reached. A moment never
// lies more than longest ahead: a larger distance means the tick count passed
// it long ago, in a sleep or across the wrap, so it counts as reached rather
// than as weeks away.
static uint32_t WaitFor(uint32_t moment, uint32_t now, uint32_t longest)
{
    return moment - now <= longest ? moment - now : 0;
}

// A negative preset (only from a hand-edited file) runs as a zero-length one.
static uint32_t RunLength(const ClockData* data)
{
    return data->DurationMs > 0 ? (uint32_t)data->DurationMs : 0u;
}

static uint32_t EndTick(const ClockData* data)
{
    return data->StartTick + RunLength(data);
}

// At most 49.7 days less the run, so that the end can still be told from
// ahead when the restart comes; at least a second, so that no chain rings
// faster than once a second.
static uint32_t RestartDelayMs(const ClockData* data)
{
    int64_t ms = (int64_t)data->RestartSec * 1000;
    int64_t longest = (int64_t)UINT32_MAX - 1 - RunLength(data);
    return (uint32_t)(ms < 1000 ? 1000 : ms < longest ? ms : longest);
}

// When a pending restart starts: the end plus the delay, which keeps the
// rhythm; but when the last alarm came so late (a stall, a sleep, an end held
// for the alarm before it) that the next end would follow it within a second,
// the chain goes on from that alarm instead.
static uint32_t RestartTick(const ClockData* data)
{
    uint32_t end = EndTick(data), delay = RestartDelayMs(data), period = RunLength(data) + delay;
    // The end had come by the alarm, unless a longer preset has since moved it past.
    bool late = WaitFor(end, data->AlarmTick, RunLength(data)) == 0 &&
                WaitFor(end + period, data->AlarmTick, period) < MinAlarmGapMs;
    return (late ? data->AlarmTick : end) + delay;
}

enum Moment { Nothing, RunEnd, RestartStart, NextBeep };

// The one moment the countdown waits for, and how long until it comes (0 once
// due): the end of a counting run, but not within a second of the last alarm;
// 1 ms past its start tick for a pending restart, as that millisecond still
// belongs to the delay; the next beep of a sounding alarm.
static Moment Schedule(const ClockData* data, uint32_t now, uint32_t* wait)
{
    if (data->Running != 0) {
        uint32_t end = WaitFor(EndTick(data), now, RunLength(data));
        uint32_t gap = WaitFor(data->AlarmTick + MinAlarmGapMs, now, MinAlarmGapMs);
        *wait = end > gap ? end : gap;
        return RunEnd;
    }
    if (data->RestartArmed == 1 && data->Restart == 1) {
        *wait = WaitFor(RestartTick(data) + 1, now, RunLength(data) + RestartDelayMs(data) + 1);
        return RestartStart;
    }
    *wait = WaitFor(data->BeepTick, now, 1000);
    return data->SoundFormat == 0 && data->BeepPending == 1 ? NextBeep : Nothing;
}

void StartTimer(ClockData* data, uint32_t now)
{
    data->StartTick = now;
    data->Running = 1;
    data->RestartArmed = 1;
    data->AlarmTick = now - MinAlarmGapMs;  // a run the user starts rings when it ends
}

void StopTimer(ClockData* data, Effects* out)
{
    data->Running = 0;
    data->BeepPending = 0;
    data->RestartArmed = 0;
    ShowCountdown(&out->display, data->TimerMinute, data->TimerSecond);
}

void CheckRestart(ClockData* data, uint32_t now)
{
    uint32_t wait;
    if (Schedule(data, now, &wait) != RestartStart)
        return;
    data->BeepPending = 0;
    if (wait != 0)
        return;
    // Noticed a second or more late (a sleep without a wake timer, restart
    // turned on long after the end) with under a second of its run left, it
    // would ring at once: a whole run from now instead.
    uint32_t at = RestartTick(data), late = now - at;
    data->StartTick = late >= 1000 && (uint64_t)late + 1000 > RunLength(data) ? now : at;
    data->Running = 1;
}

void UpdateCountdown(ClockData* data, uint32_t now, Effects* out)
{
    uint32_t wait, left = WaitFor(EndTick(data), now, RunLength(data));
    if (Schedule(data, now, &wait) != RunEnd || wait > 0) {
        ShowCountdown(&out->display, (int32_t)(left / 60000), (int32_t)(left / 1000 % 60));
        return;
    }
    out->raise = 1;
    data->Running = 0;
    data->AlarmTick = now;
    if (data->SoundFormat != 0) {
        out->playWave = 1;
        memcpy(out->wave, data->SoundWav, PathSize - 1);  // out comes zeroed: it ends there
    } else {
        data->BeepPending = 1;
        data->BeepTick = now + 1000;
        out->beep = 1;  // the first beep sounds with the expiry
    }
    ShowCountdown(&out->display, data->TimerMinute, data->TimerSecond);
}

static void RunCountdown(ClockData* data, uint32_t now, Effects* out)
{
    uint32_t wait;
    CheckRestart(data, now);
    if (data->Running != 0)
        UpdateCountdown(data, now, out);
    else if (Schedule(data, now, &wait) == NextBeep && wait == 0) {
        // Each beep keeps the second of the one before, but comes no sooner
        // than half a second after the last.
        uint32_t next = WaitFor(data->BeepTick + 1000, now, 1000);
        data->BeepTick = now + (next < MinBeepGapMs ? (uint32_t)MinBeepGapMs : next);
        out->beep = 1;
    }
}

void ClockTick(ClockData* data, const ClockNow* now, Effects* out)
{
    ShowClockLines(&out->display, data, &now->local);
    RunCountdown(data, now->tick, out);
}

void RunEngine(ClockData* data, const ClockNow* now, EngineEvent event, Effects* out)
{
    memset(out, 0, sizeof *out);
    // Only the clock's own tick aims it anew: aimed from another message just
    // as a second begins, it would skip the tick that shows that second.
    if (event == ClockTimer)
        out->plan.clockMs = 1000u - now->local.wMilliseconds % 1000u + SecondMarginMs;
    if (!data)
        return;
    switch (event) {
    case ClockTimer:
        ClockTick(data, now, out);
        break;
    case DeadlineTimer:  // early or stale, it finds nothing due
        RunCountdown(data, now->tick, out);
        break;
    case StartPressed:
        StartTimer(data, now->tick);
        break;
    case StopPressed:
        StopTimer(data, out);
        break;
    case SettingsChanged:
        ShowCountdown(&out->display, data->TimerMinute, data->TimerSecond);
        break;
    case Suspending:
        break;
    }
    uint32_t wait;
    Moment next = Schedule(data, now->tick, &wait);
    out->plan.deadline = next != Nothing;
    out->plan.deadlineMs = next == Nothing ? 0 : wait < INT32_MAX ? wait : (uint32_t)INT32_MAX;
    // Woken at the restart moment, the next run starts on time and ends on
    // time. A sounding alarm is no reason to wake.
    out->plan.wake = event == Suspending && (next == RunEnd || next == RestartStart);
    out->plan.wakeMs = out->plan.wake ? out->plan.deadlineMs : 0;
    // Kept up while the beep sounds too: after a wake for its end, Windows
    // would sleep again about two minutes on, with the alarm unheard.
    out->keepAwake = out->plan.deadline;
}
