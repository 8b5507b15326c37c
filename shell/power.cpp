// Keeping the system out of idle sleep while the countdown has something pending.
#include "shell.h"

static bool SystemKeptAwake;  // what the system was last asked

void KeepAwake(bool awake)
{
    // Asked only when it changes. The display may still turn off; only the
    // system stays awake.
    if (awake == SystemKeptAwake)
        return;
    SystemKeptAwake = awake;
    SetThreadExecutionState(ES_CONTINUOUS | (awake ? ES_SYSTEM_REQUIRED : 0));
}
