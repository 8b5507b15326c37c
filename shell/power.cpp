// Keeping the system out of idle sleep while the countdown has something
// pending, and the wake timer that brings it back from sleep for an end.
#include "shell.h"

static bool SystemKeptAwake;  // what the system was last asked
static HANDLE WakeTimer;      // made at the first suspend that needs it

void KeepAwake(bool awake)
{
    // Asked only when it changes. The display may still turn off; only the
    // system stays awake.
    if (awake == SystemKeptAwake)
        return;
    SystemKeptAwake = awake;
    SetThreadExecutionState(ES_CONTINUOUS | (awake ? ES_SYSTEM_REQUIRED : 0));
}

void SetWakeTimer(uint32_t ms)
{
    if (!WakeTimer)
        WakeTimer = CreateWaitableTimerA(NULL, TRUE, NULL);
    if (!WakeTimer)
        return;
    // An absolute due time in UTC: a relative one would not count the time asleep.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    LARGE_INTEGER due;
    due.QuadPart = (LONGLONG)(((ULONGLONG)now.dwHighDateTime << 32 | now.dwLowDateTime) +
                              (ULONGLONG)ms * 10000u);
    // The resume flag wakes the system, where the user allows wake timers.
    SetWaitableTimer(WakeTimer, &due, 0, NULL, NULL, TRUE);
}

void CancelWakeTimer()
{
    if (WakeTimer)
        CancelWaitableTimer(WakeTimer);
}
