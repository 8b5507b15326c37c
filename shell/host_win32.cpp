// The timer core's platform needs, made with the Win32 calls.
#include "shell.h"

#include <mmsystem.h>

void RaiseWindow(HWND window)
{
    // SetWindowPos alone would leave a minimized window minimized, and it has
    // no taskbar button to bring it back by.
    if (IsIconic(window))
        ShowWindow(window, SW_RESTORE);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
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

void HostRaiseWindow(HostWindow window)
{
    RaiseWindow((HWND)window);
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
