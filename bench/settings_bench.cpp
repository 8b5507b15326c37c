// Times the whole load and the whole save of the settings through the real
// private-profile calls, in a fresh folder under the temporary directory.
//   settings_bench [ITERATIONS]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "record.h"
#include "settings.h"

static double NowUs(const LARGE_INTEGER& frequency)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1e6 / (double)frequency.QuadPart;
}

int main(int argc, char** argv)
{
    int iterations = argc > 1 ? atoi(argv[1]) : 200;
    if (iterations < 1)
        iterations = 1;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    char temp[MAX_PATH], dir[MAX_PATH], file[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    _snprintf(dir, sizeof dir, "%svelmaris-bench-%lu", temp, GetCurrentProcessId());
    dir[sizeof dir - 1] = 0;
    if (!CreateDirectoryA(dir, NULL) || !SetCurrentDirectoryA(dir)) {
        fprintf(stderr, "settings_bench: cannot use %s\n", dir);
        return 1;
    }
    _snprintf(file, sizeof file, "%s\\%s", dir, SettingsFileName);
    file[sizeof file - 1] = 0;

    static ClockData data;  // zeroed, as the shell's block is
    InitClockData(&data, dir);  // creates the file and loads the defaults
    TransferSettings(&data, 1);  // a full file, so loads read every key

    double load = 0, save = 0;
    for (int i = 0; i < iterations; ++i) {
        double t0 = NowUs(frequency);
        TransferSettings(&data, 0);
        double t1 = NowUs(frequency);
        data.left = i;  // a changed value, as after a move of the window
        TransferSettings(&data, 1);
        double t2 = NowUs(frequency);
        load += t1 - t0;
        save += t2 - t1;
    }
    printf("settings iterations %d load_us %.1f save_us %.1f\n", iterations, load / iterations,
           save / iterations);

    SetCurrentDirectoryA(temp);
    DeleteFileA(file);
    RemoveDirectoryA(dir);
    return 0;
}
