// WinMain, the main window and the message loop. The main window is a
// modeless dialog of the private class "Velmaris": the dialog manager gives it
// its controls, font and keyboard navigation, MainWndProc handles its messages.
#include "resource.h"
#include "settings.h"
#include "shell.h"

static const char ClassName[] = "Velmaris";
static const char TrayTip[] = "Velmaris";

HINSTANCE MainInstance;
HWND MainWindow;
HWND ClockLinesBox;
HWND CountdownLineBox;
static HGLOBAL ClockMemory;       // the ClockData block, NULL once freed
static UINT TaskbarCreatedMessage;  // sent when the taskbar (re)starts
static bool SettingsSaved;          // the close or session-end save has been made
static bool CloseAfterDialog;       // a close came while the settings dialog was open
static int IconAttempts;            // refused attempts to add the icon

// Each handler locks the record for one message; NULL when there is none.
static ClockData* LockClock()
{
    return ClockMemory ? (ClockData*)GlobalLock(ClockMemory) : NULL;
}

// Takes what LockClock returned: a lock that was not taken is not released,
// or an inner handler would drop the lock an outer one still relies on.
static void UnlockClock(ClockData* data)
{
    if (data && ClockMemory)
        GlobalUnlock(ClockMemory);
}

static void OnCreate()
{
    ClockMemory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(ClockData));
    if (!ClockMemory)
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

// One reading of the clocks per message; the engine runs what the event
// asks and answers what to show, sound and arm, which is done at once.
static void RunEvent(HWND window, EngineEvent event)
{
    ClockData* data = LockClock();
    ClockNow now;
    Effects effects;
    ReadClockNow(&now);
    RunEngine(data, &now, event, &effects);
    ApplyEffects(window, &effects);
    UnlockClock(data);
}

// Saves as the close does, so that a change outlives a process ended from
// outside; once the session-end save is made nothing may overwrite it.
static void SaveNow(ClockData* data)
{
    int32_t rect[4];
    if (data && !SettingsSaved)
        SaveClockData(data, MainWindowRect(MainWindow, rect));
}

// Saves the rectangle and settings once, whether at close or at session end.
static void SaveOnce(ClockData* data)
{
    SaveNow(data);
    if (data)
        SettingsSaved = true;
}

static void OnExitSizeMove()
{
    ClockData* data = LockClock();
    int32_t rect[4];
    if (data && !SettingsSaved)
        SaveClockDataIfMoved(data, MainWindowRect(MainWindow, rect));
    UnlockClock(data);
}

static void OnClose(HWND window)
{
    // The open settings dialog holds the record: close once its modal loop has
    // let go. Posting the close again until then would spin for as long as a
    // file picker stayed open.
    if (SettingsDialogActive()) {
        CloseAfterDialog = true;
        CloseSettingsDialog();
        return;
    }
    ClockData* data = LockClock();
    SaveOnce(data);
    SetTrayIcon(window, NIM_DELETE, 0, IDI_VELMARIS, TrayTip);
    UnlockClock(data);
    if (ClockMemory) {
        GlobalFree(ClockMemory);
        ClockMemory = NULL;
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

static void OnSettingsCommand(HWND window)
{
    // A second request while the dialog is open would edit the same working copy.
    if (SettingsDialogActive())
        return;
    ClockData* data = LockClock();
    bool chosen = data && RunSettingsDialog(MainInstance, window, data);
    if (chosen) {
        SettingsChosen();
        SaveNow(data);
    }
    UnlockClock(data);
    if (chosen)
        RunEvent(window, SettingsChanged);  // the new preset, and the end it moves
    if (CloseAfterDialog) {
        CloseAfterDialog = false;
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
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

// At logon the taskbar may not be there yet, and it sends no TaskbarCreated
// when it comes: a refused icon is tried again from a timer for a while.
static void AddIcon(HWND window)
{
    if (SetTrayIcon(window, NIM_ADD, 0, IDI_VELMARIS, TrayTip) ||
        ++IconAttempts >= ICON_RETRY_LIMIT)
        KillTimer(window, ICON_RETRY_TIMER_ID);
    else
        SetTimer(window, ICON_RETRY_TIMER_ID, ICON_RETRY_MS, NULL);
}

// As the system sleeps, a wake timer for the countdown's next end; as it
// resumes, the timers run at once, so that an end passed asleep rings now.
static LRESULT OnPowerBroadcast(HWND window, WPARAM event)
{
    if (event == PBT_APMSUSPEND) {
        RunEvent(window, Suspending);
    } else if (event == PBT_APMRESUMEAUTOMATIC || event == PBT_APMRESUMESUSPEND) {
        CancelWakeTimer();
        RunEvent(window, ClockTimer);
    }
    return TRUE;
}

static LRESULT OnTrayNotify(HWND window, WPARAM wParam, LPARAM lParam)
{
    ClockData* data = LockClock();
    if (data)
        OnTrayMessage(window, wParam, lParam);
    UnlockClock(data);
    return 0;
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
        OnExitSizeMove();
        return 0;
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_TIMER:
        if (wParam == ICON_RETRY_TIMER_ID)
            AddIcon(window);
        else
            RunEvent(window, wParam == CLOCK_TIMER_ID ? ClockTimer : DeadlineTimer);
        return 0;
    case WM_TRAYNOTIFY:
        return OnTrayNotify(window, wParam, lParam);
    case WM_POWERBROADCAST:
        return OnPowerBroadcast(window, wParam);
    default:
        // A restarted taskbar has lost every icon; put ours back.
        if (message == TaskbarCreatedMessage && message != 0) {
            IconAttempts = 0;  // a taskbar that is back gets its own round of retries
            AddIcon(window);
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
    TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
    // The W call keeps the template's captions as they are; the A call would
    // pass them through the ANSI code page, which turns Chinese into "??".
    MainWindow = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), NULL, NULL, 0);
    if (!MainWindow)
        return 0;  // a loop without a window would run unseen for ever
    SetWindowTextA(MainWindow, "Velmaris");  // a name for screen readers; no title bar shows it
    ClockLinesBox = GetDlgItem(MainWindow, IDC_CLOCKLINES);
    CountdownLineBox = GetDlgItem(MainWindow, IDC_COUNTDOWNLINE);

    RunEvent(MainWindow, SettingsChanged);  // the preset, as loaded
    ClockData* data = LockClock();
    if (data)
        PlaceMainWindow(MainWindow, data);
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
