// The fake host's part that serves the settings: the window rectangle and the
// current directory the test set.
#include <string.h>

#include "fake_host.h"
#include "settings_host.h"

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
