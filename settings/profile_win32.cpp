// Win32 backend of the profile interface: the private-profile calls.
#include <windows.h>

#include "profile.h"

static bool OpenAndClose(const char* path, DWORD access, DWORD share, DWORD disposition)
{
    HANDLE file = CreateFileA(path, access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool ProfileOpenAlways(const char* path)
{
    // Virus scanners, the search indexer and sync clients open a file for a
    // moment after it is written: such a hold is waited out, for a quarter
    // of a second at most, so that a close is never held up for long.
    for (int waits = 0;; ++waits) {
        if (OpenAndClose(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_ALWAYS))
            return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION || waits == 10)
            return false;
        Sleep(25);
    }
}

bool ProfileOpenToRead(const char* path)
{
    return OpenAndClose(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
}

uint32_t ProfileRead(const char* path, const char* section, const char* key,
                     const char* def, char* out, uint32_t size)
{
    if (size == 0)
        return 0;
    out[0] = '\0';
    DWORD n = GetPrivateProfileStringA(section, key, def, out, size, path);
    out[size - 1] = '\0';
    return n;
}

bool ProfileWrite(const char* path, const char* section, const char* key,
                  const char* value)
{
    return WritePrivateProfileStringA(section, key, value, path) != FALSE;
}
