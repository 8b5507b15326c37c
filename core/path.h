// Whether a path names a file on this computer, and the full path a wave is
// played from. A wave file on another computer must never be opened: Windows
// would connect to that computer as the alarm rings and sign in to it with
// the user's credentials.
#pragma once
#include <stddef.h>

// path is zero-terminated. True for a path on a drive letter ("C:\x.wav",
// "C:x.wav"; a mapped network drive is the user's own choice), a relative or
// rooted one ("x.wav", "\x.wav"), a word such as "DEFAULT", the empty path
// (it names nothing to connect to), and "\\?\C:\..." without "..". False for
// every other path that begins with two slashes or backslashes in any mix
// (UNC paths, "\\?\UNC\", "\\.\UNC\", the "\\.\" and "\\?\" device
// namespaces) and for NT paths beginning "\??\", which Windows passes on
// unparsed. Leading blanks are skipped first.
bool IsLocalPath(const char* path);

// The full path a wave is played from, into out (size bytes), so that nothing
// searches for it: a full path as it is; a relative name ("x.wav") joined to
// workDir, the working directory captured at start-up; a rooted one
// ("\x.wav"), or one without a folder on workDir's drive ("C:x.wav"), on
// workDir's drive. False, and nothing to play, for a path that is not local
// or empty, a name that needs workDir when workDir is not on a drive (empty,
// or a share) or is on another drive ("D:x.wav" from C:), and a result that
// does not fit.
bool WavePath(const char* workDir, const char* wave, char* out, size_t size);
