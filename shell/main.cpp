// WinMain, the main window and the message loop. The main window is a
// modeless dialog of the private class "Velmaris": the dialog manager gives it
// its controls, font and keyboard navigation, MainWndProc handles its messages.
#include "resource.h"
#include "settings.h"
#include "shell.h"

static const char ClassName[] = "Velmaris";

HINSTANCE MainInstance;
HWND MainWindow;
HWND ClockLinesBox;
HWND CountdownLineBox;
ShellState Shell;

static void OnCreate()
{
    Shell.clockMemory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ClockData));
    if (!Shell.clockMemory)
        return;
    // A directory that does not fit is reported as its needed size and not copied.
    char workDir[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof workDir, workDir);
    ClockData* data = LockClock();
    if (data)
        InitClockData(data, n > 0 && n < sizeof workDir ? workDir : NULL);
    UnlockClock(data);
}

static void OnPaint(HWND window)
{
    // The timers drive the clock; painting only validates, and the list
    // boxes draw themselves.
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    EndPaint(window, &paint);
}

static void OnClose(HWND window)
{
    // The open settings dialog holds the record: close once its modal loop has
    // let go. Posting the close again until then would spin for as long as a
    // file picker stayed open.
    if (SettingsDialogActive()) {
        Shell.closeAfterDialog = true;
        CloseSettingsDialog();
        return;
    }
    ClockData* data = LockClock();
    SaveOnce(data);
    RemoveIcon(window);
    UnlockClock(data);
    if (Shell.clockMemory) {
        GlobalFree(Shell.clockMemory);
        Shell.clockMemory = NULL;
    }
    KeepAwake(false);
    DestroyWindow(window);
}

static void OnEndSession(HWND window, WPARAM ending, LPARAM how)
{
    // Windows ends the process after this message without a WM_CLOSE.
    if (!ending)
        return;
    ClockData* data = LockClock();
    SaveOnce(data);
    UnlockClock(data);
    // The Restart Manager (an installer, Windows Update) ends this program
    // alone, and the session goes on: close as the Close button does.
    if (how & ENDSESSION_CLOSEAPP)
        SendMessageA(window, WM_CLOSE, 0, 0);
}

static LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDC_START:
        RunEvent(window, StartPressed);
        return 0;
    case IDC_SETTINGS:
        OnSettingsCommand(window);
        return 0;
    case IDC_STOP:
        RunEvent(window, StopPressed);
        return 0;
    case IDC_CLOSE:
        SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return DefDlgProcA(window, message, wParam, lParam);
    }
}

static LRESULT OnHitTest(HWND window, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    if (hit == HTCLIENT)
        return HTCAPTION;  // drag the window by its body
    return DefDlgProcA(window, WM_NCHITTEST, wParam, lParam);
}

static LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_INITDIALOG:
        return 0;
    case WM_DESTROY:
        StopTimers(window);
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_CLOSE:
        OnClose(window);
        return 0;
    case WM_ENDSESSION:
        OnEndSession(window, wParam, lParam);
        return 0;
    case WM_NCHITTEST:
        return OnHitTest(window, wParam, lParam);
    case WM_EXITSIZEMOVE:
        SaveIfMoved();
        return 0;
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_TIMER:
        if (wParam == ICON_RETRY_TIMER_ID)
            AddIcon(window);
        else if (wParam == ALARM_TOPMOST_TIMER_ID)
            EndAnnouncement(window);
        else
            RunEvent(window, wParam == CLOCK_TIMER_ID ? ClockTimer : DeadlineTimer);
        return 0;
    case WM_TRAYNOTIFY:
        return OnTrayNotify(window, wParam, lParam);
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(window, wParam);
    case WM_DPICHANGED:
        return OnDpiChanged(window, wParam, lParam);
    default:
        if (message == Shell.taskbarCreated && message != 0) {
            RestoreIcon(window);
            return 0;
        }
        return DefDlgProcA(window, message, wParam, lParam);
    }
}

// GetMessage failed: end as a close does, saving and removing the icon,
// instead of asking again for messages that may keep failing.
static int EndAfterLoopError()
{
    if (IsWindow(MainWindow))
        SendMessageA(MainWindow, WM_CLOSE, 0, 0);
    return 0;
}

static bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_VELMARIS));
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = NULL;
    windowClass.lpszClassName = ClassName;
    return RegisterClassA(&windowClass) != 0;
}

// A shortcut's "Run: Maximized" would stretch the caption-less window over
// the work area and save it so; it opens at its own size instead.
// (SW_MAXIMIZE is the same value as SW_SHOWMAXIMIZED.)
static int StartShowCode(int showCode)
{
    return showCode == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : showCode;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCode)
{
    LimitDllSearch();
    MainInstance = instance;
    if (!RegisterMainClass(instance))
        return 0;
    Shell.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // The W call keeps the template's captions as they are; the A call would
    // pass them through the ANSI code page, which turns Chinese into "??".
    MainWindow = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, NULL, 0);
    if (!MainWindow)
        return 0;  // a loop without a window would run unseen for ever
    SetWindowTextA(MainWindow, "Velmaris");  // a name for screen readers; no title bar shows it
    MarkLiveRegion(MainWindow);
    ClockLinesBox = GetDlgItem(MainWindow, IDC_CLOCKLINES);
    CountdownLineBox = GetDlgItem(MainWindow, IDC_COUNTDOWNLINE);

    ClockData* data = LockClock();
    if (data) {
        ShowPreset(data);
        PlaceMainWindow(MainWindow, data);
    }
    UnlockClock(data);

    AddIcon(MainWindow);
    if (!SetTimer(MainWindow, CLOCK_TIMER_ID, 1000, NULL)) {
        MessageBoxA(MainWindow, "Too many clocks or timers!", "Velmaris", MB_ICONWARNING);
        return 0;
    }
    ShowWindow(MainWindow, StartShowCode(showCode));
    RunEvent(MainWindow, ClockTimer);  // the clock lines at once, and the timer aimed at the second
    UpdateWindow(MainWindow);

    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, NULL, 0, 0)) != 0) {
        if (got == -1)
            return EndAfterLoopError();
        if (!IsDialogMessageA(MainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}
