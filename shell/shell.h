// The Win32 frame: module-level handles shared by the main window, the
// notification-area icon, the settings dialog and the Win32 host.
#pragma once
#ifdef UNICODE
#error "The shell is ANSI throughout: build without UNICODE"
#endif
#include <windows.h>

#include "clock.h"

extern HINSTANCE MainInstance;
extern HWND MainWindow;
extern HWND ClockLinesBox;
extern HWND CountdownLineBox;

// Both clocks, read once for the message being handled.
void ReadClockNow(ClockNow* now);

// In front of all others and shown, not left topmost; restored first if
// minimized, and moved onto the nearest work area if it lies on no monitor.
// The icon's raise, which the user asked for, activates the window; the
// alarm's (HostRaiseWindow) leaves the focus where it is, so that keys typed
// meanwhile go on to the window the user is typing into.
void RaiseForUser(HWND window);
// Keeps the system out of idle sleep while the countdown has something
// pending; asks the system only when that changes. NULL once closed.
void UpdateAwake(const ClockData* data);

// Where the system has it, makes every later DLL load, the system's own
// among them, search the system folder only.
void LimitDllSearch();

// A function of a system DLL loaded on first use, for calls most runs never
// make: not loading their DLL at start-up keeps the program small in memory.
// NULL when the DLL or the function is missing.
FARPROC SystemProc(const char* dll, const char* name);

// Notification-area icon.
// NIM_ADD also asks the shell for the icon's keyboard selection.
BOOL SetTrayIcon(HWND window, DWORD action, UINT id, UINT iconResource, const char* tip);
LRESULT OnTrayMessage(HWND window, WPARAM wParam, LPARAM lParam);

// Settings dialog over a working copy of the record's settings; OK writes it
// back into the record and makes the call return true.
bool RunSettingsDialog(HINSTANCE instance, HWND mainWindow, ClockData* data);
INT_PTR CALLBACK SettingsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int ChooseWaveFile(HWND owner);
// True from the start of RunSettingsDialog until its dialog has ended.
bool SettingsDialogActive();
// Ends the open settings dialog as Cancel, and the file picker it may have
// open; RunSettingsDialog returns once its modal loop has let go.
void CloseSettingsDialog();
