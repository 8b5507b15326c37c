// The notification-area icon as a user meets it, with trayer as the desktop's
// notification area (an XEmbed host): docked there while Velmaris runs, a
// real left click raising the window in place, other mouse actions ignored,
// gone after Close, and back when a restarted taskbar announces itself.
//
// Wine shows each icon as a window of class __winex11_tray_icon in its
// explorer process and embeds that window's X window into trayer. The driver
// finds the window on the Windows side, and checks and clicks its X window on
// the X side with xwininfo and xdotool.
#include "driver.h"

#include <shellapi.h>
#include <stdio.h>

#include <algorithm>
#include <sstream>

using namespace e2e;
using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

namespace {

const char IconClass[] = "__winex11_tray_icon";
const char FallbackTrayClass[] = "__winex11_standalone_tray";  // "Wine System Tray"

// ---- The icons on the Windows side

BOOL CALLBACK CollectIcon(HWND window, LPARAM param)
{
    std::vector<HWND>* icons = (std::vector<HWND>*)param;
    if (ClassName(window) == IconClass &&
        std::find(icons->begin(), icons->end(), window) == icons->end())
        icons->push_back(window);
    return TRUE;
}

// Every notification-area icon, docked or in Wine's own tray window.
std::vector<HWND> TrayIcons()
{
    std::vector<HWND> icons;
    for (HWND window : TopLevelWindows()) {
        CollectIcon(window, (LPARAM)&icons);
        EnumChildWindows(window, CollectIcon, (LPARAM)&icons);
    }
    return icons;
}

bool FallbackTrayShown()
{
    HWND tray = FindWindowA(FallbackTrayClass, NULL);
    return tray && IsWindowVisible(tray);
}

// ---- The X side

// The lines of `xwininfo -root -tree` from the window xid up through its
// ancestors, nearest first; empty when xid is not in the tree.
AssertionResult XAncestry(unsigned long xid, std::vector<std::string>* chain)
{
    std::string tree;
    AssertionResult ran = RunUnix("xwininfo -root -tree", &tree);
    chain->clear();
    if (!ran || !xid)
        return ran;
    // One window a line, children indented further than their parent.
    std::vector<std::pair<size_t, std::string>> above;  // the open ancestors of the line
    std::istringstream lines(tree);
    for (std::string line; std::getline(lines, line);) {
        size_t indent = line.find_first_not_of(' ');
        if (indent == std::string::npos || line.compare(indent, 2, "0x") != 0 || indent == 0)
            continue;
        while (!above.empty() && above.back().first >= indent)
            above.pop_back();
        above.emplace_back(indent, line.substr(indent));
        if (strtoul(line.c_str() + indent, NULL, 16) == xid) {
            for (auto it = above.rbegin(); it != above.rend(); ++it)
                chain->push_back(it->second);
            break;
        }
    }
    return AssertionSuccess();
}

bool InTrayer(const std::vector<std::string>& chain)
{
    return std::any_of(chain.begin() + (chain.empty() ? 0 : 1), chain.end(),
                       [](const std::string& line) { return line.find("\"trayer\"") != std::string::npos; });
}

// Waits until there are exactly n icons, each embedded in trayer on the X side
// and none in Wine's own tray window.
AssertionResult WaitDocked(size_t n, std::vector<HWND>* icons)
{
    std::string seen;
    AssertionResult docked = WaitUntil([&] {
        *icons = TrayIcons();
        seen = std::to_string(icons->size()) + " icons";
        if (icons->size() != n || FallbackTrayShown()) {
            seen += FallbackTrayShown() ? ", Wine System Tray shown" : "";
            return false;
        }
        for (HWND icon : *icons) {
            std::vector<std::string> chain;
            if (!XAncestry(XWindowOf(icon), &chain) || !InTrayer(chain)) {
                seen += "; X window " + Hex(XWindowOf(icon)) + " in: " + testing::PrintToString(chain);
                return false;
            }
        }
        return true;
    }, std::to_string(n) + " icons docked in trayer");
    if (!docked)
        docked << "; seen " << seen;
    return docked;
}

// Waits until no icon is left on the Windows side and the X window xid is gone.
AssertionResult WaitGone(unsigned long xid)
{
    size_t icons = 0;
    std::vector<std::string> chain;
    AssertionResult gone = WaitUntil([&] {
        icons = TrayIcons().size();
        return XAncestry(xid, &chain) && icons == 0 && chain.empty();
    }, "the icon gone");
    if (!gone)
        gone << "; seen " << icons << " icons, X window " << Hex(xid) << " in "
             << testing::PrintToString(chain);
    return gone;
}

// xdotool moves the pointer onto the icon and does the rest there: "click 1"
// is a real press and release of the left button. Each call takes the other
// half of the icon, so that two clicks in a row are never one double click.
AssertionResult XPointer(HWND icon, const std::string& action)
{
    static bool right = false;
    RECT r = WindowRect(icon);
    int width = r.right - r.left;
    right = !right;
    return RunUnix("xdotool mousemove --window " + Hex(XWindowOf(icon)) + " " +
                   std::to_string(right ? width * 3 / 4 : width / 4) + " " +
                   std::to_string((r.bottom - r.top) / 2) + " " + action);
}

// The tip as a user sees it: the pointer rests on the icon until its tooltip shows.
std::string ShownTip(HWND icon)
{
    HWND tip = NULL;
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "tooltips_class32", NULL)) != NULL;)
        if (GetWindow(w, GW_OWNER) == icon)
            tip = w;
    if (!tip || !XPointer(icon, "mousemove_relative 1 1") ||
        !WaitUntil([&] { return IsWindowVisible(tip) != FALSE; }, "the icon's tooltip"))
        return "(no tooltip shown)";
    return ControlText(tip);
}

