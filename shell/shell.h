// The Win32 frame: the module-level handles and the one record of what the
// shell keeps between messages, shared by the main window, the notification-area
// icon and the settings dialog, and what each file of the shell offers the others.
#pragma once
#ifdef UNICODE
#error "The shell is ANSI throughout: build without UNICODE"
#endif
#include <windows.h>

#include "engine.h"

extern HINSTANCE MainInstance;
extern HWND MainWindow;
extern HWND ClockLinesBox;
extern HWND CountdownLineBox;

// The settings dialog's working copy of the record's settings.
struct DialogValues {
    int32_t TimerFormat;
    int32_t TimerMinute;
    int32_t TimerSecond;
    int32_t SoundFormat;
    char SoundWav[PathSize];
    int32_t Restart;
    int32_t RestartSec;
};

// What the shell keeps from one message to the next, besides the handles
// above: one record, each field with the functions that set and read it.
struct ShellState {
    // The ClockData block, NULL once freed: set by OnCreate and OnClose
    // (main.cpp), read by LockClock and UnlockClock (answer.cpp).
    HGLOBAL clockMemory;
    // The message a restarted taskbar sends: set by WinMain, read by MainWndProc.
    UINT taskbarCreated;
    // A close came while the settings dialog was open: set by OnClose, read
    // and cleared by OnSettingsCommand once the dialog has ended.
    bool closeAfterDialog;
    // The close or session-end save has been made: set by SaveOnce, read by
    // every save (save.cpp), so that nothing overwrites it.
    bool settingsSaved;
    // Refused attempts to add the icon: counted by AddIcon, reset by RestoreIcon (tray.cpp).
    int iconAttempts;
    // A left press on the icon came, and the selection that ends its click
    // has not: set and read by OnTrayMessage (tray.cpp).
    bool iconPressed;
    // The clock timer's delay as last set (0 before and after), and whether
    // the deadline timer runs: set by ArmTimers and StopTimers, read by
    // ArmTimers (answer.cpp).
    UINT clockPeriod;
    bool deadlineSet;
    // What the system was last asked: set and read by KeepAwake (power.cpp).
    bool systemKeptAwake;
    // Made by SetWakeTimer at the first suspend that needs it, cancelled by
    // CancelWakeTimer (power.cpp).
    HANDLE wakeTimer;
    // The settings dialog's working copy: filled by RunSettingsDialog, edited
    // by the dialog's handlers, read back by RunSettingsDialog after OK.
    DialogValues DialogSettings;
    // The settings as the dialog opened: set by RunSettingsDialog, read by
    // OnOk for box input it cannot use.
    DialogValues openedWith;
    // The file picker's answer: set by ChooseWaveFile, read by OnBrowse.
    char pickedFile[PathSize + 1];
    // The dialog is running, and its window once it has one: set by
    // RunSettingsDialog and OnInitDialog, read by SettingsDialogActive and
    // CloseSettingsDialog (settings_dialog.cpp).
    bool dialogActive;
    HWND dialogWindow;
};
extern ShellState Shell;

// answer.cpp: the engine's bridge. Each handler locks the record for one
// message (NULL when there is none) and gives UnlockClock what LockClock gave.
ClockData* LockClock();
void UnlockClock(ClockData* data);
// Both clocks read once, the engine run on what the event asks, and its
// answer applied at once in one place: lines, raise, sound, timers, power.
void RunEvent(HWND window, EngineEvent event);
void ReadClockNow(ClockNow* now);
// data, the record the answer came from (NULL when there is none), gives the
// working directory a wave is played from.
void ApplyEffects(HWND window, const Effects* effects, const ClockData* data);
// The preset countdown, as start-up shows it.
void ShowPreset(const ClockData* data);
// Kills both timers as the window goes.
void StopTimers(HWND window);

// save.cpp: when the settings file is written. After OK in Settings and when
// the window has moved (a drag, or a raise that brought it into view), so that
// a change outlives a process ended from outside; once at close or session
// end, after which nothing may overwrite that save.
void SaveAfterOk(ClockData* data);
void SaveIfMoved();
// SaveIfMoved once the messages already waiting have been handled.
void SaveIfMovedSoon();
void SaveOnce(ClockData* data);

