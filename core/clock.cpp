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

void CheckRestart(ClockData* data)
{
    if (data->RestartArmed != 1 || data->Restart != 1 || data->Running != 0)
        return;
    data->BeepPending = 0;
    uint32_t restartAt = data->StartTick + (uint32_t)data->DurationMs +
                         (uint32_t)data->RestartSec * 1000u;
    if (TickDifference(restartAt, HostTickCount()) < 0) {
        data->Running = 1;
        data->StartTick = HostTickCount();
    }
}

void UpdateCountdown(HostWindow mainWindow, ClockData* data)
{
    ClearListBox(CountdownLine);
    int32_t remaining = TickDifference(data->StartTick + (uint32_t)data->DurationMs,
                                       HostTickCount());
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

void ClockTick(HostWindow mainWindow, ClockData* data)
{
    ShowClockLines(data);
    CheckRestart(data);
    if (data->Running != 0) {
        UpdateCountdown(mainWindow, data);
        if (data->Running != 0)
            return;
    }
    if (data->SoundFormat == 0 && data->BeepPending == 1)
        HostBeep();
}
