#include "driver.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <regex>

namespace e2e {

using testing::AssertionFailure;
using testing::AssertionResult;
using testing::AssertionSuccess;

static std::string ExePath;

std::string WinePath(const std::string& unixPath)
{
    std::string path = !unixPath.empty() && unixPath[0] == '/' ? "Z:" + unixPath : unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

void SetVelmarisPath(std::string path)
{
    ExePath = WinePath(path);
}

const std::string& VelmarisPath()
{
    return ExePath;
}

double NowMs()
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

AssertionResult WaitUntil(const std::function<bool()>& cond, const std::string& what, DWORD ms,
                          DWORD pollMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;  // keep the driver's own windows answering
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        if (cond())
            return AssertionSuccess();
        if (GetTickCount() - start > ms)
            return AssertionFailure() << "timed out after " << ms << " ms waiting for " << what;
        Sleep(pollMs);
    }
}

std::wstring LongPath(const std::string& path)
{
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(LongPath(dir + "\\*").c_str(), &found);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
        std::wstring name = found.cFileName;
        std::string path = dir + "\\" + std::string(name.begin(), name.end());
        if (name == L"." || name == L"..")
            continue;
        SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path);
        else
            DeleteFileW(LongPath(path).c_str());
    }
    FindClose(find);
    RemoveDirectoryW(LongPath(dir).c_str());
}

// e2e-work in the current directory, where every test and command keeps its files.
static std::string WorkRoot()
{
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string dir = std::string(cwd) + "\\e2e-work";
    CreateDirectoryA(dir.c_str(), NULL);
    return dir;
}

std::string WorkDir(const std::string& name)
{
    std::string dir = WorkRoot() + "\\" + name;
    RemoveTree(dir);
    if (!CreateDirectoryW(LongPath(dir).c_str(), NULL))
        ADD_FAILURE() << "cannot empty " << dir << ": error " << GetLastError();
    return dir;
}

std::string FreshWorkDir(const char* iniText)
{
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (!isalnum((unsigned char)c) && c != '.')
            c = '_';
    std::string dir = WorkDir(name);
    if (iniText)
        WriteText(dir + "\\Velmaris.ini", iniText);
    return dir;
}

bool ReadText(const std::string& path, std::string* text)
{
    text->clear();
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char chunk[65536];
    DWORD n = 0;
    while (ReadFile(file, chunk, sizeof chunk, &n, NULL) && n > 0)
        text->append(chunk, n);
    CloseHandle(file);
    return true;
}

bool WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) &&
              written == text.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return ok;
}

std::vector<std::string> FileLines(const std::string& path)
{
    std::string text;
    EXPECT_TRUE(ReadText(path, &text)) << path;
    return IniLines(text);
}

std::vector<std::string> SavedIni(const RECT& r, IniOverrides settings)
{
    settings["left"] = std::to_string(r.left);
    settings["top"] = std::to_string(r.top);
    settings["right"] = std::to_string(r.right);
    settings["bottom"] = std::to_string(r.bottom);
    return SettingsFile(settings);
}

std::string Utf8(const std::wstring& text)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &out[0], n, NULL, NULL);
    return out;
}

std::string WindowText(HWND window)
{
    std::wstring text(GetWindowTextLengthW(window) + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], (int)text.size()));
    return Utf8(text);
}

std::string ControlText(HWND control)
{
    LRESULT length = Ask(control, WM_GETTEXTLENGTH);
    if (length <= 0)
        return "";
    std::wstring text(length + 1, L'\0');
    length = Ask(control, WM_GETTEXT, text.size(), (LPARAM)&text[0]);
    text.resize(length > 0 ? length : 0);
    return Utf8(text);
}

std::string ClassName(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = (DWORD_PTR)LB_ERR;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, WaitMs, &result))
        return LB_ERR;
    return (LRESULT)result;
}

