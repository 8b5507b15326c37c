// The measurer behind bench/run.sh. It starts Velmaris and the peer clock,
// times them to their first window, presses Start, and times the raise at
// the end of short runs. It sees the other programs only through their
// windows and messages, with the e2e driver's remote control; every wait is
// bounded. Output is one line per figure, "name value ...", for the script to gather.
//
//   probe startup RUNS VELMARIS_EXE DIR PEER_EXE
//   probe press                  Start in the one running Velmaris
//   probe wait CLASS             until a visible window of CLASS is there
//   probe close CLASS            WM_CLOSE to each window of CLASS, then wait
//   probe timing RUNS PRESET_MS  RUNS back-to-back runs of the preset
//   probe chain RUNS PRESET_MS RESTART_MS  one Start, RUNS ends of an automatic-restart chain
//   probe lag TURNS              the time line's lag behind the local time at TURNS turns
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "driver.h"

using namespace e2e;

namespace {

// One start of Velmaris: times to its visible window and to its filled list boxes.
bool StartVelmaris(const char* exe, const char* dir, double* visible, double* filled)
{
    Velmaris app;
    app.startPollMs = 1;
    bool started = app.Start(dir, SW_SHOWNORMAL, exe);
    *visible = (app.visibleAt ? app.visibleAt : app.filledAt) - app.launchedAt;
    *filled = app.filledAt - app.launchedAt;
    DWORD code;
    app.PostClose();
    if (app.Main() && !app.WaitExit(&code))
        fprintf(stderr, "probe: Velmaris did not end after WM_CLOSE\n");
    return started;  // the destructor ends what is left
}

// One start of the peer: time to its first visible top-level window.
bool StartPeer(const char* exe, double* visible, std::string* className)
{
    PROCESS_INFORMATION process = {};
    double t0 = NowMs();
    if (!Launch(exe, "", SW_SHOWNORMAL, &process)) {
        fprintf(stderr, "probe: cannot start %s: error %lu\n", exe, GetLastError());
        return false;
    }
    HWND window = NULL;
    bool shown = WaitUntil([&] {
        for (HWND w : TopLevelWindows()) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == process.dwProcessId && IsWindowVisible(w))
                return (window = w) != NULL;
        }
        return false;
    }, "the peer's window", WaitMs, 1);
    *visible = NowMs() - t0;
    *className = window ? ClassName(window) : "";
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, WaitMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "probe: a process did not end after WM_CLOSE\n");
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, WaitMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return shown;
}

// Alternates the two programs so that both see the same conditions; the
// first start of each warms the file cache and is reported apart.
int Startup(int runs, const char* exe, const char* dir, const char* peer)
{
    for (int i = 0; i <= runs; ++i) {
        const char* tag = i == 0 ? "warmup" : "run";
        double visible, filled;
        if (StartVelmaris(exe, dir, &visible, &filled))
            printf("startup velmaris %s %.2f %.2f\n", tag, visible, filled);
        else
            printf("startup velmaris failed\n");
        std::string className;
        if (StartPeer(peer, &visible, &className))
            printf("startup peer %s %.2f %s\n", tag, visible, className.c_str());
        else
            printf("startup peer failed\n");
        fflush(stdout);
    }
    return 0;
}

int WaitClass(const char* className)
{
    if (WaitUntil([&] { HWND w = FindWindowA(className, NULL); return w && IsWindowVisible(w); },
                  className, WaitMs, 10)) {
        printf("shown %s\n", className);
        return 0;
    }
    fprintf(stderr, "probe: no visible window of class %s\n", className);
    return 1;
}

int CloseClass(const char* className)
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

// Polls line index of list box id every millisecond until it shows text for
// which (text == other) is want; *at is when it was seen, *text what.
bool WaitText(const Velmaris& app, int id, int index, const std::string& other, bool want,
              double limitMs, double* at, std::string* text = nullptr)
{
    std::string seen;
    bool ok = app.WaitLine(id, index, [&](const std::string& l) {
        seen = l;
        return (l == other) == want;
    }, "a line", at, (DWORD)limitMs);
    if (text)
        *text = seen;
    return ok;
}

// Waits for the next one-second tick, seen as a change of the time line.
bool WaitTick(const Velmaris& app, double* at)
{
    return WaitText(app, IDC_CLOCKLINES, 1, app.Line(IDC_CLOCKLINES, 1), false, 2500, at);
}

// The end of a run, seen as the countdown line leaving the preset and coming
// back to it, which the expiring evaluation writes right after the raise.
bool WaitEnd(const Velmaris& app, const std::string& preset, double limitMs, double* at)
{
    double left;
    return WaitText(app, IDC_COUNTDOWNLINE, 0, preset, false, limitMs, &left) &&
           WaitText(app, IDC_COUNTDOWNLINE, 0, preset, true, limitMs, at);
}

