// The platform needs of the timer core and the settings, made with the Win32 calls.
#include "settings_host.h"
#include "shell.h"

#include <mmsystem.h>

// Where a span of the given size starting at start, moved as little as it
// must, lies within low to high; at low when it is larger.
static LONG Within(LONG start, LONG size, LONG low, LONG high)
{
    if (start > high - size)
        start = high - size;
    return start < low ? low : start;
}

// A window left on a monitor that is gone (undocked) could never be seen or
// stopped: it goes onto the nearest work area. SWP_NOMOVE for a window that
// is on a monitor, even partly; else 0, and to holds the new place.
static UINT PlaceInView(HWND window, POINT* to)
{
    RECT r;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!GetWindowRect(window, &r) || MonitorFromRect(&r, MONITOR_DEFAULTTONULL) ||
        !GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info))
        return SWP_NOMOVE;
    to->x = Within(r.left, r.right - r.left, info.rcWork.left, info.rcWork.right);
    to->y = Within(r.top, r.bottom - r.top, info.rcWork.top, info.rcWork.bottom);
    return 0;
}

static void Raise(HWND window, int restore, UINT flags)
{
    // SetWindowPos alone would leave a minimized window minimized, and it has
    // no taskbar button to bring it back by.
    if (IsIconic(window))
        ShowWindow(window, restore);
    POINT to = {0, 0};
    UINT stay = PlaceInView(window, &to);
    flags |= SWP_NOSIZE | SWP_SHOWWINDOW;
    SetWindowPos(window, HWND_TOPMOST, to.x, to.y, 0, 0, flags | stay);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags | SWP_NOMOVE);
    // Saved as at the end of a drag, once the raise is done: the alarm does
    // not wait for the disk.
    if (!stay)
        PostMessageA(window, WM_EXITSIZEMOVE, 0, 0);
}

void RaiseForUser(HWND window)
{
    Raise(window, SW_RESTORE, 0);
}

void UpdateAwake(const ClockData* data)
{
    // The display may still turn off; only the system stays awake.
    static bool awake;
    if (AwakeChanged(data, &awake))
        SetThreadExecutionState(ES_CONTINUOUS | (awake ? ES_SYSTEM_REQUIRED : 0));
}

static HWND ListBoxOf(DisplayBox box)
{
    return box == ClockLines ? ClockLinesBox : CountdownLineBox;
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

// The alarm's raise leaves the focus where it is.
void HostRaiseWindow(HostWindow window)
{
    Raise((HWND)window, SW_SHOWNOACTIVATE, SWP_NOACTIVATE);
}

static FARPROC KernelProc(const char* name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? GetProcAddress(kernel, name) : NULL;
}

void LimitDllSearch()
{
    // Shell extensions the file picker loads and winmm's drivers would
    // otherwise search the program's folder and the current directory first.
    typedef BOOL(WINAPI * SetDirsProc)(DWORD);
    SetDirsProc set = (SetDirsProc)(void (*)(void))KernelProc("SetDefaultDllDirectories");
    if (set)
        set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// From the system folder only: a DLL of the same name beside the program, or
// anywhere else on the search path, must not run inside it.
static HMODULE LoadSystemDll(const char* dll)
{
    // AddDllDirectory is the documented sign that the search flags exist
    // (Windows 8, or Windows 7 with KB2533623).
    if (KernelProc("AddDllDirectory"))
        return LoadLibraryExA(dll, NULL, LOAD_LIBRARY_SEARCH_SYSTEM32);
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + (UINT)lstrlenA(dll) >= MAX_PATH)
        return NULL;
    path[n] = '\\';
    lstrcpynA(path + n + 1, dll, MAX_PATH - n - 1);
    // Its own dependencies are then looked for from the system folder, never
    // from the program's.
    return LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemProc(const char* dll, const char* name)
{
    HMODULE module = LoadSystemDll(dll);
    return module ? GetProcAddress(module, name) : NULL;
}

void HostPlayWave(const char* path)
{
    typedef BOOL(WINAPI * PlayProc)(LPCSTR, UINT);
    static PlayProc play;
    if (!play)
        play = (PlayProc)(void (*)(void))SystemProc("winmm.dll", "sndPlaySoundA");
    if (play)
        play(path, SND_ASYNC | SND_NODEFAULT);
}

void HostBeep()
{
    MessageBeep(0xFFFFFFFF);
}

void HostClearLines(DisplayBox box)
{
    HWND listBox = ListBoxOf(box);
    SendMessageA(listBox, WM_KILLFOCUS, 0, 0);
    SendMessageA(listBox, LB_RESETCONTENT, 0, 0);
}

void HostInsertLine(DisplayBox box, int index, const char* text)
{
    SendMessageA(ListBoxOf(box), LB_INSERTSTRING, (WPARAM)index, (LPARAM)text);
}

bool HostMainWindowRect(int32_t rect[4])
{
    // A minimized window's rectangle is its icon's, far off the screen: take
    // the one it is restored to (screen coordinates for a tool window).
    RECT r;
    WINDOWPLACEMENT place;
    place.length = sizeof place;
    if (IsIconic(MainWindow) && GetWindowPlacement(MainWindow, &place))
        r = place.rcNormalPosition;
    else if (!GetWindowRect(MainWindow, &r))
        return false;
    rect[0] = r.left;
    rect[1] = r.top;
    rect[2] = r.right;
    rect[3] = r.bottom;
    return true;
}

uint32_t HostCurrentDirectory(char* out, uint32_t size)
{
    // A directory that does not fit is reported as its needed size and not copied.
    DWORD n = GetCurrentDirectoryA(size, out);
    return n < size ? n : 0;
}
