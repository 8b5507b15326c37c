// When the settings file is written: after OK in Settings and when the window
// has moved, so that a change outlives a process ended from outside; once at
// close or session end, after which nothing may overwrite that save.
#include "settings.h"
#include "shell.h"

// Saves as the close does; once the session-end save is made nothing may overwrite it.
static void SaveNow(ClockData* data)
{
    int32_t rect[4];
    if (data && !Shell.settingsSaved)
        SaveClockData(data, MainWindowRect(MainWindow, rect));
}

// Every setting chosen: the record may be saved even over a file that could
// not be read at start-up.
void SaveAfterOk(ClockData* data)
{
    SettingsChosen(data);
    SaveNow(data);
}

// At the end of a drag, and after a raise that brought the window into view.
void SaveIfMoved()
{
    ClockData* data = LockClock();
    int32_t rect[4];
    if (data && !Shell.settingsSaved)
        SaveClockDataIfMoved(data, MainWindowRect(MainWindow, rect));
    UnlockClock(data);
}

static void CALLBACK SaveMovedNow(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(NULL, timer);
    SaveIfMoved();
}

// A one-shot timer of the thread: its call comes once the messages waiting
// have been handled, so the alarm that raised the window does not wait for the disk.
void SaveIfMovedSoon()
{
    SetTimer(NULL, 0, USER_TIMER_MINIMUM, SaveMovedNow);
}

// Saves the rectangle and settings once, whether at close or at session end.
void SaveOnce(ClockData* data)
{
    SaveNow(data);
    if (data)
        Shell.settingsSaved = true;
}
