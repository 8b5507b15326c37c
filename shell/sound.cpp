// The alarm's sounds: a wave file played once, or the system beep.
#include "path.h"
#include "shell.h"

#include <mmsystem.h>

typedef BOOL(WINAPI * PlayProc)(LPCSTR, HMODULE, DWORD);

void PlayWave(const char* wave, const char* workDir)
{
    // Played as a file from its full path only: a bare name would be looked up
    // as a sound alias and then searched for in the system folders and on
    // PATH, where a share means signing in to another computer.
    char path[PathSize];
    if (!WavePath(workDir, wave, path, sizeof path))
        return;
    // winmm's, loaded at the first wave; later alarms find it loaded.
    PlayProc play = (PlayProc)(void (*)(void))SystemProc("winmm.dll", "PlaySoundA");
    if (play)
        play(path, NULL, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void SystemBeep()
{
    MessageBeep(0xFFFFFFFF);
}
