#include "fake_host.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

FakeHost fakeHost;

static void AbortOnMisuse(const std::string& what)
{
    fprintf(stderr, "fake host: %s\n", what.c_str());
    abort();
}

void (*FakeHostMisuse)(const std::string& what) = AbortOnMisuse;

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

// A text the core hands over must end within its buffer.
static bool Terminated(const char* text, size_t size)
{
    return memchr(text, '\0', size) != nullptr;
}

static void Record(const std::string& event)
{
    if (fakeHost.record)
        fakeHost.events.push_back(event);
}

void HostRaiseWindow(HostWindow window)
{
    ++fakeHost.raises;
    if (fakeHost.record)
        fakeHost.raisedWindows.push_back(window);
    Record("raise");
}

void HostPlayWave(const char* path)
{
    if (!Terminated(path, ClockTextSize))
        return FakeHostMisuse("a wave path without its zero");
    ++fakeHost.waves;
    fakeHost.lastWave = path;
    Record(std::string("wave ") + path);
}

void HostBeep()
{
    ++fakeHost.beeps;
    Record("beep");
}

void HostClearLines(DisplayBox box)
{
    fakeHost.boxes[box].clear();
    Record("clear " + std::to_string(box));
}

void HostInsertLine(DisplayBox box, int index, const char* text)
{
    if (box != ClockLines && box != CountdownLine)
        return FakeHostMisuse("no list box " + std::to_string(box));
    std::vector<std::string>& lines = fakeHost.boxes[box];
    // A list box refuses an index past its end; the core must never ask for one.
    if (index < 0 || (size_t)index > lines.size())
        return FakeHostMisuse("line " + std::to_string(index) + " inserted into a box of " +
                              std::to_string(lines.size()));
    if (!Terminated(text, LineSize))
        return FakeHostMisuse("a line without its zero");
    lines.insert(lines.begin() + index, text);
    if (fakeHost.record)
        Record("insert " + std::to_string(box) + " " + std::to_string(index) + " " + text);
}
