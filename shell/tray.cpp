// The notification-area icon: one icon with the tip "Velmaris"; a left-button
// press on it raises the main window.

#include "resource.h"
#include "shell.h"

#include <shellapi.h>

BOOL SetTrayIcon(HWND window, DWORD action, UINT id, UINT iconResource, const char* tip)
{
    NOTIFYICONDATAA record;
    ZeroMemory(&record, sizeof record);
    // The first form of the record, which every shell accepts.
    record.cbSize = NOTIFYICONDATAA_V1_SIZE;
    record.hWnd = window;
    record.uID = id;
    record.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record.uCallbackMessage = WM_TRAYNOTIFY;
    record.hIcon = LoadIconA(MainInstance, MAKEINTRESOURCEA(iconResource));
    lstrcpynA(record.szTip, tip ? tip : "", 64);
    BOOL result = Shell_NotifyIconA(action, &record);
    if (record.hIcon)
        DestroyIcon(record.hIcon);
    return result;
}

LRESULT OnTrayMessage(HWND window, WPARAM, LPARAM lParam)
{
    if (lParam == WM_LBUTTONDOWN)
        RaiseWindow(window);
    return 1;
}
