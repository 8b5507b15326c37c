#include <windows.h>

#include <string.h>

#include "host.h"
#include "settings_host.h"
#include "test_host.h"

bool testRectOk = false;
int32_t testRect[4];

uint32_t HostCurrentDirectory(char* out, uint32_t size)
{
    DWORD n = GetCurrentDirectoryA(size, out);
    return n < size ? n : 0;  // too small: n is the size needed
}

bool HostMainWindowRect(int32_t rect[4])
{
    if (testRectOk)
        memcpy(rect, testRect, sizeof testRect);
    return testRectOk;
}

// The settings tests never run the engine or show lines; nothing to display.
void HostRaiseWindow(HostWindow) {}
void HostPlayWave(const char*) {}
void HostBeep() {}
void HostClearLines(DisplayBox) {}
void HostInsertLine(DisplayBox, int, const char*) {}