// An icon of the driver's own beside Velmaris's. Explorer takes the mouse
// events of all its icons in turn, so once a click on this one has come back
// as its callback, the callbacks of every earlier action on Velmaris's icon
// have been sent; a message sent to Velmaris after that is handled after them.
class Marker {
public:
    static const UINT Callback = WM_APP + 1;

    Marker()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "VelmarisE2EMarker";
        RegisterClassA(&wc);  // fails harmlessly from the second marker on
        window_ = CreateWindowExA(0, wc.lpszClassName, "marker", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  wc.hInstance, NULL);
        added_ = Notify(NIM_ADD);
    }
    ~Marker()
    {
        if (added_)
            Notify(NIM_DELETE);
        DestroyWindow(window_);
    }
    bool Added() const { return added_; }
    // Clicks the marker's icon and waits for its callback, then for app to answer.
    AssertionResult Sync(HWND icon, HWND app) const
    {
        LONG before = presses_;
        AssertionResult clicked = XPointer(icon, "click 1");
        if (clicked)
            clicked = WaitUntil([&] { return presses_ != before; }, "the marker icon's callback");
        if (clicked && Ask(app, WM_NULL) == -1)
            return AssertionFailure() << "Velmaris does not answer";
        return clicked;
    }

private:
    BOOL Notify(DWORD action)
    {
        NOTIFYICONDATAA data = {};
        data.cbSize = NOTIFYICONDATAA_V1_SIZE;
        data.hWnd = window_;
        data.uID = 1;
        data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
        data.uCallbackMessage = Callback;
        data.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
        lstrcpynA(data.szTip, "marker", sizeof data.szTip);
        return Shell_NotifyIconA(action, &data);
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        // A press soon after the one before comes as a double click.
        if (message == Callback && (lParam == WM_LBUTTONDOWN || lParam == WM_LBUTTONDBLCLK))
            ++presses_;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static LONG presses_;
    HWND window_ = NULL;
    BOOL added_ = FALSE;
};

LONG Marker::presses_ = 0;

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

}  // namespace

TEST(Tray, DockedWithItsTipWhileRunningAndGoneAfterClose)
{
    E2E_NEEDS_WINE("trayer as the notification area, xdotool as the hand");
    ASSERT_TRUE(TrayIcons().empty()) << "an icon left from before";
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    std::vector<HWND> icons;
    ASSERT_TRUE(WaitDocked(1, &icons));
    EXPECT_EQ("Velmaris", ShownTip(icons[0]));
    unsigned long xid = XWindowOf(icons[0]);
    ASSERT_TRUE(app.Close());
    EXPECT_TRUE(WaitGone(xid));
}

