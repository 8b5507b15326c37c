// Where the main window lies: placed at start-up, raised in front and into view, its rectangle.
#include "shell.h"

// Where a span of the given size starting at start, moved as little as it
// must, lies within low to high; at low when it is larger.
static LONG Within(LONG start, LONG size, LONG low, LONG high)
{
    if (start > high - size)
        start = high - size;
    return start < low ? low : start;
}

// Whether at least half of the area of r lies within work.
static bool MostlyWithin(const RECT* r, const RECT* work)
{
    RECT in;
    if (!IntersectRect(&in, r, work))
        return false;
    LONGLONG inside = (LONGLONG)(in.right - in.left) * (in.bottom - in.top);
    return inside * 2 >= (LONGLONG)(r->right - r->left) * (r->bottom - r->top);
}

// A window left on a monitor that is gone (undocked), or with only a sliver
// on one, could not be read or stopped: it goes wholly onto the work area of
// the monitor with most of it, or the nearest. SWP_NOMOVE for a window mostly
// on a work area, where the user put it, leaving to alone; else 0, and to
// holds the new place.
static UINT PlaceInView(HWND window, POINT* to)
{
    RECT r;
    MONITORINFO info;
    info.cbSize = sizeof info;
    if (!GetWindowRect(window, &r) ||
        !GetMonitorInfoA(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info) ||
        MostlyWithin(&r, &info.rcWork))
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
    // Saved as at the end of a drag, once the raise is done: the alarm does
    // not wait for the disk.
    if (!stay)
        SaveIfMovedSoon();
}

void RaiseForUser(HWND window)
{
    Raise(window, SW_RESTORE, 0);
    EndTopmost(window);
}

void RaiseForAlarm(HWND window)
{
    Raise(window, SW_SHOWNOACTIVATE, SWP_NOACTIVATE);
}

void EndTopmost(HWND window)
{
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

static void MoveTo(HWND window, LONG x, LONG y)
{
    SetWindowPos(window, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PlaceMainWindow(HWND window, ClockData* data)
{
    // Saved on a monitor that is gone, it would start where nothing shows it:
    // put at the saved corner first, then into view as the raise does.
    POINT to = {data->left, data->top};
    MoveTo(window, to.x, to.y);
    PlaceInView(window, &to);
    RECT actual;
    if (SetWindowPos(window, NULL, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW) &&
        GetWindowRect(window, &actual)) {
        data->left = actual.left;
        data->top = actual.top;
        data->right = actual.right;
        data->bottom = actual.bottom;
    }
}

const int32_t* MainWindowRect(HWND window, int32_t rect[4])
{
    // A minimized window's rectangle is its icon's, far off the screen: take
    // the one it is restored to (screen coordinates for a tool window).
    RECT r;
    WINDOWPLACEMENT place;
    place.length = sizeof place;
    if (IsIconic(window) && GetWindowPlacement(window, &place))
        r = place.rcNormalPosition;
    else if (!GetWindowRect(window, &r))
        return NULL;
    rect[0] = r.left;
    rect[1] = r.top;
    rect[2] = r.right;
    rect[3] = r.bottom;
    return rect;
}

LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam)
{
    // The dialog manager lays the template out again at the new DPI: the
    // window's size, its font, the controls and list boxes.
    LRESULT result = DefDlgProcA(window, WM_DPICHANGED, wParam, lParam);
    // A minimized window's rectangle is its icon's, off the screen: moved into
    // view, it would show as a stub. It is placed again when restored.
    if (IsIconic(window))
        return result;
    // Then where Windows suggests (in a drag, under the cursor as before), and
    // wholly onto a work area if less than half of it lies on one, as the
    // raise does: the new size may reach off the screen.
    const RECT* suggested = (const RECT*)lParam;
    MoveTo(window, suggested->left, suggested->top);
    POINT to;
    if (!PlaceInView(window, &to))
        MoveTo(window, to.x, to.y);
    return result;
}
