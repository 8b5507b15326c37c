// The exact text of every line the main window shows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lines.h"

namespace {

std::vector<std::string> ClockLinesFor(LocalTime time, int32_t timerFormat, int32_t restart = 0,
                                       int32_t restartSec = 10)
{
    ClockData d = {};
    d.TimerFormat = timerFormat;
    d.Restart = restart;
    d.RestartSec = restartSec;
    Display display = {};
    ShowClockLines(&display, &d, &time);
    EXPECT_TRUE(display.clockShown && !display.countdownShown);
    return {display.clock[0], display.clock[1], display.clock[2]};
}

LocalTime At(uint16_t hour, uint16_t minute, uint16_t second)
{
    return LocalTime{2003, 2, 0, 9, hour, minute, second, 999};
}

TEST(Lines, DateLine)
{
    struct { LocalTime time; const char* line; } const cases[] = {
        {{2003, 2, 0, 9, 0, 0, 0, 0}, "  Sun  2003/02/09"},
        {{1999, 12, 6, 31, 23, 59, 59, 0}, "  Sat  1999/12/31"},
        {{2024, 1, 1, 1, 0, 0, 0, 0}, "  Mon  2024/01/01"},
        {{2038, 10, 3, 20, 0, 0, 0, 0}, "  Wed  2038/10/20"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockLinesFor(c.time, 1)[0], c.line);
}

TEST(Lines, TimeLine)
{
    struct { uint16_t h, m, s; int32_t format; const char* line; } const cases[] = {
        {0, 5, 9, 0, "  AM 00:05:09  "},   {0, 5, 9, 1, "  00:05:09  "},
        {23, 59, 59, 0, "  PM 11:59:59  "}, {23, 59, 59, 1, "  23:59:59  "},
        {12, 30, 0, 0, "  PM 00:30:00  "},  {12, 30, 0, 1, "  12:30:00  "},
        {0, 30, 0, 0, "  AM 00:30:00  "},   {11, 59, 59, 0, "  AM 11:59:59  "},
        {12, 0, 0, 0, "  PM 00:00:00  "},   {12, 30, 0, 2, "  12:30:00  "},
        {7, 8, 9, -1, "  07:08:09  "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockLinesFor(At(c.h, c.m, c.s), c.format)[1], c.line)
            << c.h << ":" << c.m << ":" << c.s << " format " << c.format;
}

TEST(Lines, RestartLine)
{
    struct { int32_t restart, restartSec; const char* line; } const cases[] = {
        {0, 10, "  OFF:00sec."}, {0, 25, "  OFF:00sec."}, {1, 10, "  ON:10sec."},
        {1, 5, "  ON:05sec."},   {1, 60, "  ON:60sec."},  {2, 7, "  ON:07sec."},
        {-1, 123, "  ON:123sec."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClockLinesFor(At(1, 2, 3), 1, c.restart, c.restartSec)[2], c.line)
            << c.restart << " " << c.restartSec;
}

TEST(Lines, CountdownLine)
{
    struct { int32_t minutes, seconds; const char* line; } const cases[] = {
        {60, 0, " 60:00"}, {0, 5, " 0:05"}, {2, 59, " 2:59"}, {0, 0, " 0:00"}, {10, 10, " 10:10"},
    };
    for (const auto& c : cases) {
        Display display = {};
        ShowCountdown(&display, c.minutes, c.seconds);
        EXPECT_TRUE(display.countdownShown && !display.clockShown);
        EXPECT_STREQ(display.countdown, c.line);
    }
}

}  // namespace