// False when there is no such line (or it went while we read).
static bool ReadLine(HWND listBox, int index, std::string* line)
{
    // The W form: under Wine the A form hands back UTF-16 across processes.
    LRESULT length = Ask(listBox, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return false;
    std::wstring text(length + 1, L'\0');
    length = Ask(listBox, LB_GETTEXT, index, (LPARAM)&text[0]);
    text.resize(length == LB_ERR ? 0 : length);
    *line = Utf8(text);
    return length != LB_ERR;
}

std::string ListBoxLine(HWND listBox, int index)
{
    std::string line;
    ReadLine(listBox, index, &line);
    return line;
}

std::vector<std::string> ListBoxLines(HWND listBox)
{
    std::vector<std::string> lines;
    LRESULT count = Ask(listBox, LB_GETCOUNT, 0, 0);
    // Emptied while we read: the caller reads again.
    for (std::string line; (LRESULT)lines.size() < count && ReadLine(listBox, (int)lines.size(), &line);)
        lines.push_back(line);
    return lines;
}

int SecondsShown(const std::string& line)
{
    static const std::regex shape(" (\\d+):([0-5]\\d)");
    std::smatch ms;
    return std::regex_match(line, ms, shape) ? std::stoi(ms[1]) * 60 + std::stoi(ms[2]) : -1;
}

std::string Hex(unsigned long value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%lx", value);
    return text;
}

// The Unix name of a Windows path, through Wine's own mapping.
static std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    ToUnix toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = L"";
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unix = toUnix ? toUnix(wide) : nullptr;
    std::string result = unix ? unix : "";
    if (unix)
        HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs a /bin/sh command line on the Unix side. Wine starts a Unix program
// detached, with no process handle and no pipes, so the shell writes the
// output and then, by rename, the exit status into files that the driver polls for.
AssertionResult RunUnix(const std::string& command, std::string* out)
{
    static int serial = 0;
    std::string base = WorkRoot() + "\\unix-" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(++serial);
    std::string unixBase = UnixPath(base);
    if (unixBase.empty() || unixBase.find('\'') != std::string::npos ||
        command.find('"') != std::string::npos)
        return AssertionFailure() << "cannot run `" << command << "` from " << base;
    std::string script = "exec >'" + unixBase + ".out' 2>&1; " + command + "; echo $? >'" +
                         unixBase + ".tmp'; mv '" + unixBase + ".tmp' '" + unixBase + ".rc'";
    std::string line = "Z:\\bin\\sh -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    // What Wine leaves in the process information for a Unix program is no
    // handle of ours: closing it could close any handle of the driver's.
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return AssertionFailure() << "cannot start /bin/sh: error " << GetLastError();
    std::string status, text;
    AssertionResult done = WaitUntil([&] { return ReadText(base + ".rc", &status); },
                                     "`" + command + "` to finish");
    ReadText(base + ".out", &text);
    DeleteFileA((base + ".rc").c_str());
    DeleteFileA((base + ".out").c_str());
    if (out)
        *out = text;
    if (!done)
        return done << "; output so far: " << text;
    if (atoi(status.c_str()) != 0)
        return AssertionFailure() << "`" << command << "` exited with " << atoi(status.c_str())
                                  << ": " << text;
    return AssertionSuccess();
}

unsigned long XWindowOf(HWND window)
{
    return (unsigned long)(ULONG_PTR)GetPropA(window, "__wine_x11_whole_window");
}

// A point of the window's body, clear of its controls by a few pixels, so
// that a press there is the window's own (HTCAPTION); false when there is none.
static bool BodyPoint(HWND window, POINT* at)
{
    RECT client = {};
    GetClientRect(window, &client);
    auto body = [&](LONG x, LONG y) {
        POINT p = {x, y};
        return PtInRect(&client, p) &&
               ChildWindowFromPointEx(window, p, CWP_SKIPINVISIBLE) == window;
    };
    const LONG margin = 3;
    for (LONG y = client.top + margin; y < client.bottom - margin; ++y)
        for (LONG x = client.left + margin; x < client.right - margin; ++x)
            if (body(x - margin, y - margin) && body(x + margin, y - margin) &&
                body(x - margin, y + margin) && body(x + margin, y + margin) && body(x, y)) {
                *at = {x, y};
                ClientToScreen(window, at);
                return true;
            }
    return false;
}

AssertionResult Drag(HWND window, int dx, int dy)
{
    POINT at = {};
    if (!BodyPoint(window, &at))
        return AssertionFailure() << "no point of the window's body clear of its controls";
    RECT r = WindowRect(window);
    std::string command = "xdotool mousemove --window " + Hex(XWindowOf(window)) + " " +
                          std::to_string(at.x - r.left) + " " + std::to_string(at.y - r.top) +
                          " mousedown 1";
    // In steps, as a hand moves, each one an X motion event of its own.
    const int steps = 4;
    for (int i = 0; i <= steps; ++i) {
        int x = i < steps ? dx / steps : dx % steps, y = i < steps ? dy / steps : dy % steps;
        command += " sleep 0.05 mousemove_relative -- " + std::to_string(x) + " " + std::to_string(y);
    }
    AssertionResult ran = RunUnix(command + " sleep 0.05 mouseup 1");
    if (!ran)
        return ran;
    // The window's thread takes the X events in its own time: wait until it
    // has moved the window and left its move loop.
    RECT want = r, now = r;
    OffsetRect(&want, dx, dy);
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    AssertionResult ended = WaitUntil([&] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        now = WindowRect(window);
        return EqualRect(&now, &want) && GetGUIThreadInfo(thread, &info) &&
               !(info.flags & GUI_INMOVESIZE);
    }, "the window moved by " + std::to_string(dx) + ", " + std::to_string(dy) +
       " and out of its move loop");
    if (!ended)
        return ended << "; window at " << now.left << "," << now.top << " from " << r.left << ","
                     << r.top;
    // The loop sends its end (WM_EXITSIZEMOVE) before the thread takes
    // another message: once this is answered, that has been handled.
    Ask(window, WM_NULL);
    return AssertionSuccess();
}

