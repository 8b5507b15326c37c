// Keeping the system out of idle sleep while the countdown has something
// pending, the wake timer that brings it back from sleep for an end, and the
// display turned on for the alarm.
#include "shell.h"

void KeepAwake(bool awake)
{
    // Asked only when it changes. The display may still turn off; only the
    // system stays awake.
    if (awake == Shell.systemKeptAwake)
        return;
    Shell.systemKeptAwake = awake;
    SetThreadExecutionState(ES_CONTINUOUS | (awake ? ES_SYSTEM_REQUIRED : 0));
}

void ShowDisplay()
{
    // Asked once, never held: after an unattended wake the display stays off
    // until the user stirs, which would leave the raised alarm unseen.
    // Otherwise this only restarts the display's idle time.
    SetThreadExecutionState(ES_DISPLAY_REQUIRED);
}

void SetWakeTimer(uint32_t ms)
{
    if (!Shell.wakeTimer)
        Shell.wakeTimer = CreateWaitableTimerA(NULL, TRUE, NULL);
    if (!Shell.wakeTimer)
        return;
    // An absolute due time in UTC: a relative one would not count the time asleep.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER due;
    due.QuadPart = (LONGLONG)(((ULONGLONG)now.dwHighDateTime << 32 | now.dwLowDateTime) +
                              (ULONGLONG)ms * 10000u);
    // The resume flag wakes the system, where the user allows wake timers.
    SetWaitableTimer(Shell.wakeTimer, &due, 0, NULL, NULL, TRUE);
}

void CancelWakeTimer()
{
    if (Shell.wakeTimer)
        CancelWaitableTimer(Shell.wakeTimer);
}

// As the system sleeps, a wake timer for the countdown's next end; as it
// resumes, the timers run at once, so that an end passed asleep rings now.
LRESULT OnPowerBroadcast(HWND window, WPARAM event)
{
    if (event == PBT_APMSUSPEND) {
        RunEvent(window, Suspending);
    } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        CancelWakeTimer();
        RunEvent(window, ClockTimer);
    }
    return TRUE;
}
