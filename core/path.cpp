#include "path.h"

#include <string.h>

static bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsLocalPath(const char* path)
{
    while (*path == ' ' || *path == '\t')
        ++path;
    // "\??\UNC\host\share" goes to the object manager as it is.
    if (IsSeparator(path[0]) && path[1] == '?' && path[2] == '?' && IsSeparator(path[3]))
        return false;
    if (!IsSeparator(path[0]) || !IsSeparator(path[1]))
        return true;
    // Of the rest only "\\?\X:\", spelled exactly so, keeps to a drive. Any
    // other spelling is normalized with the prefix as its root, where ".."
    // climbs over the drive: "\\.\C:\..\UNC\host\share" is a share.
    if (strncmp(path, "\\\\?\\", 4) != 0)
        return false;
    char drive = (char)(path[4] | 0x20);
    if (drive < 'a' || drive > 'z' || path[5] != ':' || path[6] != '\\')
        return false;
    // Some callers normalize even the exact spelling (the full-path lookup of
    // an open by name), so ".." stays out of it too.
    return strstr(path + 7, "..") == NULL;
}
