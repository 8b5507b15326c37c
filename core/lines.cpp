#include "lines.h"

#include "text.h"

static const char* const DayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

void FormatDateLine(char* out, size_t size, const LocalTime* time)
{
    // A day of the week out of range cannot come from the system clock; show it blank.
    const char* day = time->wDayOfWeek < 7 ? DayNames[time->wDayOfWeek] : "";
    FormatText(out, size, "  %s  %d%s%02d%s%02d", day, (int)time->wYear, "/",
               (int)time->wMonth, "/", (int)time->wDay);
}

void FormatTimeLine(char* out, size_t size, const LocalTime* time, int32_t timerFormat)
{
    if (timerFormat == 0) {
        int pm = time->wHour >= 12;
        int hour = pm ? time->wHour - 12 : time->wHour;
        FormatText(out, size, "  %s %02d%s%02d%s%02d  ", pm ? "PM" : "AM", hour, ":",
                   (int)time->wMinute, ":", (int)time->wSecond);
    } else {
        // Every non-zero format is 24-hour, as the settings dialog shows it.
        FormatText(out, size, "  %02d%s%02d%s%02d  ", (int)time->wHour, ":",
                   (int)time->wMinute, ":", (int)time->wSecond);
    }
}

void FormatRestartLine(char* out, size_t size, int32_t restart, int32_t restartSec)
{
    if (restart != 0)
        FormatText(out, size, "  %s:%02dsec.", "ON", (int)restartSec);
    else
        FormatText(out, size, "  %s:%02dsec.", "OFF", 0);
}

void FormatCountdownLine(char* out, size_t size, int32_t minutes, int32_t seconds)
{
    FormatText(out, size, " %d:%02d", (int)minutes, (int)seconds);
}

void ShowClockLines(Display* display, const ClockData* data, const LocalTime* time)
{
    display->clockShown = 1;
    FormatDateLine(display->clock[0], LineSize, time);
    FormatTimeLine(display->clock[1], LineSize, time, data->TimerFormat);
    FormatRestartLine(display->clock[2], LineSize, data->Restart, data->RestartSec);
}

void ShowCountdown(Display* display, int32_t minutes, int32_t seconds)
{
    display->countdownShown = 1;
    FormatCountdownLine(display->countdown, LineSize, minutes, seconds);
}
