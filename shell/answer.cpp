// The engine's side of each message: the record locked, the clocks read once,
// and its answer applied to the window.
#include "resource.h"
#include "shell.h"

ClockData* LockClock()
{
    return Shell.clockMemory ? (ClockData*)GlobalLock(Shell.clockMemory) : NULL;
}

// A lock that was not taken is not released, or an inner handler would drop
// the lock an outer one still relies on.
void UnlockClock(ClockData* data)
{
    if (data && Shell.clockMemory)
        GlobalUnlock(Shell.clockMemory);
}

// One reading of the clocks per message; the engine runs what the event
// asks and answers what to show, sound and arm, which is done at once.
void RunEvent(HWND window, EngineEvent event)
{
    ClockData* data = LockClock();
    ClockNow now;
    Effects effects;
    ReadClockNow(&now);
    RunEngine(data, &now, event, &effects);
    ApplyEffects(window, &effects, data);
    UnlockClock(data);
}

void ReadClockNow(ClockNow* now)
{
    SYSTEMTIME local;
    now->tick = GetTickCount();
    GetLocalTime(&local);
    now->local.wYear = local.wYear;
    now->local.wMonth = local.wMonth;
    now->local.wDayOfWeek = local.wDayOfWeek;
    now->local.wDay = local.wDay;
    now->local.wHour = local.wHour;
    now->local.wMinute = local.wMinute;
    now->local.wSecond = local.wSecond;
    now->local.wMilliseconds = local.wMilliseconds;
}

static void ClearListBox(HWND listBox)
{
    SendMessageA(listBox, WM_KILLFOCUS, 0, 0);
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
}

// Rewritten whole: emptied, then each line inserted in order. The list box
// draws its own text.
static void ShowLines(HWND listBox, const char (*lines)[LineSize], int count)
{
    ClearListBox(listBox);
    for (int i = 0; i < count; ++i)
        SendMessageA(listBox, LB_INSERTSTRING, (WPARAM)i, (LPARAM)lines[i]);
}

// Both timers repeat until set again. The clock's keeps its period when that
// is what it is asked again, which an idle tick on time usually is: no call.
// The deadline's is set afresh after every evaluation, or killed when it runs
// and nothing is pending.
static void ArmTimers(HWND window, const TimerPlan* plan)
{
    if (plan->clockMs && plan->clockMs != Shell.clockPeriod &&
        SetTimer(window, CLOCK_TIMER_ID, plan->clockMs, NULL))
        Shell.clockPeriod = plan->clockMs;
    if (plan->deadline)
        SetTimer(window, DEADLINE_TIMER_ID, plan->deadlineMs, NULL);
    else if (Shell.deadlineSet)
        KillTimer(window, DEADLINE_TIMER_ID);
    Shell.deadlineSet = plan->deadline != 0;
}

void ApplyEffects(HWND window, const Effects* effects, const ClockData* data)
{
    const Display* display = &effects->display;
    if (display->clockShown)
        ShowLines(ClockLinesBox, display->clock, 3);
    if (display->countdownShown)
        ShowLines(CountdownLineBox, &display->countdown, 1);
    // The alarm's raise leaves the focus where it is.
    if (effects->raise) {
        ShowDisplay();
        RaiseForAlarm(window);
        AnnounceAlarm(window);
    }
    if (effects->playWave && data)
        PlayWave(effects->wave, data->WorkDir);
    if (effects->beep)
        SystemBeep();
    ArmTimers(window, &effects->plan);
    if (effects->plan.wake)
        SetWakeTimer(effects->plan.wakeMs);
    KeepAwake(effects->keepAwake != 0);
}

void ShowPreset(const ClockData* data)
{
    Display display;
    ShowCountdown(&display, data->TimerMinute, data->TimerSecond);
    ShowLines(CountdownLineBox, &display.countdown, 1);
}

void StopTimers(HWND window)
{
    KillTimer(window, CLOCK_TIMER_ID);
    KillTimer(window, DEADLINE_TIMER_ID);
    Shell.clockPeriod = 0;
    Shell.deadlineSet = false;
}
