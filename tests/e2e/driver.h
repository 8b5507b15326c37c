// Drives the real Velmaris.exe from outside, as a user would: starts it in a
// working directory of its own, reads its windows and list boxes, presses its
// buttons and closes it. Every wait is bounded and fails with what it waited for.
// The e2e tests and the bench's measurer (bench/probe.cpp) both use it.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resource.h"
#include "settings_file.h"

namespace e2e {

using Lines = std::vector<std::string>;
constexpr DWORD WaitMs = 10000;  // a generous bound for anything that should be quick

// Velmaris.exe: the environment's VELMARIS_EXE or the --velmaris= argument.
void SetVelmarisPath(std::string path);
// A path with backslashes; a Unix one (leading '/') through Wine's Z: drive.
std::string WinePath(const std::string& unixPath);
const std::string& VelmarisPath();

// Polls cond every pollMs (pumping this thread's messages) until it holds or ms pass.
testing::AssertionResult WaitUntil(const std::function<bool()>& cond, const std::string& what,
                                   DWORD ms = WaitMs, DWORD pollMs = 15);
// A millisecond clock finer than the tick count, for timing what the program shows.
double NowMs();

// The directory e2e-work\name under the current directory, emptied of what
// an earlier run left.
std::string WorkDir(const std::string& name);
// A fresh WorkDir named after the running test; optionally holding a
// Velmaris.ini with iniText.
std::string FreshWorkDir(const char* iniText = nullptr);
void RemoveTree(const std::string& dir);
// Whole files, by absolute path, also past MAX_PATH. ReadText is false when absent.
bool ReadText(const std::string& path, std::string* text);
bool WriteText(const std::string& path, const std::string& text);
std::wstring LongPath(const std::string& path);  // \\?\ and the path, for the W calls
std::vector<std::string> FileLines(const std::string& path);  // IniLines; a failure when absent
// What a close writes into a file that held at most the [WINDOW] keys: the
// window section with rectangle r, then every setting at its default but for
// the overrides, in order.
std::vector<std::string> SavedIni(const RECT& r, IniOverrides settings = {});

// The caption this run's UI language gets: Chinese (PRC) or, for any other, English.
inline const char* Caption(const char* chinese, const char* english)
{
    return GetUserDefaultUILanguage() == MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED)
               ? chinese : english;
}

// Under Wine, asked of Wine itself; E2E_AS_ON_WINDOWS takes Windows' path there.
inline bool OnWine()
{
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") && !getenv("E2E_AS_ON_WINDOWS");
}
// On Windows, skips a test that needs Wine's surroundings and says which.
#define E2E_NEEDS_WINE(what) \
    if (!e2e::OnWine()) GTEST_SKIP() << "needs Wine (" << what << "): skipped on Windows"

// Any window. Texts are read with the W calls and returned as UTF-8.
std::string Utf8(const std::wstring& text);
std::string WindowText(HWND window);
// The text a control of another process holds now, asked for with bounded
// messages: GetWindowText does not ask such a window, and edits and combo
// boxes keep their text themselves.
std::string ControlText(HWND control);
std::string ClassName(HWND window);
inline LONG Style(HWND window) { return GetWindowLongW(window, GWL_STYLE); }
inline LONG ExStyle(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE); }
// A sent message with a bound, so a hung program fails the test instead of
// the run; -1 when it is not answered.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
std::vector<std::string> ListBoxLines(HWND listBox);
std::string ListBoxLine(HWND listBox, int index);  // empty when there is none
// Seconds left as a countdown line shows them (" M:SS"), or -1 for other text.
int SecondsShown(const std::string& line);
inline RECT WindowRect(HWND window) { RECT r = {}; GetWindowRect(window, &r); return r; }
// Top-level z-order: a is nearer the top than b.
bool IsAbove(HWND a, HWND b);
std::vector<HWND> TopLevelWindows();
// The first visible top-level window owned by owner, or NULL.
HWND OwnedWindow(HWND owner);
// Starts exe in dir (the current one when empty) as a shortcut with showCode would.
bool Launch(const std::string& exe, const std::string& dir, WORD showCode,
            PROCESS_INFORMATION* process);