bool IsAbove(HWND a, HWND b)
{
    // Top-level windows from the top down; b below a means a is in front.
    for (HWND w = GetWindow(a, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == b)
            return true;
    return false;
}

static BOOL CALLBACK CollectWindow(HWND window, LPARAM param)
{
    ((std::vector<HWND>*)param)->push_back(window);
    return TRUE;
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, (LPARAM)&windows);
    return windows;
}

HWND OwnedWindow(HWND owner)
{
    for (HWND window : TopLevelWindows())
        if (GetWindow(window, GW_OWNER) == owner && IsWindowVisible(window))
            return window;
    return NULL;
}

bool Launch(const std::string& exe, const std::string& dir, WORD showCode,
            PROCESS_INFORMATION* process)
{
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCode;
    return CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL,
                          dir.empty() ? NULL : dir.c_str(), &startup, process) != FALSE;
}

HWND VelmarisWindow(DWORD pid)
{
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "Velmaris", NULL)) != NULL;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (pid == 0 || owner == pid)
            return w;
    }
    return NULL;
}

AssertionResult EndDialogWith(HWND dialog, int button)
{
    Click(GetDlgItem(dialog, button));
    return WaitUntil([&] { return !IsWindow(dialog); }, "the dialog to end");
}

bool Filled(HWND main)
{
    return main && IsWindowVisible(main) &&
           Ask(GetDlgItem(main, IDC_CLOCKLINES), LB_GETCOUNT) == 3 &&
           Ask(GetDlgItem(main, IDC_COUNTDOWNLINE), LB_GETCOUNT) == 1;
}

void BringToFront(HWND window)
{
    // Through topmost and back: Wine restacks an unmanaged X window only when
    // no visible window is above it, so this puts it on top on screen too.
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window);
}

HWND CoverWindow(const RECT& r)
{
    static ATOM cls = 0;
    if (!cls) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(GRAY_BRUSH);
        wc.lpszClassName = "VelmarisE2ECover";
        cls = RegisterClassA(&wc);
    }
    HWND w = CreateWindowExA(0, "VelmarisE2ECover", "cover", WS_POPUP | WS_VISIBLE,
                             r.left - 20, r.top - 20, r.right - r.left + 40,
                             r.bottom - r.top + 40, NULL, NULL, GetModuleHandleA(NULL), NULL);
    BringToFront(w);
    return w;
}

Velmaris::~Velmaris()
{
    if (!process_.hProcess)
        return;
    Kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

AssertionResult Velmaris::Kill()
{
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT &&
        !TerminateProcess(process_.hProcess, KilledCode))
        return AssertionFailure() << "TerminateProcess failed: error " << GetLastError();
    DWORD code = 0;
    AssertionResult ended = WaitExit(&code);
    if (ended && code != KilledCode)
        return AssertionFailure() << "Velmaris had ended by itself with code " << code;
    return ended;
}

