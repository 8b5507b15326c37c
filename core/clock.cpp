#include "clock.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

bool FormatText(char* out, size_t size, const char* format, ...)
{
    if (size == 0)
        return false;
    va_list args;
    va_start(args, format);
#if defined(_WIN32)
    // msvcrt's _snprintf keeps the executable small; it does not terminate on truncation.
    int n = _vsnprintf(out, size, format, args);
    out[size - 1] = '\0';
#else
    int n = vsnprintf(out, size, format, args);
#endif
    va_end(args);
    return n >= 0 && (size_t)n < size;
}

int32_t PresetDurationMs(int32_t minutes, int32_t seconds)
{
    uint32_t total = ((uint32_t)minutes * 60u + (uint32_t)seconds) * 1000u;
    return (int32_t)total;
}

int32_t BoxValue(const char* text, int32_t low, int32_t high, int32_t fallback)
{
    size_t length = strlen(text);
    if (length == 0 || length >= BoxTextSize - 1)  // empty, or cut short
        return fallback;
    const char* p = text;
    while (*p == ' ')
        ++p;
    int32_t value = 0;
    const char* digits = p;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value <= high)  // stops growing once out of range, so never overflows
            value = value * 10 + (*p - '0');
    bool number = p != digits;
    while (*p == ' ')
        ++p;
    if (!number || *p != '\0' || value < low || value > high)
        return fallback;
    return value;
}

// Tick arithmetic wraps in 32 bits; the sign of the result decides.
static int32_t TickDifference(uint32_t later, uint32_t now)
{
    return (int32_t)(later - now);
}

void StartTimer(ClockData* data, uint32_t now)
{
    data->StartTick = now;
    data->Running = 1;
    data->RestartArmed = 1;
}

void StopTimer(ClockData* data)
{
    ClearListBox(CountdownLine);
    data->Running = 0;
    data->BeepPending = 0;
    data->RestartArmed = 0;
    ShowCountdown(data->TimerMinute, data->TimerSecond);
}

static uint32_t EndTick(const ClockData* data)
{
    return data->StartTick + (uint32_t)data->DurationMs;
}

static bool RestartPending(const ClockData* data)
{
    return data->RestartArmed == 1 && data->Restart == 1 && data->Running == 0;
}

static bool Beeping(const ClockData* data)
{
    return data->Running == 0 && data->SoundFormat == 0 && data->BeepPending == 1;
}

// The nominal end plus the restart delay; a restart comes strictly after it.
static uint32_t RestartTick(const ClockData* data)
{
    return EndTick(data) + (uint32_t)data->RestartSec * 1000u;
}

void CheckRestart(ClockData* data, uint32_t now)
{
    if (!RestartPending(data))
        return;
    data->BeepPending = 0;
    // The same test as the deadline's (RestartTick + 1 reached), so the two
    // agree even half the tick range away.
    uint32_t start = RestartTick(data);
    if (TickDifference(start + 1u, now) > 0)
        return;
    if (TickDifference(start + (uint32_t)data->DurationMs, now) <= 0)
        start = now;  // no burst of alarms to catch up, and no start that stands still
    data->Running = 1;
    data->StartTick = start;
}

void UpdateCountdown(HostWindow mainWindow, ClockData* data, uint32_t now)
{
    ClearListBox(CountdownLine);
    int32_t remaining = TickDifference(EndTick(data), now);
    if (remaining > 0) {
        ShowCountdown(remaining / 60000, (remaining / 1000) % 60);
        return;
    }
    HostRaiseWindow(mainWindow);
    data->Running = 0;
    if (data->SoundFormat != 0) {
        HostPlayWave(data->SoundWav);
    } else {
        data->BeepPending = 1;
        data->BeepTick = now;  // the first beep sounds with the expiry
    }
    ShowCountdown(data->TimerMinute, data->TimerSecond);
}

// Beeps keep the phase of the end, the next whole second after it past now,
// but never come hurried after a late one.
static uint32_t NextBeepTick(const ClockData* data, uint32_t now)
{
    int32_t phase = TickDifference(now, EndTick(data)) % 1000;
    if (phase < 0)
        phase += 1000;
    int32_t wait = 1000 - phase;
    return now + (uint32_t)(wait < MinBeepGapMs ? MinBeepGapMs : wait);
}

static void RunCountdown(HostWindow mainWindow, ClockData* data, uint32_t now)
{
    CheckRestart(data, now);
    if (data->Running != 0) {
        UpdateCountdown(mainWindow, data, now);
        if (data->Running != 0)
            return;
    }
    if (Beeping(data) && TickDifference(data->BeepTick, now) <= 0) {
        HostBeep();
        data->BeepTick = NextBeepTick(data, now);
    }
}

void ClockTick(HostWindow mainWindow, ClockData* data, const ClockNow* now)
{
    ShowClockLines(data, &now->local);
    RunCountdown(mainWindow, data, now->tick);
}

// The tick count at which the countdown next needs an evaluation: the end of
// a counting run, the first tick an armed restart may start, or the next beep
// of a sounding default alarm. False when nothing is pending, and for a
// restart whose period (preset plus delay) is zero or less, which would
// otherwise restart and expire at every deadline: the clock's tick takes it.
static bool NextDeadline(const ClockData* data, uint32_t* deadline)
{
    if (data->Running != 0) {
        *deadline = EndTick(data);
        return true;
    }
    if (RestartPending(data)) {
        *deadline = RestartTick(data) + 1u;
        return TickDifference(RestartTick(data), data->StartTick) > 0;
    }
    *deadline = data->BeepTick;
    return Beeping(data);
}

void RunTimers(HostWindow mainWindow, ClockData* data, const ClockNow* now, TimerFired fired,
               TimerPlan* plan)
{
    // Only the clock's own tick aims it anew: aimed from another message just
    // as a second begins, it would skip the tick that shows that second.
    plan->clockMs = fired == ClockTimer ? 1000u - now->local.wMilliseconds % 1000u + SecondMarginMs : 0;
    plan->deadline = 0;
    plan->deadlineMs = 0;
    if (!data)
        return;
    uint32_t next = 0;
    bool due = NextDeadline(data, &next) && TickDifference(next, now->tick) <= 0;
    if (fired == ClockTimer)
        ClockTick(mainWindow, data, now);
    else if (fired == DeadlineTimer && due)
        RunCountdown(mainWindow, data, now->tick);
    if (!NextDeadline(data, &next))
        return;
    int32_t wait = TickDifference(next, now->tick);
    plan->deadline = 1;
    plan->deadlineMs = wait > 0 ? (uint32_t)wait : 0u;
}

bool AwakeChanged(const ClockData* data, bool* awake)
{
    bool now = data && (data->Running != 0 || RestartPending(data));
    bool changed = now != *awake;
    *awake = now;
    return changed;
}
