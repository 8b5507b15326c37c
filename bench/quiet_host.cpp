// A host for the core benchmark: it keeps each line as a list box would (a
// copy of the text) and counts the rest, so the figure is the core's own work
// plus that copy, with no recording to pay for.
#include <string.h>

#include "host.h"
#include "quiet_host.h"

QuietHost quietHost;

void HostRaiseWindow(HostWindow)
{
    ++quietHost.raises;
}

void HostPlayWave(const char*)
{
    ++quietHost.waves;
}

void HostBeep()
{
    ++quietHost.beeps;
}

void HostClearLines(DisplayBox box)
{
    quietHost.count[box] = 0;
}

void HostInsertLine(DisplayBox box, int index, const char* text)
{
    if (index < 0 || index >= QuietHost::MaxLines || quietHost.count[box] >= QuietHost::MaxLines)
        return;
    size_t n = strlen(text);
    if (n > sizeof quietHost.lines[box][index] - 1)
        n = sizeof quietHost.lines[box][index] - 1;
    memcpy(quietHost.lines[box][index], text, n);
    quietHost.lines[box][index][n] = '\0';
    ++quietHost.count[box];
}

bool HostMainWindowRect(int32_t rect[4])
{
    memset(rect, 0, 4 * sizeof rect[0]);
    return true;
}

uint32_t HostCurrentDirectory(char* out, uint32_t size)
{
    static const char dir[] = "/tmp/velmaris-bench";
    if (size < sizeof dir)
        return 0;
    memcpy(out, dir, sizeof dir);
    return sizeof dir - 1;
}
