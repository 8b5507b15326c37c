#include "clock.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "../settings/settings.h"

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

void InitClockData(ClockData* data)
{
    memset(data->SoundWav, 0, sizeof data->SoundWav);
    if (HostCurrentDirectory(data->WorkDir, sizeof data->WorkDir) == 0)
        data->WorkDir[0] = '\0';  // no usable directory: the settings file counts as unopenable
    TransferSettings(data, 0);
    data->RestartArmed = 0;
    data->DurationMs = PresetDurationMs(data->TimerMinute, data->TimerSecond);
}

// Tick arithmetic wraps in 32 bits; the sign of the result decides.
static int32_t TickDifference(uint32_t later, uint32_t now)
{
    return (int32_t)(later - now);
}

void StartTimer(ClockData* data)
{
    data->StartTick = HostTickCount();
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

// The nominal end plus the restart delay; a restart comes strictly after it.
static uint32_t RestartTick(const ClockData* data)
{
    return EndTick(data) + (uint32_t)data->RestartSec * 1000u;
}

void CheckRestart(ClockData* data)
{
    if (!RestartPending(data))
        return;
    data->BeepPending = 0;
    if (TickDifference(RestartTick(data), HostTickCount()) < 0) {
        data->Running = 1;
        data->StartTick = HostTickCount();
    }
}

void UpdateCountdown(HostWindow mainWindow, ClockData* data)
{
    ClearListBox(CountdownLine);
    int32_t remaining = TickDifference(EndTick(data), HostTickCount());
    if (remaining > 0) {
        ShowCountdown(remaining / 60000, (remaining / 1000) % 60);
        return;
    }
    HostRaiseWindow(mainWindow);
    data->Running = 0;
    if (data->SoundFormat != 0)
        HostPlayWave(data->SoundWav);
    else
        data->BeepPending = 1;
    ShowCountdown(data->TimerMinute, data->TimerSecond);
}

void ClockTick(HostWindow mainWindow, ClockData* data, bool beepDue)
{
    ShowClockLines(data);
    CheckRestart(data);
    if (data->Running != 0) {
        UpdateCountdown(mainWindow, data);
        if (data->Running != 0)
            return;
        beepDue = true;  // just expired
    }
    if (beepDue && data->SoundFormat == 0 && data->BeepPending == 1)
        HostBeep();
}

bool NextDeadline(const ClockData* data, uint32_t now, uint32_t* deadline)
{
    if (data->Running != 0) {
        *deadline = EndTick(data);
        return true;
    }
    if (RestartPending(data)) {
        *deadline = RestartTick(data) + 1u;
        return true;
    }
    if (data->SoundFormat == 0 && data->BeepPending == 1) {
        // Beeps keep the phase of the end: the next whole second after it past now.
        int32_t phase = TickDifference(now, EndTick(data)) % 1000;
        if (phase < 0)
            phase += 1000;
        *deadline = now + (uint32_t)(1000 - phase);
        return true;
    }
    return false;
}

void PlanDeadline(const ClockData* data, uint32_t now, bool handled, bool* armed,
                  uint32_t* deadline)
{
    uint32_t next = 0;
    bool has = NextDeadline(data, now, &next);
    bool pending = *armed && !handled && TickDifference(*deadline, now) <= 0;
    if (has && pending && TickDifference(next, *deadline) > 0)
        next = *deadline;
    if (has && handled && TickDifference(next, now) < MinDeadlineGapMs)
        has = false;
    *armed = has;
    *deadline = has ? next : 0;
}

bool AwakeChanged(const ClockData* data, bool* awake)
{
    bool now = data && (data->Running != 0 || RestartPending(data));
    bool changed = now != *awake;
    *awake = now;
    return changed;
}
