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

void HostRaiseWindow(HostWindow window)
{
    ++fakeHost.raises;
    if (fakeHost.record)
        fakeHost.raisedWindows.push_back(window), fakeHost.events.push_back("raise");
}

void HostPlayWave(const char* path)
{
    // Every text the core hands over must end within its buffer.
    if (!memchr(path, '\0', PathSize))
        return FakeHostMisuse("a wave path without its zero");
    ++fakeHost.waves;
    fakeHost.lastWave = path;
    if (fakeHost.record)
        fakeHost.events.push_back(std::string("wave ") + path);
}

void HostBeep()
{
    ++fakeHost.beeps;
    if (fakeHost.record)
        fakeHost.events.push_back("beep");
}

void HostClearLines(DisplayBox box)
{
    fakeHost.boxes[box].clear();
    if (fakeHost.record)
        fakeHost.events.push_back("clear " + std::to_string(box));
}

void HostInsertLine(DisplayBox box, int index, const char* text)
{
    // A list box refuses an index past its end; the core must never ask for one.
    if ((box != ClockLines && box != CountdownLine) || index < 0 ||
        (size_t)index > fakeHost.boxes[box & 1].size() || !memchr(text, '\0', LineSize))
        return FakeHostMisuse("line " + std::to_string(index) + " of box " + std::to_string(box) +
                              " (holding " + std::to_string(fakeHost.boxes[box & 1].size()) +
                              ") refused, or its text has no zero");
    std::vector<std::string>& lines = fakeHost.boxes[box];
    lines.insert(lines.begin() + index, text);
    if (fakeHost.record)
        fakeHost.events.push_back("insert " + std::to_string(box) + " " + std::to_string(index) +
                                  " " + text);
}
