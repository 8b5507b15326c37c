// The alarm's sounds: a wave file played once, or the system beep.
#include "shell.h"

#include <mmsystem.h>

typedef BOOL(WINAPI * PlayProc)(LPCSTR, UINT);
static PlayProc PlaySoundFile;  // winmm's, loaded at the first wave

void PlayWave(const char* path)
{
    if (!PlaySoundFile)
        PlaySoundFile = (PlayProc)(void (*)(void))SystemProc("winmm.dll", "sndPlaySoundA");
    if (PlaySoundFile)
        PlaySoundFile(path, SND_ASYNC | SND_NODEFAULT);
}

void SystemBeep()
{
    MessageBeep(0xFFFFFFFF);
}