// placement.cpp. Raising brings the window in front of all others and shows
// it; restored first if minimized, and moved wholly onto a work area if less
// than half of it lies on one. The icon's raise, which the user asked for,
// activates the window and does not leave it topmost; the alarm's leaves the
// focus where it is, so that keys typed meanwhile go on to the window in use,
// and the window topmost until EndTopmost.
void RaiseForUser(HWND window);
void RaiseForAlarm(HWND window);
// Leaves the window in front of the others, but no longer topmost.
void EndTopmost(HWND window);
// Moves the window to the saved corner, or into view as a raise would, shows
// it, and records where it landed.
void PlaceMainWindow(HWND window, ClockData* data);
// WM_DPICHANGED: the window laid out again at the new DPI by the dialog
// manager and moved where Windows suggests, then wholly onto a work area if
// less than half of it lies on one.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam);
// The window's rectangle (the restored one when minimized) as left, top,
// right, bottom in rect, which it returns; NULL when it cannot be read.
const int32_t* MainWindowRect(HWND window, int32_t rect[4]);

// power.cpp: keeps the system out of idle sleep, asking only on a change.
void KeepAwake(bool awake);
// Turns the display on for the alarm, once, as a user's key press would.
void ShowDisplay();
// The wake timer, set at a suspend to wake the system ms later; cancelled at resume.
void SetWakeTimer(uint32_t ms);
void CancelWakeTimer();
// WM_POWERBROADCAST: the suspend and resume the countdown must know of.
LRESULT OnPowerBroadcast(HWND window, WPARAM event);

// alert.cpp: the alarm told to assistive technology, which a raise and a
// sound do not reach. Once at start-up, the main window's client object is
// marked as an assertive live region where the system offers that.
void MarkLiveRegion(HWND window);
// Just after the alarm's raise: the client object named as the time being up
// and announced, the window kept topmost for a screen reader to take it.
void AnnounceAlarm(HWND window);
// On its timer: the window's own name again, and no longer topmost.
void EndAnnouncement(HWND window);

// sound.cpp: a wave played once, asynchronously, silent on failure, from
// its full path (WavePath) against the working directory; the beep.
void PlayWave(const char* wave, const char* workDir);
void SystemBeep();

// dll.cpp. Where the system has it, makes every later DLL load, the system's
// own among them, search the system folder only.
void LimitDllSearch();
// A function of a system DLL loaded on first use, for calls most runs never
// make: not loading their DLL at start-up keeps the program small in memory.
// NULL when the DLL or the function is missing.
FARPROC SystemProc(const char* dll, const char* name);

// tray.cpp: the notification-area icon.
// NIM_ADD also asks the shell for the icon's keyboard selection; an icon
// already there counts as added once NIM_MODIFY has taken it over.
BOOL SetTrayIcon(HWND window, DWORD action, UINT id, UINT iconResource, const char* tip);
LRESULT OnTrayMessage(HWND window, WPARAM wParam, LPARAM lParam);
// WM_TRAYNOTIFY: OnTrayMessage with the record locked, when there is one.
LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam);
// The icon added, and tried again from the retry timer while the taskbar
// refuses it; put back, with a round of retries of its own, for a taskbar
// that has restarted; removed at close.
void AddIcon(HWND window);
void RestoreIcon(HWND window);
void RemoveIcon(HWND window);

// settings_dialog.cpp: the settings dialog over a working copy of the
// record's settings; OK writes it back into the record and makes the call
// return true.
bool RunSettingsDialog(HINSTANCE instance, HWND mainWindow, ClockData* data);
// The Settings button: the dialog; after OK the save and the new preset
// shown; then the close that came while it was open.
void OnSettingsCommand(HWND window);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ChooseWaveFile(HWND owner);
// True from the start of RunSettingsDialog until its dialog has ended.
bool SettingsDialogActive();
// Ends the open settings dialog as Cancel, and the file picker it may have
// open; RunSettingsDialog returns once its modal loop has let go.
void CloseSettingsDialog();
