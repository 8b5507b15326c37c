// The measurer behind bench/run.sh. It starts Velmaris and the peer clock,
// times them to their first window, presses Start, and times the raise at
// the end of short runs. It sees the other programs only through their
// windows and messages; every wait is bounded. Output is one line per
// figure, "name value ...", for the script to gather.
//
//   probe startup RUNS VELMARIS_EXE DIR PEER_EXE
//   probe press                  Start in the one running Velmaris
//   probe wait CLASS             until a visible window of CLASS is there
//   probe close CLASS            WM_CLOSE to each window of CLASS, then wait
//   probe timing RUNS PRESET_MS  RUNS back-to-back runs of the preset
//   probe chain RUNS PRESET_MS RESTART_MS  one Start, RUNS ends of an automatic-restart chain
//   probe lag TURNS              the time line's lag behind the local time at TURNS turns
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { StartButton = 2000, StopButton = 2002, ClockBox = 3001, CountdownBox = 3002 };
static const DWORD WaitMs = 10000;

static LARGE_INTEGER Frequency;

static double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)Frequency.QuadPart;
}

// Sent with a bound, so a hung program ends the measurement, not the run.
static LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = (DWORD_PTR)LB_ERR;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, WaitMs, &result))
        return LB_ERR;
    return (LRESULT)result;
}

// The W form: under Wine the A form hands back UTF-16 across processes.
static bool LineText(HWND listBox, int index, wchar_t* out, int size)
{
    out[0] = 0;
    LRESULT length = Ask(listBox, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length >= size)
        return false;
    return Ask(listBox, LB_GETTEXT, (WPARAM)index, (LPARAM)out) != LB_ERR;
}

static HWND VelmarisWindow(DWORD pid)
{
    for (HWND w = NULL; (w = FindWindowExA(NULL, w, "Velmaris", NULL)) != NULL;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (pid == 0 || owner == pid)
            return w;
    }
    return NULL;
}

// The first paint has filled both list boxes.
static bool Filled(HWND window)
{
    return IsWindowVisible(window) &&
           Ask(GetDlgItem(window, ClockBox), LB_GETCOUNT, 0, 0) == 3 &&
           Ask(GetDlgItem(window, CountdownBox), LB_GETCOUNT, 0, 0) == 1;
}