TEST(Tray, LeftClickBringsTheWindowToFrontInPlace)
{
    E2E_NEEDS_WINE("trayer as the notification area, xdotool as the hand");
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    std::vector<HWND> icons;
    ASSERT_TRUE(WaitDocked(1, &icons));
    const RECT before = WindowRect(app.Main());
    HWND cover = CoverWindow(before);
    // Covered, then also hidden, then minimized: each time one press shows it
    // in front, unmoved.
    for (int away : {SW_SHOWNA, SW_HIDE, SW_MINIMIZE}) {
        SCOPED_TRACE(away == SW_HIDE ? "hidden" : away == SW_MINIMIZE ? "minimized" : "covered");
        if (away != SW_SHOWNA) {
            ShowWindow(app.Main(), away);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(app.Main()) || IsIconic(app.Main()); },
                                  "the window out of sight"));
        }
        BringToFront(cover);
        ASSERT_TRUE(WaitUntil([&] { return IsAbove(cover, app.Main()); }, "the cover window on top"));
        // Raised by the press itself, before the button is let go.
        ASSERT_TRUE(XPointer(icons[0], "mousedown 1"));
        AssertionResult raised = WaitUntil(
            [&] { return IsWindowVisible(app.Main()) && !IsIconic(app.Main()) &&
                         IsAbove(app.Main(), cover); },
            "Velmaris shown over the cover");
        ASSERT_TRUE(RunUnix("xdotool mouseup 1"));
        EXPECT_TRUE(raised);
        EXPECT_PRED2(SameRect, before, WindowRect(app.Main()))
            << Describe(before) << " became " << Describe(WindowRect(app.Main()));
        EXPECT_TRUE(WaitUntil([&] { return !(ExStyle(app.Main()) & WS_EX_TOPMOST); }, "not left topmost"));
    }
    DestroyWindow(cover);
    ASSERT_TRUE(app.Close());
}

TEST(Tray, OnlyALeftButtonPressRaisesTheWindow)
{
    E2E_NEEDS_WINE("trayer as the notification area, xdotool as the hand");
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    std::vector<HWND> icons;
    ASSERT_TRUE(WaitDocked(1, &icons));
    HWND icon = icons[0];
    Marker marker;
    ASSERT_TRUE(marker.Added());
    ASSERT_TRUE(WaitDocked(2, &icons));
    HWND markerIcon = icons[0] == icon ? icons[1] : icons[0];

    struct Action { const char* name; const char* xdotool; bool raises; };
    const Action actions[] = {
        {"right click", "click 3", false},
        {"middle click", "click 2", false},
        {"pointer moving over it", "mousemove_relative 2 2", false},
        {"left click", "click 1", true},  // the same steps see a raise
    };
    for (const Action& action : actions) {
        SCOPED_TRACE(action.name);
        HWND cover = CoverWindow(WindowRect(app.Main()));
        ASSERT_TRUE(WaitUntil([&] { return IsAbove(cover, app.Main()); }, "the cover window on top"));
        ASSERT_TRUE(XPointer(icon, action.xdotool));
        ASSERT_TRUE(marker.Sync(markerIcon, app.Main()));
        EXPECT_EQ(action.raises, IsAbove(app.Main(), cover));
        DestroyWindow(cover);
    }
    ASSERT_TRUE(app.Close());
}

