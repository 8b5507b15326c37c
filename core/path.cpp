#include "path.h"

#include <string.h>

#include "text.h"

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

bool WavePath(const char* workDir, const char* wave, char* out, size_t size)
{
    if (!IsLocalPath(wave) || wave[0] == '\0')
        return false;
    bool drive = wave[1] == ':';
    const char* name = drive ? wave + 2 : wave;
    bool rooted = IsSeparator(name[0]);
    if (rooted && (drive || IsSeparator(name[1])))
        return FormatText(out, size, "%s", wave);
    // Another drive's current directory is not the program's to know.
    if (workDir[0] == '\0' || workDir[1] != ':' || (drive && ((wave[0] ^ workDir[0]) & ~0x20)))
        return false;
    size_t keep = rooted ? 2 : strlen(workDir);  // of workDir, before the name
    // Only a drive root ends in a backslash: in a double-byte code page a
    // name's last byte may be a backslash that is not one.
    const char* separator = rooted || keep == 3 ? "" : "\\";
    return FormatText(out, size, "%.*s%s%s", (int)keep, workDir, separator, name) &&
           IsLocalPath(out);
}
