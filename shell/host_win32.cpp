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

uint32_t HostTickCount()
{
    return GetTickCount();
}

void HostLocalTime(LocalTime* out)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    out->wYear = now.wYear;
    out->wMonth = now.wMonth;
    out->wDayOfWeek = now.wDayOfWeek;
    out->wDay = now.wDay;
    out->wHour = now.wHour;
    out->wMinute = now.wMinute;
    out->wSecond = now.wSecond;
    out->wMilliseconds = now.wMilliseconds;
}

void HostRaiseWindow(HostWindow window)
{
    RaiseWindow((HWND)window);
}

FARPROC SystemProc(const char* dll, const char* name)
{
    HMODULE module = LoadLibraryA(dll);
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
    RECT r;
    if (!GetWindowRect(MainWindow, &r))
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
