// The Win32 frame: module-level handles shared by the main window, the
// notification-area icon and the settings dialog, and what each file of the
// shell offers the others.
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

// answer.cpp: both clocks, read once for the message being handled; the
// engine's answer applied in one place: lines, raise, sound, timers, power.
void ReadClockNow(ClockNow* now);
void ApplyEffects(HWND window, const Effects* effects);
// Kills both timers as the window goes.
void StopTimers(HWND window);

// placement.cpp. Raising brings the window in front of all others and shows
// it, not left topmost; restored first if minimized, and moved wholly onto a
// work area if less than half of it lies on one. The icon's raise, which the
// user asked for, activates the window; the alarm's leaves the focus where
// it is, so that keys typed meanwhile go on to the window in use.
void RaiseForUser(HWND window);
void RaiseForAlarm(HWND window);
// Moves the window to the saved corner, shows it, and records where it landed.
void PlaceMainWindow(HWND window, ClockData* data);
// The window's rectangle (the restored one when minimized) as left, top,
// right, bottom in rect, which it returns; NULL when it cannot be read.
const int32_t* MainWindowRect(HWND window, int32_t rect[4]);

// power.cpp: keeps the system out of idle sleep, asking only on a change.
void KeepAwake(bool awake);
// The wake timer, set at a suspend to wake the system ms later; cancelled at resume.
void SetWakeTimer(uint32_t ms);
void CancelWakeTimer();

// alert.cpp: reports the alarm that has just raised the window to assistive
// technology, which a raise and a sound do not reach.
void AnnounceAlarm(HWND window);

// sound.cpp: a wave played once, asynchronously, silent on failure; the beep.
void PlayWave(const char* path);
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

// settings_dialog.cpp: the settings dialog over a working copy of the
// record's settings; OK writes it back into the record and makes the call
// return true.
bool RunSettingsDialog(HINSTANCE instance, HWND mainWindow, ClockData* data);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ChooseWaveFile(HWND owner);
// True from the start of RunSettingsDialog until its dialog has ended.
bool SettingsDialogActive();
// Ends the open settings dialog as Cancel, and the file picker it may have
// open; RunSettingsDialog returns once its modal loop has let go.
void CloseSettingsDialog();
