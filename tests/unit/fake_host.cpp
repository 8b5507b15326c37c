#include "fake_host.h"

#include <string.h>

#include <algorithm>

#include <gtest/gtest.h>

FakeHost fakeHost;

void ResetFakeHost()
{
    fakeHost = FakeHost();
}

int FakeHost::Count(const std::string& event) const
{
    return (int)std::count(events.begin(), events.end(), event);
}

std::vector<std::string> FakeHost::Take()
{
    std::vector<std::string> out(events.begin() + mark, events.end());
    mark = events.size();
    return out;
}

ClockNow FakeNow()
{
    return ClockNow{fakeHost.tick, fakeHost.time};
}

void HostRaiseWindow(HostWindow window)
{
    fakeHost.raisedWindows.push_back(window);
    fakeHost.events.push_back("raise");
}

void HostPlayWave(const char* path)
{
    fakeHost.events.push_back(std::string("wave ") + path);
}

void HostBeep()
{
    fakeHost.events.push_back("beep");
}

void HostClearLines(DisplayBox box)
{
    fakeHost.boxes[box].clear();
    fakeHost.events.push_back("clear " + std::to_string(box));
}

void HostInsertLine(DisplayBox box, int index, const char* text)
{
    std::vector<std::string>& lines = fakeHost.boxes[box];
    // A list box refuses an index past its end; the core must never ask for one.
    if (index < 0 || (size_t)index > lines.size()) {
        ADD_FAILURE() << "line " << index << " inserted into a box of " << lines.size();
        return;
    }
    lines.insert(lines.begin() + index, text);
    fakeHost.events.push_back("insert " + std::to_string(box) + " " + std::to_string(index) +
                              " " + text);
}

bool HostMainWindowRect(int32_t rect[4])
{
    if (!fakeHost.rectOk)
        return false;
    memcpy(rect, fakeHost.rect, sizeof fakeHost.rect);
    return true;
}

uint32_t HostCurrentDirectory(char* out, uint32_t size)
{
    // As GetCurrentDirectoryA: nothing is written when the buffer is too small.
    if (fakeHost.currentDir.size() + 1 > size)
        return 0;
    memcpy(out, fakeHost.currentDir.c_str(), fakeHost.currentDir.size() + 1);
    return (uint32_t)fakeHost.currentDir.size();
}