// The main window of process pid (0: of any process), or NULL.
HWND VelmarisWindow(DWORD pid);
// Shown, with its three clock lines and one countdown line.
bool Filled(HWND main);
// Posted, never sent, so it does not wait for a modal loop the click opens.
inline void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }
// Clicks the dialog's button (IDOK, IDCANCEL) and waits until the dialog has gone.
testing::AssertionResult EndDialogWith(HWND dialog, int button);

// Runs a /bin/sh command line on the Unix side (xdotool, xwininfo); fails
// with its output when it exits with other than 0.
testing::AssertionResult RunUnix(const std::string& command, std::string* out = nullptr);
std::string Hex(unsigned long value);  // "0x..."
// The X window Wine made for a top-level window (of any process), or 0.
unsigned long XWindowOf(HWND window);
// A real left-button drag with xdotool: pressed on a point of the window's
// body clear of its controls, moved by dx, dy in a few steps, released.
// Returns once the window's thread has moved it and handled the move's end.
testing::AssertionResult Drag(HWND window, int dx, int dy);

// A plain top-level window of the driver's own, placed over r and brought to front.
HWND CoverWindow(const RECT& r);
// In front of all other windows and foreground. A pressed button activates
// its window and so brings it to front: cover again after pressing.
void BringToFront(HWND window);

// One running Velmaris.exe; a test that fails early leaves it to the
// destructor, which ends the process.
class Velmaris {
public:
    ~Velmaris();
    // Starts the program (exe, or VelmarisPath() when empty) in dir, as a
    // shortcut with showCode would, and waits for its window and filled list boxes.
    testing::AssertionResult Start(const std::string& dir, WORD showCode = SW_SHOWNORMAL,
                                   std::string exe = "");
    // Takes the Velmaris that is running already, once its list boxes are filled.
    testing::AssertionResult Attach();
    DWORD startPollMs = 15;  // how often Start looks for the window
    double launchedAt = 0, visibleAt = 0, filledAt = 0;  // NowMs() during Start
    HWND Main() const { return main_; }
    HWND Item(int id) const { return GetDlgItem(main_, id); }
    std::vector<std::string> Lines(int id) const { return ListBoxLines(Item(id)); }
    std::string Line(int id, size_t index) const { return ListBoxLine(Item(id), (int)index); }
    void Press(int id) const { Click(Item(id)); }
    // Presses a button and waits until the program has handled it; returns
    // the NowMs() before and after, between which the press took effect.
    testing::AssertionResult PressNow(int id, double* before, double* after) const;
    // Polls line index of list box id every millisecond until its text first
    // satisfies shown; *at is the NowMs() when it was seen.
    testing::AssertionResult WaitLine(int id, size_t index,
                                      const std::function<bool(const std::string&)>& shown,
                                      const std::string& what, double* at, DWORD ms = WaitMs) const;
    // Records each new non-empty text of line index of list box id until done(trace) holds.
    testing::AssertionResult Watch(int id, size_t index, std::vector<std::string>* trace,
                                   const std::function<bool(const std::vector<std::string>&)>& done,
                                   const std::string& what, DWORD ms = WaitMs) const;
    // Waits for n one-second ticks, seen as changes of the time line.
    testing::AssertionResult WaitTicks(int n) const;
    // Presses Settings and waits for the dialog it opens.
    testing::AssertionResult OpenSettings(HWND* dialog) const;
    void PostClose() const { PostMessageA(main_, WM_CLOSE, 0, 0); }
    testing::AssertionResult WaitExit(DWORD* code, DWORD ms = WaitMs);
    // Ends the process from outside, as Task Manager's End task does
    // (TerminateProcess), and waits until it has ended; fails when it had
    // already ended by itself.
    testing::AssertionResult Kill();
    static constexpr UINT KilledCode = 99;
    // Presses Close and waits for the process to end with exit code 0.
    testing::AssertionResult Close();
    std::string IniPath() const { return dir_ + "\\Velmaris.ini"; }

private:
    PROCESS_INFORMATION process_ = {};
    HWND main_ = NULL;
    std::string dir_;
};

}  // namespace e2e