TEST(Tray, TaskbarCreatedPutsALostIconBack)
{
    E2E_NEEDS_WINE("trayer as the notification area, xdotool as the hand");
    Velmaris app;
    ASSERT_TRUE(app.Start(FreshWorkDir()));
    std::vector<HWND> icons;
    ASSERT_TRUE(WaitDocked(1, &icons));
    // A taskbar that restarts has lost every icon: take Velmaris's away.
    NOTIFYICONDATAA lost = {};
    lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
    lost.hWnd = app.Main();
    lost.uID = 0;
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost)) << "no icon of the main window with ID 0";
    ASSERT_TRUE(WaitGone(XWindowOf(icons[0])));
    ASSERT_TRUE(app.WaitTicks(1));
    EXPECT_TRUE(TrayIcons().empty()) << "back before any taskbar asked for it";

    // What a taskbar broadcasts once it runs again.
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    ASSERT_TRUE(WaitDocked(1, &icons));
    EXPECT_EQ("Velmaris", ShownTip(icons[0]));
    HWND cover = CoverWindow(WindowRect(app.Main()));
    ASSERT_TRUE(WaitUntil([&] { return IsAbove(cover, app.Main()); }, "the cover window on top"));
    ASSERT_TRUE(XPointer(icons[0], "click 1"));
    EXPECT_TRUE(WaitUntil([&] { return IsAbove(app.Main(), cover); }, "Velmaris raised over the cover"));

    // Kept, at version 0 as another left it (a timed-out NIM_ADD that Explorer carried out, a display
    // change): taken over, a click's press raises and its release, a selection, activates.
    ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &lost) && WaitGone(XWindowOf(icons[0])));
    lost.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP, lost.uCallbackMessage = WM_TRAYNOTIFY;
    lost.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION), lstrcpynA(lost.szTip, "stale", 64);
    ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &lost));
    ASSERT_TRUE(PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    ASSERT_TRUE(app.WaitTicks(1) && WaitDocked(1, &icons));  // a tick comes after posted messages
    EXPECT_EQ("Velmaris", ShownTip(icons[0]));
    for (const char* step : {"mousedown 1", "mouseup 1"}) {
        BringToFront(cover);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == cover; }, "the cover in front"));
        ASSERT_TRUE(XPointer(icons[0], step));
    }
    EXPECT_TRUE(WaitUntil([&] { return IsAbove(app.Main(), cover) && GetForegroundWindow() == app.Main(); },
                          "Velmaris selected: raised and in the foreground"));
    DestroyWindow(cover);
    unsigned long xid = XWindowOf(icons[0]);
    ASSERT_TRUE(app.Close());
    EXPECT_TRUE(WaitGone(xid));
}

TEST(Tray, RaisesIntoViewAndSelectionActivates)
{
    RECT work;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
    for (RECT row : {RECT{100, 100, NIN_KEYSELECT, 0}, {100, 100, NIN_SELECT, 0},
                     {-2000, -2000, WM_LBUTTONDOWN, 1}, {work.right - 3, 100, WM_LBUTTONDOWN, 1},
                     {work.left - 20, work.top - 10, WM_LBUTTONDOWN, 0}}) {
        SCOPED_TRACE(Describe(row));  // left, top saved or lost to; the icon's event (select: Win+B, arrows, Enter); lost
        Velmaris app;  // a lost one starts in view and is lost after, as when its monitor goes
        ASSERT_TRUE(app.Start(FreshWorkDir(row.bottom ? nullptr : ("[WINDOW]\r\nleft=" + std::to_string(row.left) +
                                                                   "\r\ntop=" + std::to_string(row.top) + "\r\n").c_str())));
        if (row.bottom)
            SetWindowPos(app.Main(), NULL, row.left, row.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r = WindowRect(app.Main());
        bool lost = row.bottom, selected = row.right != WM_LBUTTONDOWN;
        HWND cover = CoverWindow(lost ? work : r);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == cover; }, "the cover in front"));
        PostMessageA(app.Main(), WM_TRAYNOTIFY, 0, row.right);
        EXPECT_TRUE(WaitUntil([&] { return IsAbove(app.Main(), cover) &&
                                           (!selected || GetForegroundWindow() == app.Main()); },
                              "raised, and in the foreground if selected"));
        if (lost)  // wholly into the work area, the least distance
            OffsetRect(&r, std::min(std::max(r.left, work.left), work.right - (r.right - r.left)) - r.left,
                       std::min(std::max(r.top, work.top), work.bottom - (r.bottom - r.top)) - r.top);
        EXPECT_PRED2(SameRect, r, WindowRect(app.Main())) << Describe(WindowRect(app.Main()));
        std::string t;  // read once, after a tick: a read during the save would make it skip the file
        EXPECT_TRUE(!lost || (app.WaitTicks(1) && ReadText(app.IniPath(), &t) && IniLines(t) == SavedIni(r)))
            << t;
        DestroyWindow(cover);
        ASSERT_TRUE(app.Close());
    }
}
