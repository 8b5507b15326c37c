// The alarm's sounds: a wave file played once, or the system beep.
#include "path.h"
#include "shell.h"

#include <mmsystem.h>

typedef BOOL(WINAPI * PlayProc)(LPCSTR, UINT);

void PlayWave(const char* path)
{
    // A wave on another computer stays silent like a missing one: opening it
    // would sign in to that computer with the user's credentials.
    if (!IsLocalPath(path))
        return;
    // winmm's, loaded at the first wave; later alarms find it loaded.
    PlayProc play = (PlayProc)(void (*)(void))SystemProc("winmm.dll", "sndPlaySoundA");
    if (play)
        play(path, SND_ASYNC | SND_NODEFAULT);
}

void SystemBeep()
{
    MessageBeep(0xFFFFFFFF);
}
