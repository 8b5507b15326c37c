// The notification-area icon: one icon with the tip "Velmaris"; a left-button
// press on it raises the main window, selecting it by mouse or keyboard also
// activates the window.

#include "resource.h"
#include "shell.h"

#include <shellapi.h>

static const char TrayTip[] = "Velmaris";

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
    // At the small-icon size of the DPI, which the one 32 x 32 image is
    // scaled down to; the shell keeps its own copy, so ours goes after the calls.
    record.hIcon = (HICON)LoadImageA(MainInstance, MAKEINTRESOURCEA(iconResource), IMAGE_ICON,
                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
    lstrcpynA(record.szTip, tip ? tip : "", 64);
    BOOL result = Shell_NotifyIconA(action, &record);
    // An icon Explorer added although the call timed out (busy at logon), or
    // kept (TaskbarCreated at a display change), refuses a second NIM_ADD:
    // take it over, then ask for the version as for a new one.
    if (!result && action == NIM_ADD)
        result = Shell_NotifyIconA(NIM_MODIFY, &record);
    if (result && action == NIM_ADD) {
        // Version 3 makes the shell send NIN_SELECT and NIN_KEYSELECT (Enter
        // or Space on the icon) and keeps lParam the event itself, as the
        // first form has it; it needs the second form of the record. A shell
        // that refuses it keeps the icon in the first form.
        record.cbSize = NOTIFYICONDATAA_V2_SIZE;
        record.uVersion = NOTIFYICON_VERSION;
        Shell_NotifyIconA(NIM_SETVERSION, &record);
    }
    if (record.hIcon)
        DestroyIcon(record.hIcon);
    return result;
}

LRESULT OnTrayMessage(HWND window, WPARAM, LPARAM lParam)
{
    // A click comes as press, release and NIN_SELECT: its press has raised
    // the window already.
    switch (lParam) {
    case WM_LBUTTONDOWN:
        RaiseForUser(window);
        Shell.iconPressed = true;
        break;
    case NIN_SELECT:
    case NIN_KEYSELECT:
        if (!Shell.iconPressed || lParam == NIN_KEYSELECT)
            RaiseForUser(window);
        Shell.iconPressed = false;
        // The shell lets the icon's owner take the foreground here, so that
        // a keyboard user lands on the buttons.
        SetForegroundWindow(window);
        break;
    }
    return 1;
}

LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam)
{
    ClockData* data = LockClock();
    if (data)
        OnTrayMessage(window, wParam, lParam);
    UnlockClock(data);
    return 0;
}

// At logon the taskbar may not be there yet, and it sends no TaskbarCreated
// when it comes: a refused icon is tried again from a timer for a while.
void AddIcon(HWND window)
{
    if (SetTrayIcon(window, NIM_ADD, 0, IDI_VELMARIS, TrayTip) ||
        ++Shell.iconAttempts >= ICON_RETRY_LIMIT)
        KillTimer(window, ICON_RETRY_TIMER_ID);
    else
        SetTimer(window, ICON_RETRY_TIMER_ID, ICON_RETRY_MS, NULL);
}

// A restarted taskbar has lost every icon; ours goes back.
void RestoreIcon(HWND window)
{
    Shell.iconAttempts = 0;  // a taskbar that is back gets its own round of retries
    AddIcon(window);
}

void RemoveIcon(HWND window)
{
    SetTrayIcon(window, NIM_DELETE, 0, IDI_VELMARIS, TrayTip);
}
