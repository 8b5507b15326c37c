#include "engine.h"

#include <string.h>

// How far moment lies ahead of now, 0 once it has been reached. A moment never
// lies more than longest ahead (at most INT32_MAX): a larger distance means the
// tick count passed it long ago, in a sleep or across the wrap, so it counts
// as reached rather than as weeks away.
static uint32_t WaitFor(uint32_t moment, uint32_t now, uint32_t longest)
{
    uint32_t wait = moment - now;
    return wait <= longest ? wait : 0;
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

// The restart delay in milliseconds, at most the longest the tick count can
// time after a run's end (49.7 days less the run): a hand-edited delay must
// neither wrap to a short one nor reach past the point where the end reads
// as ahead again.
static int64_t RestartDelayMs(const ClockData* data)
{
    int64_t ms = (int64_t)data->RestartSec * 1000;
    int64_t longest = (int64_t)UINT32_MAX - 1 - RunLength(data);
    return ms < longest ? ms : longest;
}

// A chain shorter than this rings with the clock's tick, once a second.
static bool FastChain(const ClockData* data)
{
    return (int64_t)RunLength(data) + RestartDelayMs(data) < 1000;
}

static bool RestartPending(const ClockData* data)
{
    return data->RestartArmed == 1 && data->Restart == 1 && data->Running == 0;
}

static bool Beeping(const ClockData* data)
{
    return data->Running == 0 && data->SoundFormat == 0 && data->BeepPending == 1;
}

static uint32_t EndWait(const ClockData* data, uint32_t now)
{
    return WaitFor(EndTick(data), now, RunLength(data));
}

static uint32_t AlarmGapWait(const ClockData* data, uint32_t now)
{
    return WaitFor(data->AlarmTick + MinAlarmGapMs, now, MinAlarmGapMs);
}

// How long until the pending restart may start (1 ms past its nominal moment,
// the end plus the delay), 0 once it may; capped for the timer, whose early
// firing only plans again.
static uint32_t RestartWait(const ClockData* data, uint32_t now)
{
    int64_t wait = RestartDelayMs(data) + 1;
    uint32_t end = EndWait(data, now);
    if (end == 0)
        wait -= (uint32_t)(now - EndTick(data));  // time since the end
    else
        wait += end;  // the preset was lengthened after the end
    return wait <= 0 ? 0u : wait < INT32_MAX ? (uint32_t)wait : (uint32_t)INT32_MAX;
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
    if (!RestartPending(data))
        return;
    data->BeepPending = 0;
    // A chain shorter than a second restarts at a tick of the clock that lets
    // it ring, never to wait within the run for the second to pass.
    if (RestartWait(data, now) != 0 || (FastChain(data) && AlarmGapWait(data, now) != 0))
        return;
    int64_t delay = RestartDelayMs(data);
    int64_t late = (int64_t)(uint32_t)(now - EndTick(data)) - delay;
    uint32_t start = EndTick(data) + (uint32_t)delay;
    // Held up past the moment, by a stall or a sleep: what would be left is
    // less than a second, or nothing. Starting now rings a whole run later,
    // not at once after the late end, and never in a burst to catch up.
    if (late > StallMs && (int64_t)RunLength(data) - late < 1000)
        start = now;
    data->Running = 1;
    data->StartTick = start;
}

void UpdateCountdown(ClockData* data, uint32_t now, Effects* out)
{
    uint32_t left = EndWait(data, now);
    if (left > 0 || AlarmGapWait(data, now) > 0) {
        ShowCountdown(&out->display, (int32_t)(left / 60000), (int32_t)(left / 1000 % 60));
        return;
    }
    out->raise = 1;
    data->Running = 0;
    data->AlarmTick = now;
    if (data->SoundFormat != 0) {
        out->playWave = 1;
        memcpy(out->wave, data->SoundWav, PathSize);
        out->wave[PathSize - 1] = '\0';
    } else {
        data->BeepPending = 1;
        data->BeepTick = now;  // the first beep sounds with the expiry
    }
    ShowCountdown(&out->display, data->TimerMinute, data->TimerSecond);
}

// Beeps keep the phase of the end, the next whole second after it past now,
// but never come hurried after a late one.
static uint32_t NextBeepTick(const ClockData* data, uint32_t now)
{
    int32_t phase = (int32_t)(now - EndTick(data)) % 1000;
    if (phase < 0)
        phase += 1000;  // the end was moved later
    int32_t wait = 1000 - phase;
    return now + (uint32_t)(wait < MinBeepGapMs ? MinBeepGapMs : wait);
}

static void RunCountdown(ClockData* data, uint32_t now, Effects* out)
{
    CheckRestart(data, now);
    if (data->Running != 0) {
        UpdateCountdown(data, now, out);
        if (data->Running != 0)
            return;
    }
    if (Beeping(data) && WaitFor(data->BeepTick, now, 1000) == 0) {
        out->beep = 1;
        data->BeepTick = NextBeepTick(data, now);
    }
}

void ClockTick(ClockData* data, const ClockNow* now, Effects* out)
{
    ShowClockLines(&out->display, data, &now->local);
    RunCountdown(data, now->tick, out);
}

// How long until the countdown next needs an evaluation: the end of a
// counting run (and a second after the last alarm), the first tick an armed
// restart may start, or the next beep of a sounding default alarm. False when
// nothing is pending, and for a chain shorter than a second, which the
// clock's tick takes.
static bool NextDeadline(const ClockData* data, uint32_t now, uint32_t* wait)
{
    if (data->Running != 0) {
        uint32_t end = EndWait(data, now), gap = AlarmGapWait(data, now);
        *wait = end > gap ? end : gap;
        return true;
    }
    if (RestartPending(data)) {
        *wait = RestartWait(data, now);
        return !FastChain(data);
    }
    *wait = WaitFor(data->BeepTick, now, 1000);
    return Beeping(data);
}

// A moment that lies ahead by more than it ever can (the end of a counting
// run more than the run's length, the second after an alarm more than a
// second) was passed in a sleep as long as the tick count's range: it counts
// as passed now, and stays passed as the count moves on.
static void SettleWrappedMoments(ClockData* data, uint32_t now)
{
    if (data->Running != 0 && (int32_t)(EndTick(data) - now) > (int32_t)RunLength(data))
        data->StartTick = now - RunLength(data);
    if ((int32_t)(data->AlarmTick + MinAlarmGapMs - now) > MinAlarmGapMs)
        data->AlarmTick = now - MinAlarmGapMs;
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
    SettleWrappedMoments(data, now->tick);
    uint32_t wait = 0;
    switch (event) {
    case ClockTimer:
        ClockTick(data, now, out);
        break;
    case DeadlineTimer:
        if (NextDeadline(data, now->tick, &wait) && wait == 0)
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
    out->plan.deadline = NextDeadline(data, now->tick, &wait);
    out->plan.deadlineMs = out->plan.deadline ? wait : 0;
    // Woken at the restart moment, the next run starts on time and ends on
    // time; woken at its end, it would start late, as after a stall. A
    // sounding alarm is no reason to wake.
    bool pending = data->Running != 0 || RestartPending(data);
    out->plan.wake = event == Suspending && pending && out->plan.deadline;
    out->plan.wakeMs = out->plan.wake ? wait : 0;
    // Kept up while the beep sounds too: after a wake for its end, Windows
    // would sleep again about two minutes on, with the alarm unheard.
    out->keepAwake = pending || Beeping(data);
}
