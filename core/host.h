// The few things the timer core needs from the window system. The shell
// implements them with Win32 calls; the unit tests link a recording fake.
// The clocks are not among them: the shell reads them and passes them in.
#pragma once
#include <stdint.h>

// Local time as the window system reports it (the fields of SYSTEMTIME).
struct LocalTime {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;  // 0 = Sunday
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

// The two display list boxes of the main window.
enum DisplayBox { ClockLines = 0, CountdownLine = 1 };

// The main window, opaque to the core.
typedef void* HostWindow;

void HostRaiseWindow(HostWindow window);         // in front of all others, not left topmost
void HostPlayWave(const char* path);             // play once, asynchronously, silent on failure
void HostBeep();                                 // the short system beep
void HostClearLines(DisplayBox box);             // empty the list box
void HostInsertLine(DisplayBox box, int index, const char* text);