AssertionResult Velmaris::Start(const std::string& dir, WORD showCode, std::string exe)
{
    if (exe.empty())
        exe = VelmarisPath();
    if (exe.empty() || GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES)
        return AssertionFailure() << "no Velmaris.exe at \"" << exe
                                  << "\" (set VELMARIS_EXE or pass --velmaris=PATH)";
    dir_ = dir;
    launchedAt = NowMs();
    visibleAt = filledAt = 0;
    if (!Launch(exe, dir, showCode, &process_))
        return AssertionFailure() << "cannot start " << exe << ": error " << GetLastError();
    bool exited = false;
    AssertionResult ready = WaitUntil([&] {
        exited = WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
        main_ = exited ? NULL : VelmarisWindow(process_.dwProcessId);
        if (!visibleAt && main_ && IsWindowVisible(main_))
            visibleAt = NowMs();
        return exited || Filled(main_);
    }, "the Velmaris window with its three clock lines and one countdown line", WaitMs, startPollMs);
    filledAt = NowMs();
    DWORD code = 0;
    if (exited && GetExitCodeProcess(process_.hProcess, &code))
        return AssertionFailure() << "Velmaris exited during start-up with code " << code;
    return ready;
}

AssertionResult Velmaris::Attach()
{
    return WaitUntil([&] { return Filled(main_ = VelmarisWindow(0)); },
                     "a Velmaris window with filled list boxes");
}

AssertionResult Velmaris::Watch(int id, size_t index, std::vector<std::string>* trace,
                                const std::function<bool(const std::vector<std::string>&)>& done,
                                const std::string& what, DWORD ms) const
{
    AssertionResult result = WaitUntil([&] {
        std::string line = Line(id, index);  // empty between a reset and the insert
        if (!line.empty() && (trace->empty() || trace->back() != line))
            trace->push_back(line);
        return done(*trace);
    }, what, ms);
    if (!result)
        result << "; seen:" << testing::PrintToString(*trace);
    return result;
}

AssertionResult Velmaris::PressNow(int id, double* before, double* after) const
{
    *before = NowMs();
    DWORD_PTR result;
    BOOL answered = SendMessageTimeoutA(Item(id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, WaitMs, &result);
    *after = NowMs();
    if (!answered)
        return AssertionFailure() << "button " << id << " not pressed within " << WaitMs << " ms";
    return AssertionSuccess();
}

AssertionResult Velmaris::WaitLine(int id, size_t index,
                                   const std::function<bool(const std::string&)>& shown,
                                   const std::string& what, double* at, DWORD ms) const
{
    std::string last;
    AssertionResult seen = WaitUntil([&] {
        std::string line = Line(id, index);
        *at = NowMs();
        if (!line.empty())
            last = line;
        return !line.empty() && shown(line);
    }, what, ms, 1);
    if (!seen)
        seen << "; last seen \"" << last << '"';
    return seen;
}

AssertionResult Velmaris::WaitTicks(int n) const
{
    std::vector<std::string> times;
    return Watch(IDC_CLOCKLINES, 1, &times, [n](const std::vector<std::string>& t) {
        return (int)t.size() > n;
    }, std::to_string(n) + " clock ticks", n * 1000 + WaitMs);
}

AssertionResult Velmaris::OpenSettings(HWND* dialog) const
{
    Press(IDC_SETTINGS);
    return WaitUntil([&] { return (*dialog = OwnedWindow(main_)) != NULL; },
                     "a visible window owned by the main window");
}

AssertionResult Velmaris::WaitExit(DWORD* code, DWORD ms)
{
    if (WaitForSingleObject(process_.hProcess, ms) != WAIT_OBJECT_0)
        return AssertionFailure() << "Velmaris still running after " << ms << " ms";
    GetExitCodeProcess(process_.hProcess, code);
    return AssertionSuccess();
}

AssertionResult Velmaris::Close()
{
    Press(IDC_CLOSE);
    DWORD code = 0;
    AssertionResult exited = WaitExit(&code);
    if (exited && code != 0)
        return AssertionFailure() << "Velmaris exited with code " << code;
    return exited;
}

}  // namespace e2e