struct Search {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK FindVisible(HWND window, LPARAM param)
{
    Search* search = (Search*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !IsWindowVisible(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

static HWND VisibleWindowOf(DWORD pid)
{
    Search search = {pid, NULL};
    EnumWindows(FindVisible, (LPARAM)&search);
    return search.found;
}

static bool Launch(const char* exe, const char* dir, PROCESS_INFORMATION* process, double* t0)
{
    char command[MAX_PATH + 3];
    _snprintf(command, sizeof command, "\"%s\"", exe);
    command[sizeof command - 1] = 0;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    *t0 = NowMs();
    if (CreateProcessA(exe, command, NULL, NULL, FALSE, 0, NULL, dir, &startup, process))
        return true;
    fprintf(stderr, "probe: cannot start %s: error %lu\n", exe, GetLastError());
    return false;
}

static void CloseAndWait(HWND window, PROCESS_INFORMATION* process)
{
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process->hProcess, WaitMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "probe: a process did not end after WM_CLOSE\n");
        TerminateProcess(process->hProcess, 99);
        WaitForSingleObject(process->hProcess, WaitMs);
    }
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
}

// One start of Velmaris: times to its visible window and to its filled list boxes.
static bool StartVelmaris(const char* exe, const char* dir, double* visible, double* filled)
{
    PROCESS_INFORMATION process;
    double t0;
    if (!Launch(exe, dir, &process, &t0))
        return false;
    HWND window = NULL;
    *visible = *filled = -1;
    while (NowMs() - t0 < WaitMs) {
        if (!window)
            window = VelmarisWindow(process.dwProcessId);
        if (window && *visible < 0 && IsWindowVisible(window))
            *visible = NowMs() - t0;
        if (window && Filled(window)) {
            *filled = NowMs() - t0;
            if (*visible < 0)
                *visible = *filled;
            break;
        }
        Sleep(1);
    }
    CloseAndWait(window, &process);
    return *filled >= 0;
}

// One start of the peer: time to its first visible top-level window.
static bool StartPeer(const char* exe, double* visible, char* className, int size)
{
    PROCESS_INFORMATION process;
    double t0;
    if (!Launch(exe, NULL, &process, &t0))
        return false;
    HWND window = NULL;
    *visible = -1;
    while (NowMs() - t0 < WaitMs) {
        if ((window = VisibleWindowOf(process.dwProcessId)) != NULL) {
            *visible = NowMs() - t0;
            break;
        }
        Sleep(1);
    }
    className[0] = 0;
    if (window)
        GetClassNameA(window, className, size);
    CloseAndWait(window, &process);
    return *visible >= 0;
}

// Alternates the two programs so that both see the same conditions; the
// first start of each warms the file cache and is reported apart.
static int Startup(int runs, const char* exe, const char* dir, const char* peer)
{
    for (int i = 0; i <= runs; ++i) {
        const char* tag = i == 0 ? "warmup" : "run";
        double visible, filled;
        if (StartVelmaris(exe, dir, &visible, &filled))
            printf("startup velmaris %s %.2f %.2f\n", tag, visible, filled);
        else
            printf("startup velmaris failed\n");
        char className[256];
        if (StartPeer(peer, &visible, className, sizeof className))
            printf("startup peer %s %.2f %s\n", tag, visible, className);
        else
            printf("startup peer failed\n");
        fflush(stdout);
    }
    return 0;
}

static HWND WaitFilledVelmaris()
{
    double t0 = NowMs();
    while (NowMs() - t0 < WaitMs) {
        HWND window = VelmarisWindow(0);
        if (window && Filled(window))
            return window;
        Sleep(10);
    }
    fprintf(stderr, "probe: no Velmaris window with filled list boxes\n");
    return NULL;
}

static int Press()
{
    HWND window = WaitFilledVelmaris();
    if (!window)
        return 1;
    Ask(GetDlgItem(window, StartButton), BM_CLICK, 0, 0);
    printf("pressed\n");
    return 0;
}

static int WaitClass(const char* className)
{
    double t0 = NowMs();
    while (NowMs() - t0 < WaitMs) {
        HWND window = FindWindowA(className, NULL);
        if (window && IsWindowVisible(window)) {
            printf("shown %s\n", className);
            return 0;
        }
        Sleep(10);
    }
    fprintf(stderr, "probe: no visible window of class %s\n", className);
    return 1;
}

static int CloseClass(const char* className)
{
    HWND window;
    int closed = 0;
    while ((window = FindWindowA(className, NULL)) != NULL && closed < 16) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
        PostMessageA(window, WM_CLOSE, 0, 0);
        if (process) {
            WaitForSingleObject(process, WaitMs);
            CloseHandle(process);
        } else {
            Sleep(500);
        }
        ++closed;
    }
    printf("closed %d\n", closed);
    return 0;
}

// Polls line index of a list box every millisecond until it shows text
// (a non-empty line) for which same(text, other) is want; *at is when it was seen.
static bool WaitText(HWND box, int index, const wchar_t* other, bool want, double limitMs,
                     double* at, wchar_t* text = NULL)
{
    wchar_t now[64];
    double t0 = NowMs();
    while (NowMs() - t0 < limitMs) {
        if (LineText(box, index, now, 64) && now[0] && (wcscmp(now, other) == 0) == want) {
            *at = NowMs();
            if (text)
                wcscpy(text, now);
            return true;
        }
        Sleep(1);
    }
    return false;
}

// Waits for the next one-second tick, seen as a change of the time line.
static bool WaitTick(HWND clockBox, double* at)
{
    wchar_t before[64];
    return LineText(clockBox, 1, before, 64) && WaitText(clockBox, 1, before, false, 2500, at);
}

// The end of a run, seen as the countdown line leaving the preset and coming
// back to it, which the expiring evaluation writes right after the raise.
static bool WaitEnd(HWND line, const wchar_t* preset, double limitMs, double* at)
{
    double left;
    return WaitText(line, 0, preset, false, limitMs, &left) &&
           WaitText(line, 0, preset, true, limitMs, at);
}

// Presses Start and waits until it has been handled; *at is the moment
// before the press, from which the nominal ends are counted.
static void PressStart(HWND window, double* at, double* sent)
{
    *at = NowMs();
    Ask(GetDlgItem(window, StartButton), BM_CLICK, 0, 0);
    *sent = NowMs() - *at;
}

// Each run is pressed at a different offset after a tick, so that the runs
// sample the whole second; the lateness is from the nominal end (the moment
// before Start was sent, plus the preset) to the end being seen.
static int Timing(int runs, int presetMs)
{
    HWND window = WaitFilledVelmaris();
    if (!window)
        return 1;
    HWND clockBox = GetDlgItem(window, ClockBox);
    HWND line = GetDlgItem(window, CountdownBox);
    wchar_t preset[64];
    if (!LineText(line, 0, preset, 64))
        return 1;
    for (int i = 0; i < runs; ++i) {
        int offset = i * 1000 / runs;
        double tick, pressed, sent, seen;
        if (!WaitTick(clockBox, &tick)) {
            printf("timing failed no-tick\n");
            continue;
        }
        Sleep((DWORD)offset);
        PressStart(window, &pressed, &sent);
        if (!WaitEnd(line, preset, presetMs + 3000.0, &seen))
            printf("timing failed no-raise\n");
        else
            printf("timing run %d %.2f %.2f\n", offset, seen - pressed - presetMs, sent);
        fflush(stdout);
    }
    return 0;
}

// One Start, then runs ends of an automatic-restart chain: run k should end
// k presets and k - 1 restart delays after Start.
static int Chain(int runs, int presetMs, int restartMs)
{
    HWND window = WaitFilledVelmaris();
    HWND line = window ? GetDlgItem(window, CountdownBox) : NULL;
    wchar_t preset[64];
    if (!line || !LineText(line, 0, preset, 64))
        return 1;
    double pressed, sent, seen;
    PressStart(window, &pressed, &sent);
    for (int k = 1; k <= runs; ++k) {
        if (!WaitEnd(line, preset, presetMs + restartMs + 3000.0, &seen)) {
            printf("chain failed no-end %d\n", k);
            break;
        }
        double nominal = pressed + k * presetMs + (k - 1) * restartMs;
        printf("chain end %d %.2f\n", k, seen - nominal);
        fflush(stdout);
    }
    Ask(GetDlgItem(window, StopButton), BM_CLICK, 0, 0);
    return 0;
}

// The time line's lag: at each turn, how far into the shown second the local time is.
static int Lag(int turns)
{
    HWND window = WaitFilledVelmaris();
    HWND clockBox = window ? GetDlgItem(window, ClockBox) : NULL;
    wchar_t before[64], shown[64];
    if (!clockBox || !LineText(clockBox, 1, before, 64))
        return 1;
    double at;
    for (int i = 0; i <= turns; ++i) {
        if (!WaitText(clockBox, 1, before, false, 2500, &at, shown)) {
            printf("lag failed no-turn\n");
            break;
        }
        SYSTEMTIME now;
        GetLocalTime(&now);
        int h, m, sec;
        wcscpy(before, shown);
        if (i == 0 || swscanf(shown, L" %d:%d:%d", &h, &m, &sec) != 3)
            continue;  // the first turn shows when the watch began, not a lag
        int lag = ((now.wHour * 3600 + now.wMinute * 60 + now.wSecond) - (h * 3600 + m * 60 + sec) +
                   86400) % 86400 * 1000 + now.wMilliseconds;
        printf("lag turn %d\n", lag);
        fflush(stdout);
    }
    return 0;
}

int main(int argc, char** argv)
{
    QueryPerformanceFrequency(&Frequency);
    if (argc == 6 && strcmp(argv[1], "startup") == 0)
        return Startup(atoi(argv[2]), argv[3], argv[4], argv[5]);
    if (argc == 2 && strcmp(argv[1], "press") == 0)
        return Press();
    if (argc == 3 && strcmp(argv[1], "wait") == 0)
        return WaitClass(argv[2]);
    if (argc == 3 && strcmp(argv[1], "close") == 0)
        return CloseClass(argv[2]);
    if (argc == 4 && strcmp(argv[1], "timing") == 0)
        return Timing(atoi(argv[2]), atoi(argv[3]));
    if (argc == 5 && strcmp(argv[1], "chain") == 0)
        return Chain(atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    if (argc == 3 && strcmp(argv[1], "lag") == 0)
        return Lag(atoi(argv[2]));
    fprintf(stderr, "usage: probe startup RUNS EXE DIR PEER | press | wait CLASS | close CLASS | timing RUNS PRESET_MS | chain RUNS PRESET_MS RESTART_MS | lag TURNS\n");
    return 2;
}