// Each run is pressed at a different offset after a tick, so that the runs
// sample the whole second; the lateness is from the nominal end (the moment
// before Start was sent, plus the preset) to the end being seen.
int Timing(const Velmaris& app, int runs, int presetMs)
{
    std::string preset = app.Line(IDC_COUNTDOWNLINE, 0);
    for (int i = 0; i < runs; ++i) {
        int offset = i * 1000 / runs;
        double tick, pressed, sent, seen;
        if (!WaitTick(app, &tick)) {
            printf("timing failed no-tick\n");
            continue;
        }
        Sleep((DWORD)offset);
        app.PressNow(IDC_START, &pressed, &sent);
        if (!WaitEnd(app, preset, presetMs + 3000.0, &seen))
            printf("timing failed no-raise\n");
        else
            printf("timing run %d %.2f %.2f\n", offset, seen - pressed - presetMs, sent - pressed);
        fflush(stdout);
    }
    return 0;
}

// One Start, then runs ends of an automatic-restart chain: run k should end
// k presets and k - 1 restart delays after Start.
int Chain(const Velmaris& app, int runs, int presetMs, int restartMs)
{
    std::string preset = app.Line(IDC_COUNTDOWNLINE, 0);
    double pressed, sent, seen;
    app.PressNow(IDC_START, &pressed, &sent);
    for (int k = 1; k <= runs; ++k) {
        if (!WaitEnd(app, preset, presetMs + restartMs + 3000.0, &seen)) {
            printf("chain failed no-end %d\n", k);
            break;
        }
        double nominal = pressed + k * presetMs + (k - 1) * restartMs;
        printf("chain end %d %.2f\n", k, seen - nominal);
        fflush(stdout);
    }
    app.PressNow(IDC_STOP, &pressed, &sent);
    return 0;
}

// The time line's lag: at each turn, how far into the shown second the local time is.
int Lag(const Velmaris& app, int turns)
{
    std::string before = app.Line(IDC_CLOCKLINES, 1), shown;
    double at;
    for (int i = 0; i <= turns; ++i) {
        if (!WaitText(app, IDC_CLOCKLINES, 1, before, false, 2500, &at, &shown)) {
            printf("lag failed no-turn\n");
            break;
        }
        SYSTEMTIME now;
        GetLocalTime(&now);
        int h, m, sec;
        before = shown;
        if (i == 0 || sscanf(shown.c_str(), " %d:%d:%d", &h, &m, &sec) != 3)
            continue;  // the first turn shows when the watch began, not a lag
        int lag = ((now.wHour * 3600 + now.wMinute * 60 + now.wSecond) - (h * 3600 + m * 60 + sec) +
                   86400) % 86400 * 1000 + now.wMilliseconds;
        printf("lag turn %d\n", lag);
        fflush(stdout);
    }
    return 0;
}

// The commands that act on the one running Velmaris.
int OnRunning(int argc, char** argv)
{
    Velmaris app;
    if (!app.Attach()) {
        fprintf(stderr, "probe: no Velmaris window with filled list boxes\n");
        return 1;
    }
    double before, after;
    if (strcmp(argv[1], "press") == 0 && argc == 2) {
        app.PressNow(IDC_START, &before, &after);
        printf("pressed\n");
        return 0;
    }
    if (strcmp(argv[1], "timing") == 0 && argc == 4)
        return Timing(app, atoi(argv[2]), atoi(argv[3]));
    if (strcmp(argv[1], "chain") == 0 && argc == 5)
        return Chain(app, atoi(argv[2]), atoi(argv[3]), atoi(argv[4]));
    if (strcmp(argv[1], "lag") == 0 && argc == 3)
        return Lag(app, atoi(argv[2]));
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && strcmp(argv[1], "startup") == 0)
        return Startup(atoi(argv[2]), argv[3], argv[4], argv[5]);
    if (argc == 3 && strcmp(argv[1], "wait") == 0)
        return WaitClass(argv[2]);
    if (argc == 3 && strcmp(argv[1], "close") == 0)
        return CloseClass(argv[2]);
    int result = argc >= 2 ? OnRunning(argc, argv) : 2;
    if (result == 2)
        fprintf(stderr, "usage: probe startup RUNS EXE DIR PEER | press | wait CLASS | close CLASS | timing RUNS PRESET_MS | chain RUNS PRESET_MS RESTART_MS | lag TURNS\n");
    return result;
}
